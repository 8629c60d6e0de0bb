#pragma once

// Pictures for the benchmarks, made on the spot so that nothing large is
// kept in the repository. A "photo" is smooth colour fields with texture at
// every scale and a little grain, which JPEG compresses about as well as it
// does a camera's pictures (a 6000x4000 one at quality 92 comes to ~7 MB).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace bench {

// A deterministic hash of lattice coordinates to [0, 1).
inline float latticeValue(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

// Bilinear value noise at one scale.
inline float valueNoise(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::uint32_t>(static_cast<std::int64_t>(fx));
    const auto iy = static_cast<std::uint32_t>(static_cast<std::int64_t>(fy));
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float a = latticeValue(ix, iy, seed), b = latticeValue(ix + 1, iy, seed);
    const float c = latticeValue(ix, iy + 1, seed), d = latticeValue(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

struct PhotoRows {
    int width, height;
    std::uint32_t seed;

    // One row of packed RGB.
    void row(int y, std::uint8_t* rgb) const {
        const float scale = 6000.0f / static_cast<float>(width > height ? width : height);
        for (int x = 0; x < width; ++x) {
            const float px = x * scale, py = y * scale;
            // Broad colour fields per channel, shared detail on top of them.
            float detail = 0.5f * valueNoise(px / 96, py / 96, seed + 10) +
                           0.3f * valueNoise(px / 24, py / 24, seed + 11) +
                           0.2f * valueNoise(px / 6, py / 6, seed + 12);
            detail = detail - 0.5f;
            const float grain = latticeValue(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed + 13) - 0.5f;
            for (int c = 0; c < 3; ++c) {
                const float field = 0.65f * valueNoise(px / 900, py / 900, seed + c) +
                                    0.35f * valueNoise(px / 260, py / 260, seed + 3 + c);
                const float v = 255.0f * field + 110.0f * detail + 16.0f * grain;
                rgb[3 * x + c] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
};

// The photo compressed with libjpeg's defaults (4:2:0, baseline) at quality.
inline std::vector<std::uint8_t> makePhotoJpeg(int width, int height, int quality, std::uint32_t seed = 1) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);  // exits on error: a benchmark has nothing to recover
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const PhotoRows photo{width, height, seed};
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        photo.row(y, line.data());
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

// The same photo as a 24-bit bottom-up BMP.
inline std::vector<std::uint8_t> makePhotoBmp(int width, int height, std::uint32_t seed = 1) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> bmp(54 + stride * height, 0);
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, static_cast<std::uint32_t>(bmp.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, static_cast<std::uint32_t>(stride * height), 4);
    const PhotoRows photo{width, height, seed};
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        photo.row(y, line.data());
        std::uint8_t* out = bmp.data() + 54 + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            out[3 * x] = line[3 * x + 2];
            out[3 * x + 1] = line[3 * x + 1];
            out[3 * x + 2] = line[3 * x];
        }
    }
    return bmp;
}

}  // namespace bench
