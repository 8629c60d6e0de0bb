// ICO and CUR files: a directory of images, of which one is drawn. Each
// image is a DIB without a file header whose height is doubled: the colour
// (XOR) bitmap comes first, then a 1-bit AND mask of the same size in which
// a set bit makes the pixel transparent. Both are stored bottom-up.

#include <algorithm>
#include <vector>

#include "imaging/byte_reader.h"
#include "imaging/decoders.h"
#include "imaging/dib.h"
#include "imaging/ico_directory.h"

namespace yz::imaging {

namespace {

DecodeResult fail(const std::string& why) { return DecodeResult::failure("ico: " + why); }

bool isPng(ByteView data) {
    return data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

// Windows takes a 32-bit icon whose alpha bytes are all zero for one written
// before alpha existed, and draws it with its AND mask instead.
bool anyAlpha(ByteView xorBitmap) {
    for (std::size_t i = 3; i < xorBitmap.size(); i += 4)
        if (xorBitmap[i] != 0) return true;
    return false;
}

}  // namespace

DecodeResult decodeIco(ByteView file, RowSink& sink) {
    IcoDirectoryEntry entry;
    if (DecodeResult r = chooseIcoEntry(file, entry); !r.ok) return r;
    if (!rangeInside(entry.imageOffset, entry.bytesInRes, file.size())) return fail("image data outside the file");
    const ByteView data = file.subspan(entry.imageOffset, entry.bytesInRes);
    if (isPng(data)) return fail("PNG-compressed images not supported");

    // The directory's width and height bytes only choose the entry: they
    // cannot hold sizes above 256 and writers get them wrong, so the DIB's
    // own header gives the size.
    DibHeader h;
    if (DecodeResult r = parseDibHeader(data, h); !r.ok) return fail(r.error);
    if (h.compression == DibCompression::Bitfields) return fail("BITFIELDS compression not supported");
    if (h.height <= 0) return fail("height must be positive");
    const std::int64_t rows = h.height / 2;
    if (!dimensionsAcceptable(h.width, rows)) return fail("unsupported dimensions");

    DibPixelFormat format;
    if (DecodeResult r = makeDibPixelFormat(h, format); !r.ok) return fail(r.error);

    // The colour table is as long as the header says (at most 256 entries,
    // as Windows counts it) even for images that do not index it, and the
    // XOR bitmap follows it directly.
    const std::uint32_t capacity = paletteCapacity(h.bitCount);
    const std::uint64_t tableEntries = h.colorsUsed == 0 ? capacity : std::min<std::uint32_t>(h.colorsUsed, 256);
    readDibPalette(data, h.paletteOffset, static_cast<std::uint32_t>(std::min<std::uint64_t>(tableEntries, capacity)),
                   h.paletteEntrySize, format.palette);

    const std::uint64_t xorStart = h.paletteOffset + tableEntries * h.paletteEntrySize;
    const std::uint64_t xorStride = dibRowStride(h.width, h.bitCount);
    const std::uint64_t xorSize = xorStride * static_cast<std::uint64_t>(rows);
    if (!rangeInside(xorStart, xorSize, data.size())) return fail("colour bitmap cut short");

    // A mask that is not all there is ignored as a whole, and the image
    // drawn opaque: a partial mask would make an arbitrary band of the
    // picture transparent, and 32-bit icons with alpha need no mask at all.
    const std::uint64_t maskStart = xorStart + xorSize;
    const std::uint64_t maskStride = dibRowStride(h.width, 1);
    const bool hasMask = rangeInside(maskStart, maskStride * static_cast<std::uint64_t>(rows), data.size());

    format.fourthByteIsAlpha = h.bitCount == 32 && anyAlpha(data.subspan(xorStart, xorSize));
    const bool useMask = hasMask && !format.fourthByteIsAlpha;

    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(rows);
    sink.begin(width, height);
    std::vector<Rgba> line(static_cast<std::size_t>(width));
    for (int i = 0; i < height; ++i) {
        const ByteView stored = data.subspan(xorStart + xorStride * i, xorStride);
        if (!decodeDibRow(format, stored, line)) return fail("colour bitmap cut short");
        if (useMask) {
            const ByteView mask = data.subspan(maskStart + maskStride * i, maskStride);
            for (int x = 0; x < width; ++x)
                if ((mask[x >> 3] >> (7 - (x & 7))) & 1) line[x].a = 0;
        }
        sink.row(height - 1 - i, line);
    }
    return DecodeResult::success();
}

}  // namespace yz::imaging
