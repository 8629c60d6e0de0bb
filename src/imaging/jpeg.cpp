#include "imaging/decoders.h"

namespace yz::imaging {

DecodeResult decodeJpeg(ByteView, RowSink&, int, int) { return DecodeResult::failure("jpeg: decoder missing"); }

}  // namespace yz::imaging
