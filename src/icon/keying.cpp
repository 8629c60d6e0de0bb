#include "icon/keying.h"

namespace yz::icon {

namespace {
bool within(int value, int key, int tolerance) {
    const int difference = value - key;
    return -tolerance <= difference && difference <= tolerance;
}
}  // namespace

bool isBackground(int blue, int green, int red, KeyColour key, int tolerance) {
    return tolerance != 0 && within(blue, key.blue, tolerance) && within(green, key.green, tolerance) &&
           within(red, key.red, tolerance);
}

KeyedPixels keyPixels(ByteView s, KeyColour key, int tolerance, bool automatic) {
    KeyedPixels out;
    const std::size_t length = s.size();
    if (automatic && length >= 3) key = {s[length - 3], s[length - 2], s[length - 1]};
    out.key = key;
    const std::size_t count = length > kSnapshotHeaderLength ? (length - kSnapshotHeaderLength) / 3 : 0;
    out.pixels.resize(count * 4);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* in = &s[kSnapshotHeaderLength + 3 * k];
        std::uint8_t* px = &out.pixels[4 * k];
        px[0] = in[0];
        px[1] = in[1];
        px[2] = in[2];
        px[3] = isBackground(in[0], in[1], in[2], key, tolerance) ? 0 : 255;
    }
    return out;
}

}  // namespace yz::icon
