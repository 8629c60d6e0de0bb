#include "imaging/dib.h"

#include <bit>
#include <string>

#include "imaging/byte_reader.h"

namespace yz::imaging {

namespace {

// Compression codes mean different things in the two families: OS/2 2.x
// reuses 3 and 4 for Huffman 1D and RLE24, where Windows has BI_BITFIELDS
// and BI_JPEG.
const char* windowsCompressionName(std::uint32_t code) {
    switch (code) {
        case 0: return "none";
        case 1: return "RLE8";
        case 2: return "RLE4";
        case 3: return "BITFIELDS";
        case 4: return "JPEG";
        case 5: return "PNG";
        case 6: return "ALPHABITFIELDS";
        case 11: case 12: case 13: return "CMYK";
    }
    return "unknown";
}

const char* os2CompressionName(std::uint32_t code) {
    switch (code) {
        case 0: return "none";
        case 1: return "RLE8";
        case 2: return "RLE4";
        case 3: return "Huffman 1D";
        case 4: return "RLE24";
    }
    return "unknown";
}

ChannelMask channelFromMask(std::uint32_t mask) {
    ChannelMask c;
    c.mask = mask;
    if (mask != 0) {
        c.shift = std::countr_zero(mask);
        c.bits = std::popcount(mask);
    }
    return c;
}

bool contiguous(std::uint32_t mask) {
    if (mask == 0) return true;
    const std::uint64_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

}  // namespace

DecodeResult parseDibHeader(ByteView dib, DibHeader& h) {
    h = {};
    ByteReader in(dib);
    h.size = in.u32(0);
    if (in.failed()) return DecodeResult::failure("header cut short");
    switch (h.size) {
        case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124: break;
        default: return DecodeResult::failure("unknown header size " + std::to_string(h.size));
    }
    if (!in.contains(0, h.size)) return DecodeResult::failure("header cut short");
    h.paletteOffset = h.size;

    if (h.size == 12) {
        // OS/2 1.x: unsigned 16-bit sizes, so always bottom-up; no
        // compression field; colour table entries of 3 bytes.
        h.width = in.u16(4);
        h.height = in.u16(6);
        h.planes = in.u16(8);
        h.bitCount = in.u16(10);
        h.paletteEntrySize = 3;
        return DecodeResult::success();
    }

    h.width = in.i32(4);
    h.height = in.i32(8);
    h.planes = in.u16(12);
    h.bitCount = in.u16(14);
    const bool os2 = h.size == 16 || h.size == 64;
    // The OS/2 2.x header may be cut after any field; those left out are 0.
    const std::uint32_t code = h.size >= 20 ? in.u32(16) : 0;
    h.colorsUsed = h.size >= 36 ? in.u32(32) : 0;
    h.compressionName = os2 ? os2CompressionName(code) : windowsCompressionName(code);
    if (code == 0)
        h.compression = DibCompression::Rgb;
    else if (code == 3 && !os2)
        h.compression = DibCompression::Bitfields;
    else
        h.compression = DibCompression::Other;

    if (h.compression == DibCompression::Bitfields) {
        // The 40-byte header has no room for the masks: they follow it, and
        // the colour table (if any) follows them.
        if (h.size == 40) h.paletteOffset = 52;
        for (int i = 0; i < 3; ++i) h.masks[i] = in.u32(40 + 4 * i);
        if (in.failed()) return DecodeResult::failure("bitfield masks cut short");
    }
    return DecodeResult::success();
}

std::uint32_t paletteCapacity(int bitCount) {
    switch (bitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
    }
    return 0;
}

std::uint64_t dibRowStride(std::int64_t width, int bitCount) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

std::uint64_t dibRowPixelBytes(std::int64_t width, int bitCount) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 7) / 8;
}

std::uint8_t ChannelMask::extract(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
    // Fewer than 8 bits: stretch so that the largest value is 255.
    const std::uint32_t max = (1u << bits) - 1;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

DecodeResult makeDibPixelFormat(const DibHeader& h, DibPixelFormat& format) {
    format = {};
    format.palette.fill(Rgba{0, 0, 0, 255});
    format.bitCount = h.bitCount;
    switch (h.compression) {
        case DibCompression::Rgb:
            switch (h.bitCount) {
                case 1: case 4: case 8: case 24: case 32: return DecodeResult::success();
            }
            return DecodeResult::failure(std::to_string(h.bitCount) + " bits per pixel not supported");
        case DibCompression::Bitfields:
            if (h.bitCount != 32)
                return DecodeResult::failure(std::to_string(h.bitCount) + "-bit BITFIELDS not supported");
            for (int i = 0; i < 3; ++i) {
                if (!contiguous(h.masks[i])) return DecodeResult::failure("bitfield mask with gaps");
                format.channels[i] = channelFromMask(h.masks[i]);
            }
            format.bitfields = true;
            return DecodeResult::success();
        case DibCompression::Other: break;
    }
    return DecodeResult::failure(std::string(h.compressionName) + " compression not supported");
}

void readDibPalette(ByteView bytes, std::uint64_t offset, std::uint32_t count, std::uint32_t entrySize,
                    std::array<Rgba, 256>& palette) {
    ByteReader in(bytes);
    if (count > palette.size()) count = palette.size();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + std::uint64_t{i} * entrySize;
        if (!in.contains(at, 3)) break;
        palette[i] = Rgba{in.u8(at + 2), in.u8(at + 1), in.u8(at), 255};
    }
}

bool decodeDibRow(const DibPixelFormat& f, ByteView row, std::span<Rgba> out) {
    const std::size_t w = out.size();
    if (row.size() < dibRowPixelBytes(static_cast<std::int64_t>(w), f.bitCount)) return false;
    const std::uint8_t* p = row.data();
    switch (f.bitCount) {
        case 1:
            for (std::size_t x = 0; x < w; ++x) out[x] = f.palette[(p[x >> 3] >> (7 - (x & 7))) & 1];
            return true;
        case 4:
            for (std::size_t x = 0; x < w; ++x) out[x] = f.palette[(p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
            return true;
        case 8:
            for (std::size_t x = 0; x < w; ++x) out[x] = f.palette[p[x]];
            return true;
        case 24:
            for (std::size_t x = 0; x < w; ++x, p += 3) out[x] = Rgba{p[2], p[1], p[0], 255};
            return true;
        case 32:
            if (f.bitfields) {
                for (std::size_t x = 0; x < w; ++x, p += 4) {
                    const std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
                    out[x] = Rgba{f.channels[0].extract(v), f.channels[1].extract(v), f.channels[2].extract(v), 255};
                }
            } else {
                for (std::size_t x = 0; x < w; ++x, p += 4)
                    out[x] = Rgba{p[2], p[1], p[0], f.fourthByteIsAlpha ? p[3] : std::uint8_t{255}};
            }
            return true;
    }
    return false;
}

}  // namespace yz::imaging
