// BMP files: a 14-byte file header, a DIB info header, an optional colour
// table and uncompressed rows. Only the pixel offset is taken from the file
// header; its size and reserved fields are often wrong and nothing here
// needs them.

#include <algorithm>
#include <vector>

#include "imaging/byte_reader.h"
#include "imaging/decoders.h"
#include "imaging/dib.h"

namespace yz::imaging {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;

DecodeResult fail(const std::string& why) { return DecodeResult::failure("bmp: " + why); }

}  // namespace

DecodeResult decodeBmp(ByteView file, RowSink& sink) {
    ByteReader in(file);
    if (in.u8(0) != 'B' || in.u8(1) != 'M') return fail("not a BM file");
    const std::uint64_t pixelOffset = in.u32(10);
    if (in.failed()) return fail("file header cut short");

    DibHeader h;
    if (DecodeResult r = parseDibHeader(file.subspan(kFileHeaderSize), h); !r.ok) return fail(r.error);
    if (h.planes != 1) return fail("plane count is not 1");
    const bool topDown = h.height < 0;
    const std::int64_t rows = topDown ? -h.height : h.height;
    if (!dimensionsAcceptable(h.width, rows)) return fail("unsupported dimensions");

    DibPixelFormat format;
    if (DecodeResult r = makeDibPixelFormat(h, format); !r.ok) return fail(r.error);
    // A 32-bit BMP is drawn opaque, whatever its fourth bytes hold: for
    // BI_RGB they are documented as unused (and often garbage), and GDI,
    // which draws picture boxes, ignores an alpha mask too.
    format.fourthByteIsAlpha = false;

    const std::uint64_t paletteStart = kFileHeaderSize + h.paletteOffset;
    if (pixelOffset < paletteStart) return fail("pixel data offset points into the headers");
    if (const std::uint32_t capacity = paletteCapacity(h.bitCount); capacity != 0) {
        std::uint64_t count = h.colorsUsed == 0 ? capacity : std::min(h.colorsUsed, capacity);
        // The table can be shorter than the count says (OS/2 1.x headers
        // have no count at all); where the pixels start bounds it. Indices
        // past its end draw black.
        count = std::min<std::uint64_t>(count, (pixelOffset - paletteStart) / h.paletteEntrySize);
        readDibPalette(file, paletteStart, static_cast<std::uint32_t>(count), h.paletteEntrySize, format.palette);
    }

    // The padding after the last row is not required: some writers leave it
    // out. Every byte that carries a pixel must be there; a cut-off file is
    // refused rather than drawn with made-up rows.
    const std::uint64_t stride = dibRowStride(h.width, h.bitCount);
    const std::uint64_t pixelBytes = dibRowPixelBytes(h.width, h.bitCount);
    if (!rangeInside(pixelOffset, stride * static_cast<std::uint64_t>(rows - 1) + pixelBytes, file.size()))
        return fail("pixel data cut short");

    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(rows);
    sink.begin(width, height);
    std::vector<Rgba> line(static_cast<std::size_t>(width));
    for (int i = 0; i < height; ++i) {
        const ByteView stored = in.span(pixelOffset + stride * static_cast<std::uint64_t>(i), pixelBytes);
        if (!decodeDibRow(format, stored, line)) return fail("pixel data cut short");
        sink.row(topDown ? i : height - 1 - i, line);
    }
    return DecodeResult::success();
}

}  // namespace yz::imaging
