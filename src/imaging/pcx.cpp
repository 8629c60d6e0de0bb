#include "imaging/decoders.h"

namespace yz::imaging {

DecodeResult decodePcx(ByteView, RowSink&) { return DecodeResult::failure("pcx: decoder missing"); }

}  // namespace yz::imaging
