// The PCX decoder: every plane and bit layout it reads, the palettes each
// uses, run-length coding (runs across planes and lines included), damaged
// headers and data refused, and the third-party files read consistently.
#include <gtest/gtest.h>

#include <functional>

#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/decoders.h"

#ifdef YZICON_HAVE_QT
#include <QImage>
#endif

namespace yz::imaging {
namespace {

using namespace test;

struct PcxLayout {
    int bitsPerPixel = 8;
    int planes = 1;
    int width = 1, height = 1;
    int bytesPerLine = 0;  // 0: the least that holds the width
    int encoding = 1;
    int xMin = 0, yMin = 0;
    std::vector<std::uint8_t> headerPalette{};  // up to 48 bytes at 16
};

int lineBytes(const PcxLayout& l) {
    return l.bytesPerLine ? l.bytesPerLine : (l.width * l.bitsPerPixel + 7) / 8;
}

// Runs of up to 63 equal bytes; a lone byte below 0xC0 stands for itself.
ByteBuffer runLengthCoded(const ByteBuffer& raw) {
    ByteBuffer out;
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 63) ++n;
        if (n > 1 || raw[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | n));
        out.push_back(raw[i]);
        i += n;
    }
    return out;
}

ByteBuffer pcxHeader(const PcxLayout& l) {
    ByteBuffer h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = static_cast<std::uint8_t>(l.encoding);
    h[3] = static_cast<std::uint8_t>(l.bitsPerPixel);
    const auto put16 = [&h](std::size_t at, int v) {
        h[at] = static_cast<std::uint8_t>(v);
        h[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(4, l.xMin);
    put16(6, l.yMin);
    put16(8, l.xMin + l.width - 1);
    put16(10, l.yMin + l.height - 1);
    std::copy(l.headerPalette.begin(), l.headerPalette.end(), h.begin() + 16);
    h[65] = static_cast<std::uint8_t>(l.planes);
    put16(66, lineBytes(l));
    put16(68, 1);
    return h;
}

// A file of the given layout; `scan` holds every scan line's bytes, all
// planes of a line in turn, coded as a whole stream so runs can cross
// plane and line boundaries the way real writers sometimes let them.
ByteBuffer pcxFile(const PcxLayout& l, const ByteBuffer& scan, const ByteBuffer& trailer = {}) {
    return joinBuffers({pcxHeader(l), l.encoding == 1 ? runLengthCoded(scan) : scan, trailer});
}

ByteBuffer trailingPalette(std::initializer_list<std::array<std::uint8_t, 3>> first) {
    ByteBuffer p(769, 0);
    p[0] = 0x0C;
    std::size_t i = 1;
    for (const auto& c : first) {
        std::copy(c.begin(), c.end(), p.begin() + static_cast<std::ptrdiff_t>(i));
        i += 3;
    }
    return p;
}

// White, red, green, blue, then black: the first four header entries.
const std::vector<std::uint8_t> kWrgb{255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};

struct Probe {
    int x, y;
    std::uint32_t argb;
};
constexpr std::uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kBlack = 0xFF000000;

struct GoodPcx {
    const char* name;
    std::function<ByteBuffer()> make;
    int width, height;
    std::vector<Probe> probes;
};

std::vector<GoodPcx> goodPcxs() {
    return {
        // 1 bit: 0b10100000 -> pixels 1,0,1,0.
        {"Mono", [] { return pcxFile({.bitsPerPixel = 1, .width = 4, .headerPalette = kWrgb}, {0xA0}); }, 4, 1,
         {{0, 0, kRed}, {1, 0, kWhite}, {2, 0, kRed}}},
        // A zero palette would draw one colour; it means black and white.
        {"MonoWithEmptyPalette", [] { return pcxFile({.bitsPerPixel = 1, .width = 4}, {0xA0}); }, 4, 1,
         {{0, 0, kWhite}, {1, 0, kBlack}}},
        // 2 bits: 0b00011011 -> 0,1,2,3.
        {"TwoBitPacked", [] { return pcxFile({.bitsPerPixel = 2, .width = 4, .headerPalette = kWrgb}, {0x1B}); }, 4, 1,
         {{0, 0, kWhite}, {1, 0, kRed}, {2, 0, kGreen}, {3, 0, kBlue}}},
        // 4 bits: 0x23 -> 2,3.
        {"FourBitPacked", [] { return pcxFile({.bitsPerPixel = 4, .width = 2, .headerPalette = kWrgb}, {0x23}); }, 2, 1,
         {{0, 0, kGreen}, {1, 0, kBlue}}},
        // Without header colours 4-bit files get the EGA set.
        {"FourBitWithEmptyPalette", [] { return pcxFile({.bitsPerPixel = 4, .width = 2}, {0x9F}); }, 2, 1,
         {{0, 0, 0xFF5555FF}, {1, 0, kWhite}}},
        // EGA planes: plane p holds bit p of each index. Pixel 0 has bits
        // from planes 0 and 1 (index 3), pixel 1 only plane 1 (index 2).
        {"FourPlanesOfOneBit",
         [] { return pcxFile({.bitsPerPixel = 1, .planes = 4, .width = 2, .headerPalette = kWrgb}, {0x80, 0xC0, 0x00, 0x00}); },
         2, 1, {{0, 0, kBlue}, {1, 0, kGreen}}},
        {"ThreePlanesOfOneBit",
         [] { return pcxFile({.bitsPerPixel = 1, .planes = 3, .width = 2, .headerPalette = kWrgb}, {0x40, 0x00, 0x00}); },
         2, 1, {{0, 0, kWhite}, {1, 0, kRed}}},
        {"EightBitWithTrailingPalette",
         [] { return pcxFile({.width = 3}, {0, 1, 2}, trailingPalette({{9, 8, 7}, {0, 0, 255}, {255, 0, 0}})); }, 3, 1,
         {{0, 0, 0xFF090807}, {1, 0, kBlue}, {2, 0, kRed}}},
        {"EightBitWithoutPaletteIsGrey", [] { return pcxFile({.width = 2}, {0x10, 0xF0}); }, 2, 1,
         {{0, 0, 0xFF101010}, {1, 0, 0xFFF0F0F0}}},
        // Three planes: a line of reds, then greens, then blues.
        {"TwentyFourBitPlanes", [] { return pcxFile({.planes = 3, .width = 2}, {255, 1, 0, 2, 0, 3}); }, 2, 1,
         {{0, 0, kRed}, {1, 0, 0xFF010203}}},
        {"RgbaPlanes", [] { return pcxFile({.planes = 4, .width = 2}, {255, 0, 0, 0, 0, 255, 255, 0}); }, 2, 1,
         {{0, 0, kRed}, {1, 0, 0x000000FF}}},
        {"Uncompressed", [] { return pcxFile({.planes = 3, .width = 2, .encoding = 0}, {255, 0xC5, 0, 0xC5, 0, 0xC5}); }, 2, 1,
         {{0, 0, kRed}, {1, 0, 0xFFC5C5C5}}},
        // One run of zeros covers the green and blue planes of the line.
        {"RunAcrossPlanes", [] { return pcxFile({.planes = 3, .width = 2}, {255, 255, 0, 0, 0, 0}); }, 2, 1,
         {{0, 0, kRed}, {1, 0, kRed}}},
        // A run that goes on past the end of the first line into the next.
        {"RunAcrossLines",
         [] {
             PcxLayout l{.width = 3, .height = 2};
             return joinBuffers({pcxHeader(l), ByteBuffer{0x07, 0xC4, 0x55, 0x09}});
         },
         3, 2, {{0, 0, 0xFF070707}, {2, 0, 0xFF555555}, {1, 1, 0xFF555555}, {2, 1, 0xFF090909}}},
        // Lines padded beyond the width; the padding is not drawn.
        {"PaddedLines", [] { return pcxFile({.width = 1, .height = 2, .bytesPerLine = 3}, {1, 99, 99, 2, 99, 99}); }, 1, 2,
         {{0, 0, 0xFF010101}, {0, 1, 0xFF020202}}},
        // The window need not start at 0: its size is what counts.
        {"WindowAwayFromTheOrigin", [] { return pcxFile({.width = 2, .xMin = 100, .yMin = 7}, {5, 6}); }, 2, 1,
         {{1, 0, 0xFF060606}}},
    };
}

class GoodPcxTest : public ::testing::TestWithParam<GoodPcx> {};

TEST_P(GoodPcxTest, DecodesEveryRowAndTheProbedPixels) {
    const GoodPcx& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodePcx(c.make(), sink);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    ASSERT_EQ(sink.width, c.width);
    ASSERT_EQ(sink.height, c.height);
    for (const Probe& p : c.probes)
        EXPECT_EQ(sink.argbAt(p.x, p.y), p.argb) << "at " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Layouts, GoodPcxTest, ::testing::ValuesIn(goodPcxs()),
                         [](const auto& info) { return std::string(info.param.name); });

ByteBuffer withByte(ByteBuffer b, std::size_t at, std::uint8_t v) {
    b[at] = v;
    return b;
}

ByteBuffer rgb2x2() { return pcxFile({.planes = 3, .width = 2, .height = 2}, ByteBuffer(12, 0x42)); }

struct BadPcx {
    const char* name;
    std::function<ByteBuffer()> make;
};

std::vector<BadPcx> badPcxs() {
    return {
        {"Empty", [] { return ByteBuffer{}; }},
        {"ShortHeader", [] { ByteBuffer b = rgb2x2(); b.resize(100); return b; }},
        {"WrongManufacturer", [] { return withByte(rgb2x2(), 0, 0x0B); }},
        {"UnknownEncoding", [] { return withByte(rgb2x2(), 2, 2); }},
        {"WindowEndsBeforeItStarts", [] { return withByte(rgb2x2(), 4, 5); }},  // xMin 5, xMax 1
        {"HugeWindow",
         [] { ByteBuffer b = rgb2x2(); b[8] = b[9] = b[10] = b[11] = 0xFF; return b; }},  // 65536 x 65536
        {"LineShorterThanTheWidth", [] { return withByte(rgb2x2(), 66, 1); }},
        {"ZeroBytesPerLine", [] { return withByte(rgb2x2(), 66, 0); }},
        {"TwoPlanesOfEightBits", [] { return withByte(rgb2x2(), 65, 2); }},
        {"TwentyFourBitsInOnePlane", [] { return pcxFile({.bitsPerPixel = 24, .width = 1}, {1, 2, 3}); }},
        {"ThreeBitsPerPixel", [] { return withByte(pcxFile({.bitsPerPixel = 4, .width = 2}, {0x12}), 3, 3); }},
        {"NoPixelData", [] { return pcxHeader({.planes = 3, .width = 2, .height = 2}); }},
        {"PixelDataCutShort", [] { ByteBuffer b = pcxFile({.width = 8, .height = 8, .encoding = 0}, ByteBuffer(64, 1)); b.resize(b.size() - 1); return b; }},
        {"RunWithoutItsValue", [] { return joinBuffers({pcxHeader({.width = 4}), ByteBuffer{0xC4}}); }},
        // The trailing palette is not pixel data: a file whose pixels
        // would need its bytes is short.
        {"PixelsReachingIntoThePalette",
         [] { return pcxFile({.width = 200, .height = 4, .encoding = 0}, ByteBuffer(700, 1), trailingPalette({})); }},
    };
}

class BadPcxTest : public ::testing::TestWithParam<BadPcx> {};

TEST_P(BadPcxTest, FailsWithAReason) {
    CollectSink sink;
    const DecodeResult r = decodePcx(GetParam().make(), sink);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadPcxTest, ::testing::ValuesIn(badPcxs()),
                         [](const auto& info) { return std::string(info.param.name); });

// commons-imaging keeps one 10x10 picture (a red letter on white) in every
// layout it writes. Whatever the layout, the picture must be the same: this
// holds the palette rules (header colours even for 1 bit, trailing palette
// for 8 bits) against each other.
TEST(PcxCorpus, EveryLayoutOfOnePictureDecodesAlike) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const auto dir = corpus::testdataDir() / "commons-imaging/pcx/1";
    CollectSink reference;
    ASSERT_TRUE(decodePcx(corpus::readBytes(dir / "3plane8bppUncompressed.pcx"), reference).ok);
    ASSERT_EQ(reference.width, 10);
    EXPECT_EQ(reference.argbAt(0, 0), kWhite);
    EXPECT_EQ(reference.argbAt(4, 1), kRed);
    for (const char* name : {"1plane1bppCompressed.pcx", "1plane1bppUncompressed.pcx", "1plane2bppCompressed.pcx",
                             "1plane4bppCompressed.pcx", "1plane8bppCompressed.pcx", "1plane8bppUncompressed.pcx",
                             "2plane1bppCompressed.pcx", "3plane1bppCompressed.pcx", "4plane1bppCompressed.pcx",
                             "3plane8bppCompressed.pcx"}) {
        CollectSink sink;
        const DecodeResult r = decodePcx(corpus::readBytes(dir / name), sink);
        ASSERT_TRUE(r.ok) << name << ": " << r.error;
        EXPECT_TRUE(sink.complete()) << name;
        ASSERT_EQ(sink.pixels.size(), reference.pixels.size()) << name;
        for (std::size_t i = 0; i < sink.pixels.size(); ++i)
            ASSERT_EQ(argb(sink.pixels[i]), argb(reference.pixels[i])) << name << " pixel " << i;
    }
}

struct CorpusOutcome {
    const char* path;
    bool decodes;
};

class PcxCorpusOutcomeTest : public ::testing::TestWithParam<CorpusOutcome> {};

TEST_P(PcxCorpusOutcomeTest, DecodesOrRefusesAsDecided) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const CorpusOutcome& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodePcx(corpus::readBytes(corpus::testdataDir() / c.path), sink);
    EXPECT_EQ(r.ok, c.decodes) << c.path << ": " << r.error;
    if (r.ok) {
        EXPECT_TRUE(sink.complete());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, PcxCorpusOutcomeTest,
    ::testing::Values(CorpusOutcome{"pillow/pil184.pcx", true},
                      // 24 bits in one plane: commons-imaging's own layout, BGR
                      // order, which no other reader shares.
                      CorpusOutcome{"commons-imaging/pcx/1/1plane24bppCompressed.pcx", false},
                      CorpusOutcome{"commons-imaging/pcx/1/1plane32bppCompressed.pcx", false},
                      CorpusOutcome{"pillow/01r_00.pcx", false},  // 88 wide, 12 bytes a line
                      CorpusOutcome{"pillow/ossfuzz-4836216264589312.pcx", false}));

TEST(PcxCorpus, FourPlaneFileTakesItsColourFromTheHeader) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    CollectSink sink;
    ASSERT_TRUE(decodePcx(corpus::readBytes(corpus::testdataDir() / "pillow/p_4_planes.pcx"), sink).ok);
    ASSERT_EQ(sink.width, 1);
    EXPECT_EQ(sink.argbAt(0, 0), kRed);  // index 3, header entry 3
}

// The 300x225 photo stored as 3 x 8-bit PCX and as 24-bit BMP holds the same
// pixels; the BMP is read by Qt, independently of this program.
TEST(PcxCorpus, PhotoEqualsTheSameFileAsBmp) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
#ifndef YZICON_HAVE_QT
    GTEST_SKIP() << "needs Qt's BMP reader";
#else
    const std::string stem = "Oregon Scientific DS6639 - DSC_0307 - small";
    CollectSink sink;
    const DecodeResult r =
        decodePcx(corpus::readBytes(corpus::testdataDir() / "commons-imaging/pcx/1" / (stem + ".pcx")), sink);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    const QImage bmp = corpus::readWithQt(corpus::testdataDir() / "commons-imaging/bmp/1" / (stem + ".bmp"));
    ASSERT_FALSE(bmp.isNull());
    ASSERT_EQ(bmp.width(), sink.width);
    ASSERT_EQ(bmp.height(), sink.height);
    const auto d = corpus::compareWithQt(sink, bmp, {0, 0, sink.width, sink.height});
    EXPECT_EQ(d.pixels, 0) << "largest difference " << d.largest << ", first at " << d.firstX << "," << d.firstY;
#endif
}

TEST(PcxCorpus, EveryFileDecodesCompletelyOrIsRefused) {
    const auto files = corpus::testdataFiles({".pcx"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    int decoded = 0;
    for (const auto& path : files) {
        corpus::CorpusSink sink;
        const DecodeResult r = decodePcx(corpus::readBytes(path), sink);
        if (r.ok) {
            ++decoded;
            EXPECT_TRUE(sink.complete()) << corpus::relativeName(path);
        } else {
            EXPECT_FALSE(r.error.empty()) << corpus::relativeName(path);
        }
    }
    EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace yz::imaging
