#pragma once

// One entry point per picture format. Each checks everything it reads, never
// throws, and on failure may already have delivered some rows: the caller
// discards them (see render.h).

#include "imaging/picture.h"

namespace yz::imaging {

DecodeResult decodeBmp(ByteView file, RowSink& sink);
DecodeResult decodeIco(ByteView file, RowSink& sink);  // ICO and CUR
DecodeResult decodeGif(ByteView file, RowSink& sink);
DecodeResult decodePcx(ByteView file, RowSink& sink);
// targetWidth/targetHeight let libjpeg scale the DCT down to the smallest
// size still at least as large as the target; 0 decodes at full size.
DecodeResult decodeJpeg(ByteView file, RowSink& sink, int targetWidth = 0, int targetHeight = 0);

// Sniffs the format and calls its decoder; Unknown fails.
DecodeResult decodePicture(ByteView file, RowSink& sink, int targetWidth = 0, int targetHeight = 0);

}  // namespace yz::imaging
