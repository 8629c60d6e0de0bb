// GIF through giflib, the first image only, row by row.
//
// The logical screen is the picture. The first frame is placed at its offset
// on that screen and clipped to it; whatever the frame leaves uncovered is
// transparent, so the picture box's background shows through there as it
// does through the frame's own transparent colour.

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "imaging/decoders.h"

namespace yz::imaging {

namespace {

constexpr Rgba kClear{0, 0, 0, 0};

struct MemoryInput {
    ByteView bytes;
    std::size_t position = 0;
};

// giflib pulls its input through this; it never sees past the buffer.
int readFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    if (wanted <= 0) return 0;
    const std::size_t left = input->bytes.size() - input->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(wanted));
    if (n == 0) return 0;  // an empty file has no data pointer to copy from
    std::memcpy(out, input->bytes.data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

std::string giflibError(int code) {
    const char* text = GifErrorString(code);
    return std::string("gif: ") + (text ? text : "unreadable data");
}

// Every index a file can hold maps to something: entries the colour table
// does not have are opaque black, as if the table were padded with black.
// A file with no table at all is drawn in grey, index i as grey level i, the
// reading most tolerant decoders give such files.
std::array<Rgba, 256> colourTable(const ColorMapObject* map, int transparentIndex) {
    std::array<Rgba, 256> table;
    if (map) {
        table.fill({0, 0, 0, 255});
        const int count = std::clamp(map->ColorCount, 0, 256);
        for (int i = 0; i < count; ++i) {
            const GifColorType& c = map->Colors[i];
            table[i] = {c.Red, c.Green, c.Blue, 255};
        }
    } else {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            table[i] = {v, v, v, 255};
        }
    }
    if (transparentIndex >= 0 && transparentIndex < 256) table[transparentIndex] = kClear;
    return table;
}

// The transparent colour of the graphic control extension that precedes the
// first image, or -1. Other extensions are skipped block by block.
bool readExtension(GifFileType* gif, int& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
        GraphicsControlBlock gcb{};
        // A control block of the wrong length is ignored, not fatal.
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparentIndex = gcb.TransparentColor;
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
    return true;
}

// Frame rows in the order an interlaced image stores them: every 8th row
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int interlacedRow(int index, int height) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (index < rows) return kStart[pass] + index * kStep[pass];
        index -= rows;
    }
    return -1;
}

}  // namespace

DecodeResult decodeGif(ByteView file, RowSink& sink) {
    MemoryInput input{file};
    int openError = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, readFromMemory, &openError));
    if (!gif) return DecodeResult::failure(giflibError(openError));

    const int screenWidth = gif->SWidth, screenHeight = gif->SHeight;
    if (!dimensionsAcceptable(screenWidth, screenHeight)) return DecodeResult::failure("gif: picture size out of range");

    int transparentIndex = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) return DecodeResult::failure(giflibError(gif->Error));
        if (record == IMAGE_DESC_RECORD_TYPE) break;
        if (record == TERMINATE_RECORD_TYPE) return DecodeResult::failure("gif: no image");
        if (record != EXTENSION_RECORD_TYPE) return DecodeResult::failure("gif: unknown block");
        if (!readExtension(gif.get(), transparentIndex)) return DecodeResult::failure(giflibError(gif->Error));
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return DecodeResult::failure(giflibError(gif->Error));

    const GifImageDesc& frame = gif->Image;
    // The frame's pixel count bounds the decoding work whatever the screen.
    if (!dimensionsAcceptable(frame.Width, frame.Height)) return DecodeResult::failure("gif: frame size out of range");
    const auto table = colourTable(frame.ColorMap ? frame.ColorMap : gif->SColorMap, transparentIndex);

    std::vector<GifPixelType> indices(static_cast<std::size_t>(frame.Width));
    std::vector<Rgba> line(static_cast<std::size_t>(screenWidth), kClear);
    // The columns of the frame that land on the screen.
    const int firstColumn = std::max(0, -frame.Left);
    const int endColumn = std::min(frame.Width, screenWidth - frame.Left);

    sink.begin(screenWidth, screenHeight);
    for (int i = 0; i < frame.Height; ++i) {
        if (DGifGetLine(gif.get(), indices.data(), frame.Width) == GIF_ERROR)
            return DecodeResult::failure(giflibError(gif->Error));
        const int y = frame.Top + (frame.Interlace ? interlacedRow(i, frame.Height) : i);
        if (y < 0 || y >= screenHeight) continue;
        for (int x = firstColumn; x < endColumn; ++x) line[frame.Left + x] = table[indices[x]];
        sink.row(y, line);
    }

    std::fill(line.begin(), line.end(), kClear);
    const int frameEnd = std::min(screenHeight, frame.Top + frame.Height);
    for (int y = 0; y < screenHeight; ++y) {
        if (y < frame.Top || y >= frameEnd) sink.row(y, line);
    }
    return DecodeResult::success();
}

}  // namespace yz::imaging
