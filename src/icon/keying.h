#pragma once

// Turning the snapshot's pixels into icon pixels: background within the
// tolerance of the key colour becomes fully transparent, the rest opaque.

#include <cstdint>

#include "imaging/byte_buffer.h"

namespace yz::icon {

// Components in pixel byte order.
struct KeyColour {
    int blue = 0;
    int green = 0;
    int red = 0;
    friend bool operator==(const KeyColour&, const KeyColour&) = default;
};

inline constexpr std::size_t kSnapshotHeaderLength = 54;

struct KeyedPixels {
    ByteBuffer pixels;  // blue, green, red, alpha per pixel, in snapshot order
    KeyColour key;      // the key actually used
};

// snapshot is a 24-bit BMP file image whose header is not read: pixels are
// taken as whole 3-byte groups from offset 54 on, a trailing partial group
// ignored. With automatic set, the key is the snapshot's last pixel (the top
// right one), when there is one. Tolerance 0 keeps every pixel opaque.
KeyedPixels keyPixels(ByteView snapshot, KeyColour key, int tolerance, bool automatic);

bool isBackground(int blue, int green, int red, KeyColour key, int tolerance);

}  // namespace yz::icon
