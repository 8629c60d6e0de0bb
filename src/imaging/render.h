#pragma once

// Drawing a picture the way a picture box shows it, and the snapshot image.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/picture.h"

namespace yz::imaging {

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The system's button-face colour, which every picture box fills its client
// area with before drawing.
inline constexpr Rgb kButtonFace{0xF0, 0xF0, 0xF0};

// Packed 8-bit RGB, top row first, no row padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    RgbImage() = default;
    RgbImage(int w, int h, Rgb fill);
    Rgb pixel(int x, int y) const;
};

struct Rendering {
    RgbImage image;  // always width x height
    bool drawn = false;
    PictureFormat format = PictureFormat::Unknown;
    std::string error;  // why nothing was drawn
};

// The picture stretched to fill width x height, width and height
// independently; every target pixel is the area-weighted average of the
// source pixels that fall on it, transparency composited over background.
// Undecodable bytes give the background alone.
Rendering renderPicture(ByteView file, int width, int height, Rgb background = kButtonFace);

// The same averaging applied to an image already in memory.
RgbImage resampleImage(const RgbImage& source, int width, int height);

// A 24-bit bottom-up BMP file image: 54 header bytes, rows padded to 4.
ByteBuffer snapshotBmp(const RgbImage& image);

}  // namespace yz::imaging
