#include "icon/generation.h"

namespace yz::icon {

ByteBuffer snapshotOf(const imaging::RgbImage& capture, int size) {
    return imaging::snapshotBmp(imaging::resampleImage(capture, size, size));
}

imaging::RgbImage sourceBoxImage(ByteView pictureFile, imaging::Rgb background) {
    return sourceBoxRendering(pictureFile, background).image;
}

imaging::Rendering sourceBoxRendering(ByteView pictureFile, imaging::Rgb background) {
    return imaging::renderPicture(pictureFile, kSourceBoxSize, kSourceBoxSize, background);
}

}  // namespace yz::icon
