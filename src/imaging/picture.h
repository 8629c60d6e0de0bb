#pragma once

// What every picture decoder shares: format sniffing, the row sink decoders
// write into, the size limits, and the result they report.

#include <cstdint>
#include <span>
#include <string>

#include "imaging/byte_buffer.h"

namespace yz::imaging {

enum class PictureFormat { Unknown, Bmp, Jpeg, Ico, Gif, Pcx };

// Recognises a picture from its first bytes only; a file name is never consulted.
PictureFormat sniffFormat(ByteView bytes);
const char* formatName(PictureFormat format);

// Straight (not premultiplied) 8-bit colour with alpha; 255 is opaque.
struct Rgba {
    std::uint8_t r, g, b, a;
};

// Headers are checked against these before anything is allocated, so a file
// that claims an enormous picture is refused instead of exhausting memory or
// time. kMaxPixels bounds the work of formats whose data can expand (RLE,
// LZW, DCT): about a second of decoding at most.
inline constexpr int kMaxDimension = 65535;
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

// Decoders hand their picture over row by row, so memory follows the size
// of the rendering target and never the size a header claims. begin() is
// called once before any row; every row 0..height-1 is then delivered exactly
// once, in whatever order the file stores them (bottom-up BMP, interlaced GIF).
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void begin(int width, int height) = 0;
    virtual void row(int y, std::span<const Rgba> pixels) = 0;
};

struct DecodeResult {
    bool ok = false;
    std::string error;  // why the picture could not be drawn; empty when ok

    static DecodeResult success() { return {true, {}}; }
    static DecodeResult failure(std::string why) { return {false, std::move(why)}; }
};

// True when width and height are positive, within kMaxDimension and together
// within kMaxPixels.
bool dimensionsAcceptable(std::int64_t width, std::int64_t height);

}  // namespace yz::imaging
