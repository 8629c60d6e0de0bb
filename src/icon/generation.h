#pragma once

// From the pixels a picture box displays to a finished icon: the one path
// that both the program's "生成" and the converter take.

#include "icon/keying.h"
#include "imaging/render.h"

namespace yz::icon {

// The width and height of the source picture box.
inline constexpr int kSourceBoxSize = 128;

// The snapshot image of a capture: reduced to size x size by averaging and
// stored as a 24-bit bottom-up BMP file image.
ByteBuffer snapshotOf(const imaging::RgbImage& capture, int size);

// What the source picture box shows for a picture file, with no hint over it.
imaging::RgbImage sourceBoxImage(ByteView pictureFile, imaging::Rgb background = imaging::kButtonFace);

// The same drawing together with whether the picture could be drawn and why
// not, for callers that must tell the user (the converter).
imaging::Rendering sourceBoxRendering(ByteView pictureFile, imaging::Rgb background = imaging::kButtonFace);

}  // namespace yz::icon
