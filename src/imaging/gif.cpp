#include "imaging/decoders.h"

namespace yz::imaging {

DecodeResult decodeGif(ByteView, RowSink&) { return DecodeResult::failure("gif: decoder missing"); }

}  // namespace yz::imaging
