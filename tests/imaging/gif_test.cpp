// The GIF decoder: the first frame placed on the logical screen with the
// uncovered area transparent, colour tables and the transparent index,
// interlaced rows, hostile sizes and broken data refused, and the
// third-party GIFs read as Qt reads them inside the first frame.
#include <gtest/gtest.h>

#include <functional>

#include <gif_lib.h>

#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/decoders.h"
#include "imaging/render.h"

namespace yz::imaging {
namespace {

using namespace test;

struct Colour {
    std::uint8_t r, g, b;
};

struct Frame {
    int left = 0, top = 0, width = 1, height = 1;
    bool interlaced = false;
    std::vector<Colour> localTable{};       // empty: none
    int transparentIndex = -1;              // written in a control block before the frame
    std::function<int(int x, int y)> index = [](int, int) { return 0; };
};

struct GifPicture {
    int width = 1, height = 1;
    std::vector<Colour> globalTable{};  // empty: none
    std::vector<Frame> frames;
};

int writeToBuffer(GifFileType* gif, const GifByteType* bytes, int n) {
    auto* out = static_cast<ByteBuffer*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + n);
    return n;
}

// giflib wants tables of 2, 4, ... 256 entries; shorter ones are padded
// with black.
ColorMapObject* makeTable(const std::vector<Colour>& colours) {
    if (colours.empty()) return nullptr;
    int size = 2;
    while (size < static_cast<int>(colours.size())) size *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i) entries[i] = {colours[i].r, colours[i].g, colours[i].b};
    return GifMakeMapObject(size, entries.data());
}

// A GIF made with giflib's encoder, so each case states its picture.
ByteBuffer encodeGif(const GifPicture& p) {
    ByteBuffer out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToBuffer, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = makeTable(p.globalTable);
    EGifPutScreenDesc(gif, p.width, p.height, 8, 0, global);
    GifFreeMapObject(global);
    for (const Frame& f : p.frames) {
        if (f.transparentIndex >= 0) {
            const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(f.transparentIndex)};
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
        }
        ColorMapObject* local = makeTable(f.localTable);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local);
        GifFreeMapObject(local);
        // giflib writes lines in the order given, so interlaced frames are
        // fed in pass order.
        std::vector<int> rows;
        if (f.interlaced) {
            for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int y = start; y < f.height; y += step) rows.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y) rows.push_back(y);
        }
        std::vector<GifPixelType> line(static_cast<std::size_t>(f.width));
        for (int y : rows) {
            for (int x = 0; x < f.width; ++x) line[x] = static_cast<GifPixelType>(f.index(x, y));
            EGifPutLine(gif, line.data(), f.width);
        }
    }
    EGifCloseFile(gif, &error);
    return out;
}

const std::vector<Colour> kRgbw{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

struct Probe {
    int x, y;
    std::uint32_t argb;
};
constexpr std::uint32_t kClear = 0x00000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

struct GoodGif {
    const char* name;
    GifPicture picture;
    std::vector<Probe> probes;
};

// Frame pixel (x, y) gets index (x + y) % 4: red, green, blue, white.
const auto kDiagonal = [](int x, int y) { return (x + y) % 4; };

std::vector<GoodGif> goodGifs() {
    return {
        {"FrameFillsTheScreen",
         {4, 3, kRgbw, {{.width = 4, .height = 3, .index = kDiagonal}}},
         {{0, 0, kRed}, {1, 0, kGreen}, {3, 0, kWhite}, {3, 2, kGreen}}},
        // Outside the first frame nothing is drawn: transparent, so the
        // picture box's background shows.
        {"SmallFrameOnABigScreen",
         {8, 6, kRgbw, {{.left = 3, .top = 2, .width = 4, .height = 2, .index = kDiagonal}}},
         {{3, 2, kRed}, {6, 3, kRed}, {2, 2, kClear}, {7, 2, kClear}, {3, 1, kClear}, {3, 4, kClear}, {0, 0, kClear}}},
        {"FrameCutByTheScreenEdge",
         {4, 4, kRgbw, {{.left = 2, .top = 3, .width = 5, .height = 5, .index = kDiagonal}}},
         {{2, 3, kRed}, {3, 3, kGreen}, {1, 3, kClear}, {3, 2, kClear}}},
        {"FrameEntirelyOffTheScreen",
         {4, 4, kRgbw, {{.left = 10, .top = 1, .width = 2, .height = 2, .index = kDiagonal}}},
         {{0, 1, kClear}, {3, 2, kClear}}},
        // Rows come in pass order; each must land on its own line.
        {"Interlaced",
         {3, 11, kRgbw, {{.width = 3, .height = 11, .interlaced = true, .index = [](int, int y) { return y % 4; }}}},
         {{0, 0, kRed}, {2, 1, kGreen}, {1, 2, kBlue}, {0, 3, kWhite}, {0, 4, kRed}, {0, 9, kGreen}, {2, 10, kBlue}}},
        {"TransparentIndex",
         {2, 1, kRgbw, {{.width = 2, .height = 1, .transparentIndex = 1, .index = [](int x, int) { return x; }}}},
         {{0, 0, kRed}, {1, 0, kClear}}},
        {"LocalTableOverridesGlobal",
         {2, 1, kRgbw, {{.width = 2, .height = 1, .localTable = {{0, 0, 255}, {9, 9, 9}}, .index = [](int x, int) { return x; }}}},
         {{0, 0, kBlue}, {1, 0, 0xFF090909}}},
        // Two colours, but the code size lets pixels say 2 and 3.
        {"IndexBeyondTheTableIsBlack",
         {4, 1, {{255, 0, 0}, {255, 255, 255}}, {{.width = 4, .height = 1, .index = [](int x, int) { return x; }}}},
         {{0, 0, kRed}, {1, 0, kWhite}, {2, 0, kBlack}, {3, 0, kBlack}}},
        // Only the first frame shows; the second frame's control block must
        // not make the first one's colours transparent.
        {"AnimationShowsTheFirstFrame",
         {2, 1, kRgbw,
          {{.width = 2, .height = 1, .index = [](int x, int) { return x; }},
           {.width = 2, .height = 1, .transparentIndex = 0, .index = [](int, int) { return 2; }}}},
         {{0, 0, kRed}, {1, 0, kGreen}}},
    };
}

class GoodGifTest : public ::testing::TestWithParam<GoodGif> {};

TEST_P(GoodGifTest, DecodesEveryRowAndTheProbedPixels) {
    const GoodGif& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodeGif(encodeGif(c.picture), sink);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    ASSERT_EQ(sink.width, c.picture.width);
    ASSERT_EQ(sink.height, c.picture.height);
    for (const Probe& p : c.probes)
        EXPECT_EQ(sink.argbAt(p.x, p.y), p.argb) << "at " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Pictures, GoodGifTest, ::testing::ValuesIn(goodGifs()),
                         [](const auto& info) { return std::string(info.param.name); });

// In the picture box the uncovered area shows the box's own background,
// exactly as a transparent colour inside the frame does.
TEST(Gif, UncoveredAreaShowsThePictureBoxBackground) {
    const ByteBuffer gif = encodeGif(
        {4, 2, kRgbw, {{.left = 2, .width = 2, .height = 2, .transparentIndex = 1, .index = [](int x, int) { return x; }}}});
    const Rendering out = renderPicture(gif, 4, 2);
    ASSERT_TRUE(out.drawn) << out.error;
    EXPECT_EQ(out.image.pixel(0, 0), kButtonFace);
    EXPECT_EQ(out.image.pixel(1, 1), kButtonFace);
    EXPECT_EQ(out.image.pixel(2, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(out.image.pixel(3, 1), kButtonFace);  // index 1, the transparent one
}

// giflib's encoder insists on a colour table, so the table is cut out of
// the file afterwards: the screen descriptor's flag cleared and its 256
// entries removed.
TEST(Gif, NoColourTableAtAllReadsIndicesAsGrey) {
    std::vector<Colour> ramp(256);
    for (int i = 0; i < 256; ++i) ramp[i] = {static_cast<std::uint8_t>(i), 0, 0};
    ByteBuffer b = encodeGif({3, 1, ramp, {{.width = 3, .height = 1, .index = [](int x, int) { return x * 100; }}}});
    ASSERT_EQ(b[10] & 0x87, 0x87);
    b[10] = static_cast<std::uint8_t>(b[10] & ~0x87);
    b.erase(b.begin() + 13, b.begin() + 13 + 768);
    CollectSink sink;
    const DecodeResult r = decodeGif(b, sink);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    EXPECT_EQ(sink.argbAt(0, 0), kBlack);
    EXPECT_EQ(sink.argbAt(1, 0), 0xFF646464u);
    EXPECT_EQ(sink.argbAt(2, 0), 0xFFC8C8C8u);
}

GifPicture redSquare(int size) {
    return {size, size, kRgbw, {{.width = size, .height = size}}};
}

ByteBuffer cut(ByteBuffer b, std::size_t keep) {
    b.resize(std::min(keep, b.size()));
    return b;
}

void put16(ByteBuffer& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// The image descriptor follows the 13-byte screen descriptor and the global
// table (4 entries here) directly when no extension comes first.
constexpr std::size_t kFirstImageDescriptor = 13 + 4 * 3;

struct BadGif {
    const char* name;
    std::function<ByteBuffer()> make;
};

std::vector<BadGif> badGifs() {
    return {
        {"Empty", [] { return ByteBuffer{}; }},
        {"SignatureOnly", [] { return ByteBuffer{'G', 'I', 'F', '8', '9', 'a'}; }},
        {"NoImage", [] { return encodeGif({4, 4, kRgbw, {}}); }},
        {"CutInThePixelData", [] { const ByteBuffer b = encodeGif(redSquare(64)); return cut(b, b.size() - 8); }},
        {"CutInTheScreenDescriptor", [] { return cut(encodeGif(redSquare(4)), 9); }},
        {"ZeroWidthScreen", [] { ByteBuffer b = encodeGif(redSquare(4)); put16(b, 6, 0); return b; }},
        // 65535 x 65535 claimed by a file of a few dozen bytes.
        {"HugeScreen", [] { ByteBuffer b = encodeGif(redSquare(4)); put16(b, 6, 65535); put16(b, 8, 65535); return b; }},
        {"HugeFrameOnASmallScreen",
         [] {
             ByteBuffer b = encodeGif(redSquare(4));
             put16(b, kFirstImageDescriptor + 5, 65535);
             put16(b, kFirstImageDescriptor + 7, 65535);
             return b;
         }},
        {"ZeroHeightFrame", [] { ByteBuffer b = encodeGif(redSquare(4)); put16(b, kFirstImageDescriptor + 7, 0); return b; }},
        // The LZW code size byte comes right after the descriptor; above 8
        // there is no such code width.
        {"LzwCodeSizeTooLarge", [] { ByteBuffer b = encodeGif(redSquare(4)); b[kFirstImageDescriptor + 10] = 12; return b; }},
        {"UnknownBlockBeforeTheImage", [] { ByteBuffer b = encodeGif(redSquare(4)); b[kFirstImageDescriptor] = 0x42; return b; }},
    };
}

class BadGifTest : public ::testing::TestWithParam<BadGif> {};

TEST_P(BadGifTest, FailsWithAReason) {
    CollectSink sink;
    const DecodeResult r = decodeGif(GetParam().make(), sink);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadGifTest, ::testing::ValuesIn(badGifs()),
                         [](const auto& info) { return std::string(info.param.name); });

struct CorpusOutcome {
    const char* path;
    bool decodes;
};

class GifCorpusOutcomeTest : public ::testing::TestWithParam<CorpusOutcome> {};

TEST_P(GifCorpusOutcomeTest, DecodesOrRefusesAsDecided) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const CorpusOutcome& c = GetParam();
    corpus::CorpusSink sink;
    const DecodeResult r = decodeGif(corpus::readBytes(corpus::testdataDir() / c.path), sink);
    EXPECT_EQ(r.ok, c.decodes) << c.path << ": " << r.error;
    if (r.ok) {
        EXPECT_TRUE(sink.complete());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, GifCorpusOutcomeTest,
    ::testing::Values(
        // Huge canvases from tiny files: refused by size or by running out
        // of data, never by exhausting memory.
        CorpusOutcome{"image-gif/crashtest/issue-96-small-codesize-2.gif", false},
        CorpusOutcome{"image-gif/stall/issue-101-infinite-empty-loop.gif", false},
        CorpusOutcome{"libgd/gif/ossfuzz5700.gif", false}, CorpusOutcome{"libgd/gif/php_bug_75571.gif", false},
        CorpusOutcome{"pillow/decompression_bomb.gif", false},
        CorpusOutcome{"wuffs/hippopotamus.interlaced.truncated.gif", false},
        CorpusOutcome{"libgd-gif-conformance/invalid/bad_lzw_code.gif", false},
        // Only the first frame counts, so a later frame far outside is harmless.
        CorpusOutcome{"pillow/decompression_bomb_extents.gif", true},
        CorpusOutcome{"libgd/gif/gif_nocolormaps.gif", true},
        CorpusOutcome{"libgd-gif-conformance/edge-cases/gif87a.gif", true}));

TEST(GifCorpus, InterlacedFileEqualsItsPlainTwin) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    CollectSink plain, interlaced;
    ASSERT_TRUE(decodeGif(corpus::readBytes(corpus::testdataDir() / "wuffs/hippopotamus.regular.gif"), plain).ok);
    ASSERT_TRUE(decodeGif(corpus::readBytes(corpus::testdataDir() / "wuffs/hippopotamus.interlaced.gif"), interlaced).ok);
    EXPECT_TRUE(interlaced.complete());
    ASSERT_EQ(plain.pixels.size(), interlaced.pixels.size());
    for (std::size_t i = 0; i < plain.pixels.size(); ++i) ASSERT_EQ(argb(plain.pixels[i]), argb(interlaced.pixels[i])) << i;
}

struct MemoryReader {
    ByteView bytes;
    std::size_t at = 0;
};

int readMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* in = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(n), in->bytes.size() - in->at);
    std::copy_n(in->bytes.begin() + static_cast<std::ptrdiff_t>(in->at), count, out);
    in->at += count;
    return static_cast<int>(count);
}

// Where the first frame lies on the screen, clipped to it, read with giflib
// independently of the decoder.
corpus::Rect firstFrame(ByteView file, int screenWidth, int screenHeight) {
    MemoryReader in{file};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, readMemory, &error);
    corpus::Rect rect;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (gif && DGifGetRecordType(gif, &record) == GIF_OK && record == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) break;
        while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {}
    }
    if (gif && record == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(gif) == GIF_OK) {
        const GifImageDesc& d = gif->Image;
        rect = {d.Left, d.Top, std::max(0, std::min(d.Width, screenWidth - d.Left)),
                std::max(0, std::min(d.Height, screenHeight - d.Top))};
    }
    if (gif) DGifCloseFile(gif, &error);
    return rect;
}

// Every GIF of the test data: no crash, the sink's contract kept, nothing
// drawn outside the first frame, and inside it exactly Qt's pixels. Qt fills
// the uncovered area with the file's background colour instead, and draws
// frames whose data is cut short or missing, which we refuse.
TEST(GifCorpus, EveryFileDecodesLikeQtInsideTheFirstFrameOrIsRefused) {
    const auto files = corpus::testdataFiles({".gif"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    // Pixels whose index lies beyond the colour table: black here (the
    // table padded with black), Qt's own pick there.
    const std::string beyondTable = "libgd/gif/unitialized_memory_read.gif";
    int decoded = 0;
    for (const auto& path : files) {
        const std::string name = corpus::relativeName(path);
        const ByteBuffer bytes = corpus::readBytes(path);
        corpus::CorpusSink sink;
        const DecodeResult r = decodeGif(bytes, sink);
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty()) << name;
            continue;
        }
        ++decoded;
        ASSERT_TRUE(sink.complete()) << name;
        ASSERT_TRUE(sink.kept) << name << ": a picture this large decoded";
        const CollectSink& ours = sink.picture;
        const corpus::Rect frame = firstFrame(bytes, ours.width, ours.height);
        for (int y = 0; y < ours.height; ++y) {
            for (int x = 0; x < ours.width; ++x) {
                if (!frame.contains(x, y)) {
                    ASSERT_EQ(ours.at(x, y).a, 0) << name << " at " << x << "," << y;
                }
            }
        }
#ifdef YZICON_HAVE_QT
        const QImage qt = corpus::readWithQt(path);
        ASSERT_FALSE(qt.isNull()) << name << ": we decode it, Qt does not";
        ASSERT_EQ(qt.width(), ours.width) << name;
        ASSERT_EQ(qt.height(), ours.height) << name;
        if (name == beyondTable) continue;
        const auto d = corpus::compareWithQt(ours, qt, frame);
        EXPECT_EQ(d.pixels, 0) << name << ": largest difference " << d.largest << ", first at " << d.firstX << ","
                               << d.firstY;
#endif
    }
    EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace yz::imaging
