// ZSoft PCX: a 128-byte header, then every scan line as NPlanes runs of
// BytesPerLine bytes, run-length coded or raw; 256-colour files append their
// palette after the pixels.

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/decoders.h"

namespace yz::imaging {

namespace {

constexpr std::size_t kHeaderSize = 128;
// 0x0C and 256 RGB triples at the very end of a 256-colour file.
constexpr std::size_t kTrailingPaletteSize = 1 + 256 * 3;

std::uint16_t le16(ByteView b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct PcxHeader {
    int encoding = 0;
    int bitsPerPixel = 0;  // per plane
    int width = 0;
    int height = 0;
    int planes = 0;
    int bytesPerLine = 0;  // per plane
};

// The colours of 4-bit files whose header leaves the palette empty: the
// standard EGA set.
constexpr std::uint8_t kEgaPalette[16][3] = {
    {0, 0, 0},       {0, 0, 170},     {0, 170, 0},     {0, 170, 170},   {170, 0, 0},     {170, 0, 170},
    {170, 85, 0},    {170, 170, 170}, {85, 85, 85},    {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
    {255, 85, 85},   {255, 85, 255},  {255, 255, 85},  {255, 255, 255},
};

// Up to 16 colours kept in the header; every index of a fixed 256-entry
// table is defined so no pixel can reach past it.
std::array<Rgba, 256> headerPalette(ByteView file, const PcxHeader& h) {
    std::array<Rgba, 256> table;
    table.fill({0, 0, 0, 255});
    const ByteView stored = file.subspan(16, 48);
    const bool empty = std::all_of(stored.begin(), stored.end(), [](std::uint8_t v) { return v == 0; });
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* c = empty ? kEgaPalette[i] : &stored[i * 3];
        table[i] = {c[0], c[1], c[2], 255};
    }
    // Monochrome files often carry a palette of zeros or one colour twice,
    // which would draw nothing; common readers then take 0 as black and 1
    // as white, and so do we.
    if (h.bitsPerPixel == 1 && h.planes == 1 &&
        (empty || (stored[0] == stored[3] && stored[1] == stored[4] && stored[2] == stored[5]))) {
        table[0] = {0, 0, 0, 255};
        table[1] = {255, 255, 255, 255};
    }
    return table;
}

// Scan-line bytes from the data area. A run may carry on past the end of a
// line into the next: some writers do that, and honouring it costs nothing.
class LineReader {
public:
    LineReader(ByteView data, bool runLength) : data_(data), runLength_(runLength) {}

    bool read(std::span<std::uint8_t> out) {
        std::size_t i = 0;
        while (i < out.size()) {
            if (pending_ > 0) {
                const std::size_t n = std::min<std::size_t>(pending_, out.size() - i);
                std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(i), n, value_);
                pending_ -= n;
                i += n;
                continue;
            }
            if (position_ >= data_.size()) return false;
            const std::uint8_t b = data_[position_++];
            if (runLength_ && (b & 0xC0) == 0xC0) {
                if (position_ >= data_.size()) return false;
                pending_ = b & 0x3F;
                value_ = data_[position_++];
            } else {
                out[i++] = b;
            }
        }
        return true;
    }

private:
    ByteView data_;
    bool runLength_;
    std::size_t position_ = 0;
    std::size_t pending_ = 0;
    std::uint8_t value_ = 0;
};

enum class Layout { Packed, Planar, Indexed8, Rgb };

}  // namespace

DecodeResult decodePcx(ByteView file, RowSink& sink) {
    if (file.size() < kHeaderSize) return DecodeResult::failure("pcx: header cut short");
    if (file[0] != 0x0A) return DecodeResult::failure("pcx: not a PCX file");
    PcxHeader h;
    h.encoding = file[2];
    h.bitsPerPixel = file[3];
    const int xMin = le16(file, 4), yMin = le16(file, 6), xMax = le16(file, 8), yMax = le16(file, 10);
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    h.planes = file[65];
    h.bytesPerLine = le16(file, 66);

    if (h.encoding != 0 && h.encoding != 1) return DecodeResult::failure("pcx: unknown encoding");
    if (!dimensionsAcceptable(h.width, h.height)) return DecodeResult::failure("pcx: picture size out of range");

    Layout layout;
    if (h.planes == 1 && (h.bitsPerPixel == 1 || h.bitsPerPixel == 2 || h.bitsPerPixel == 4))
        layout = Layout::Packed;
    else if (h.bitsPerPixel == 1 && h.planes >= 2 && h.planes <= 4)
        layout = Layout::Planar;
    else if (h.bitsPerPixel == 8 && h.planes == 1)
        layout = Layout::Indexed8;
    else if (h.bitsPerPixel == 8 && (h.planes == 3 || h.planes == 4))
        layout = Layout::Rgb;
    else
        return DecodeResult::failure("pcx: unsupported bits per pixel and plane count");

    // Each plane's line must hold the whole width; BytesPerLine is
    // supposed to be even, but odd values are read as they are.
    const std::int64_t minimumLine = (static_cast<std::int64_t>(h.width) * h.bitsPerPixel + 7) / 8;
    if (h.bytesPerLine < minimumLine) return DecodeResult::failure("pcx: scan line shorter than the picture");

    ByteView data = file.subspan(kHeaderSize);
    std::array<Rgba, 256> palette{};
    if (layout == Layout::Indexed8) {
        // Without the trailing palette an 8-bit file is grey levels.
        const bool trailing = file.size() >= kHeaderSize + kTrailingPaletteSize &&
                              file[file.size() - kTrailingPaletteSize] == 0x0C;
        if (trailing) {
            const ByteView stored = file.last(kTrailingPaletteSize - 1);
            for (int i = 0; i < 256; ++i) palette[i] = {stored[i * 3], stored[i * 3 + 1], stored[i * 3 + 2], 255};
            data = data.first(data.size() - kTrailingPaletteSize);
        } else {
            for (int i = 0; i < 256; ++i) {
                const auto v = static_cast<std::uint8_t>(i);
                palette[i] = {v, v, v, 255};
            }
        }
    } else if (layout != Layout::Rgb) {
        palette = headerPalette(file, h);
    }

    const std::size_t stride = static_cast<std::size_t>(h.bytesPerLine);
    std::vector<std::uint8_t> scan(stride * static_cast<std::size_t>(h.planes));
    std::vector<Rgba> pixels(static_cast<std::size_t>(h.width));
    LineReader reader(data, h.encoding == 1);

    sink.begin(h.width, h.height);
    for (int y = 0; y < h.height; ++y) {
        if (!reader.read(scan)) return DecodeResult::failure("pcx: pixel data cut short");
        const std::uint8_t* s = scan.data();
        switch (layout) {
            case Layout::Packed: {
                const int bits = h.bitsPerPixel;
                const int mask = (1 << bits) - 1;
                for (int x = 0; x < h.width; ++x) {
                    const int bit = x * bits;
                    pixels[x] = palette[(s[bit / 8] >> (8 - bits - bit % 8)) & mask];
                }
                break;
            }
            case Layout::Planar:
                for (int x = 0; x < h.width; ++x) {
                    int index = 0;
                    for (int p = 0; p < h.planes; ++p) index |= ((s[p * stride + x / 8] >> (7 - x % 8)) & 1) << p;
                    pixels[x] = palette[index];
                }
                break;
            case Layout::Indexed8:
                for (int x = 0; x < h.width; ++x) pixels[x] = palette[s[x]];
                break;
            case Layout::Rgb:
                for (int x = 0; x < h.width; ++x)
                    pixels[x] = {s[x], s[stride + x], s[2 * stride + x], h.planes == 4 ? s[3 * stride + x] : std::uint8_t{255}};
                break;
        }
        sink.row(y, pixels);
    }
    return DecodeResult::success();
}

}  // namespace yz::imaging
