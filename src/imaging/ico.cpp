#include "imaging/decoders.h"

namespace yz::imaging {

DecodeResult decodeIco(ByteView, RowSink&) { return DecodeResult::failure("ico: decoder missing"); }

}  // namespace yz::imaging
