#pragma once

// The device-independent bitmap both BMP files and ICO/CUR entries are made
// of: the info header in its several historical sizes, the colour table and
// the rows of pixels. Callers check where the rows are; this file only knows
// what their bytes mean.

#include <array>
#include <cstdint>
#include <span>

#include "imaging/picture.h"

namespace yz::imaging {

enum class DibCompression { Rgb, Bitfields, Other };

struct DibHeader {
    std::uint32_t size = 0;  // length of the info header itself
    // As stored: a negative height means the rows run top-down. Kept wide so
    // that negating INT32_MIN cannot overflow.
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    DibCompression compression = DibCompression::Rgb;
    const char* compressionName = "none";  // for messages
    std::uint32_t colorsUsed = 0;
    // Red, green and blue masks of a BI_BITFIELDS image.
    std::array<std::uint32_t, 3> masks{};
    // Where the colour table starts, counted from the start of the header,
    // and how long one entry is (3 bytes in the 12-byte OS/2 header).
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntrySize = 4;
};

// Failures from these functions carry a bare reason; the format decoder
// using them names itself in front of it.

// Reads the info header at the start of `dib`. Accepts the sizes real files
// use: 12 (OS/2 1.x core), 16 and 64 (OS/2 2.x), 40, 52, 56, 108 and 124
// (Windows 3 to 5); anything else fails.
DecodeResult parseDibHeader(ByteView dib, DibHeader& header);

// Entries a paletted image of this bit count can index: 2, 16 or 256; 0 for
// images without a colour table.
std::uint32_t paletteCapacity(int bitCount);

// Length of one stored row, padded to 4 bytes, and the bytes within it that
// carry pixels. Exact for every width up to kMaxDimension and bit count 32.
std::uint64_t dibRowStride(std::int64_t width, int bitCount);
std::uint64_t dibRowPixelBytes(std::int64_t width, int bitCount);

// One colour channel of a BI_BITFIELDS pixel: where its bits sit and how
// many there are, so it can be scaled to 8 bits.
struct ChannelMask {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::uint8_t extract(std::uint32_t pixel) const;
};

// What a row's bytes mean. Built from a header by makeDibPixelFormat, then
// given a colour table by the caller if the image has one.
struct DibPixelFormat {
    int bitCount = 0;
    // Always 256 entries, so no index can run off the end: entries the file
    // does not supply stay opaque black.
    std::array<Rgba, 256> palette{};
    bool bitfields = false;
    std::array<ChannelMask, 3> channels{};
    // 32 bits per pixel: take the fourth byte as alpha instead of opaque.
    bool fourthByteIsAlpha = false;
};

// Checks the bit count and compression pair (1, 4, 8, 24 or 32 bits of
// plain BI_RGB; 32-bit BI_BITFIELDS with contiguous masks) and fills `format`
// except its palette.
DecodeResult makeDibPixelFormat(const DibHeader& header, DibPixelFormat& format);

// Reads `count` colour table entries (at most 256) starting at `offset` of
// `bytes`; entries that are not all inside `bytes` are left as they were.
void readDibPalette(ByteView bytes, std::uint64_t offset, std::uint32_t count, std::uint32_t entrySize,
                    std::array<Rgba, 256>& palette);

// Turns one stored row into out.size() pixels. `row` must hold at least
// dibRowPixelBytes(out.size(), bitCount) bytes; a shorter row fails and
// leaves `out` untouched.
bool decodeDibRow(const DibPixelFormat& format, ByteView row, std::span<Rgba> out);

}  // namespace yz::imaging
