#include "imaging/decoders.h"

namespace yz::imaging {

DecodeResult decodeBmp(ByteView, RowSink&) { return DecodeResult::failure("bmp: decoder missing"); }

}  // namespace yz::imaging
