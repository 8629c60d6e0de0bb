// The BMP decoder: every layout in scope read right, everything else refused
// without touching memory outside the file.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/decoder_cases.h"
#include "imaging/decoders.h"
#include "imaging/dib_fixture.h"
#include "imaging/render.h"

namespace yz::imaging {
namespace {

using namespace test;
using ::testing::TestWithParam;
using ::testing::Values;

ByteBuffer withMasks(DibFields fields, std::uint32_t r, std::uint32_t g, std::uint32_t b, ByteView rows) {
    fields.compression = 3;
    ByteBuffer file = bmpFile(fields, {}, rows);
    set32(file, 14 + 40, r);
    set32(file, 14 + 44, g);
    set32(file, 14 + 48, b);
    return file;
}

std::vector<GoodPicture> goodBmps() {
    return {
        // 3x2, 1 bit: rows bottom-up, bits from the high end of each byte.
        {"Pal1BottomUp",
         bmpFile({40, 3, 2, 1}, ByteBuffer{0x33, 0x22, 0x11, 0, 0xCC, 0xBB, 0xAA, 0},
                 ByteBuffer{0xA0, 0, 0, 0, /* top: */ 0x40, 0, 0, 0}),
         3, 2, {{0, 0, 0xFF112233}, {1, 0, 0xFFAABBCC}, {0, 1, 0xFFAABBCC}, {2, 1, 0xFFAABBCC}}},
        // 3x1, 4 bit: indices 1 2 3, high nibble first.
        {"Pal4",
         bmpFile({40, 3, 1, 4}, ByteBuffer{0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0},
                 ByteBuffer{0x12, 0x30, 0, 0}),
         3, 1, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF00FF00}, {2, 0, 0xFF0000FF}}},
        // Colours used 0 means 256, but only two entries come before the
        // pixels: index 200 lies past the table and draws black.
        {"Pal8ShortTable",
         bmpFile({40, 2, 1, 8}, ByteBuffer{0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}, ByteBuffer{1, 200, 0, 0}),
         2, 1, {{0, 0, 0xFF605040}, {1, 0, 0xFF000000}}},
        {"Pal8HugeColorsUsed",
         bmpFile({40, 1, 1, 8, 0, 0xFFFFFFFF}, ByteBuffer{0x10, 0x20, 0x30, 0}, ByteBuffer{0, 0, 0, 0}),
         1, 1, {{0, 0, 0xFF302010}}},
        // 2x2, 24 bit, rows padded from 6 to 8 bytes.
        {"Rgb24BottomUp",
         bmpFile({40, 2, 2, 24}, {}, ByteBuffer{1, 2, 3, 4, 5, 6, 0, 0, /* top: */ 7, 8, 9, 10, 11, 12, 0, 0}),
         2, 2, {{0, 0, 0xFF090807}, {1, 0, 0xFF0C0B0A}, {0, 1, 0xFF030201}, {1, 1, 0xFF060504}}},
        {"Rgb24TopDown",
         bmpFile({40, 2, -2, 24}, {}, ByteBuffer{1, 2, 3, 4, 5, 6, 0, 0, /* bottom: */ 7, 8, 9, 10, 11, 12, 0, 0}),
         2, 2, {{0, 0, 0xFF030201}, {1, 1, 0xFF0C0B0A}}},
        // The last row's padding may be missing.
        {"Rgb24UnpaddedLastRow", bmpFile({40, 1, 1, 24}, {}, ByteBuffer{1, 2, 3}), 1, 1, {{0, 0, 0xFF030201}}},
        // The fourth byte of BI_RGB 32-bit is not alpha.
        {"Rgb32FourthByteIgnored", bmpFile({40, 1, 1, 32}, {}, ByteBuffer{1, 2, 3, 0x80}), 1, 1, {{0, 0, 0xFF030201}}},
        // BI_BITFIELDS with the masks after a 40-byte header, red lowest.
        {"Bitfields32",
         bmpFile({40, 1, 1, 32, 3},
                 ByteBuffer{0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0}, ByteBuffer{0x11, 0x22, 0x33, 0x44}),
         1, 1, {{0, 0, 0xFF112233}}},
        // 5-5-5 masks in a 56-byte header: 5-bit values stretched to 8.
        {"Bitfields32FiveBitsInV3Header",
         withMasks({56, 2, 1, 32}, 0x7C00, 0x03E0, 0x001F, ByteBuffer{0x1F, 0x7C, 0, 0, 0x10, 0x42, 0, 0}),
         2, 1, {{0, 0, 0xFFFF00FF}, {1, 0, 0xFF848484}}},
        // OS/2 1.x: 16-bit sizes and 3-byte colour table entries.
        {"Os2CoreHeader",
         bmpFile({12, 2, 1, 8}, ByteBuffer{0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, ByteBuffer{1, 0, 0, 0}),
         2, 1, {{0, 0, 0xFF605040}, {1, 0, 0xFF302010}}},
        {"Os2V2Header64", bmpFile({64, 1, 1, 4}, ByteBuffer{0xAB, 0xCD, 0xEF, 0}, ByteBuffer{0, 0, 0, 0}), 1, 1,
         {{0, 0, 0xFFEFCDAB}}},
        {"Os2V2Header16", bmpFile({16, 1, 1, 1}, ByteBuffer{0, 0, 0, 0, 1, 2, 3, 0}, ByteBuffer{0x80, 0, 0, 0}), 1, 1,
         {{0, 0, 0xFF030201}}},
        {"V4Header", bmpFile({108, 1, 1, 24}, {}, ByteBuffer{1, 2, 3, 0}), 1, 1, {{0, 0, 0xFF030201}}},
        {"V5Header", bmpFile({124, 1, 1, 8}, ByteBuffer{1, 2, 3, 0}, ByteBuffer{0, 0, 0, 0}), 1, 1,
         {{0, 0, 0xFF030201}}},
    };
}

class GoodBmpTest : public TestWithParam<GoodPicture> {};

TEST_P(GoodBmpTest, DecodesEveryRowAndTheProbedPixels) { expectPicture(decodeBmp, GetParam()); }

INSTANTIATE_TEST_SUITE_P(Layouts, GoodBmpTest, ::testing::ValuesIn(goodBmps()),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows go out in file order, so a bottom-up file hands over its bottom row
// first and nothing has to be buffered.
TEST(Bmp, RowsArriveInFileOrder) {
    const ByteBuffer rows(12, 0);
    CollectSink up, down;
    ASSERT_TRUE(decodeBmp(bmpFile({40, 1, 3, 24}, {}, rows), up).ok);
    ASSERT_TRUE(decodeBmp(bmpFile({40, 1, -3, 24}, {}, rows), down).ok);
    EXPECT_EQ(up.order, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(down.order, (std::vector<int>{0, 1, 2}));
}

// A valid 2x2 8-bit file with a two-entry table: 14 + 40 + 8 bytes of
// headers, then two rows of 4 bytes.
ByteBuffer validPal8() {
    return bmpFile({40, 2, 2, 8}, ByteBuffer{1, 2, 3, 0, 4, 5, 6, 0}, ByteBuffer{0, 1, 0, 0, 1, 0, 0, 0});
}

void setBits(ByteBuffer& b, int bits) { set16(b, 28, static_cast<std::uint32_t>(bits)); }
void setCompression(ByteBuffer& b, std::uint32_t c) { set32(b, 30, c); }

std::vector<Spoiled> badBmps() {
    return {
        {"Empty", [](ByteBuffer& b) { b.clear(); }},
        {"FileHeaderOnly", [](ByteBuffer& b) { b.resize(14); }},
        {"InfoHeaderCut", [](ByteBuffer& b) { b.resize(30); }},
        {"NotBM", [](ByteBuffer& b) { b[1] = 'A'; }},
        {"HeaderSize66", [](ByteBuffer& b) { set32(b, 14, 66); }},
        {"HeaderSizeHuge", [](ByteBuffer& b) { set32(b, 14, 0xFFFFFFF0); }},
        {"PixelsCutShort", [](ByteBuffer& b) { b.resize(b.size() - 3); }},
        {"PixelOffsetPastEnd", [](ByteBuffer& b) { set32(b, 10, 1000); }},
        {"PixelOffsetWraps", [](ByteBuffer& b) { set32(b, 10, 0xFFFFFFFF); }},
        {"PixelOffsetInsideHeaders", [](ByteBuffer& b) { set32(b, 10, 20); }},
        {"WidthZero", [](ByteBuffer& b) { set32(b, 18, 0); }},
        {"WidthNegative", [](ByteBuffer& b) { set32(b, 18, static_cast<std::uint32_t>(-2)); }},
        {"WidthInt32Max", [](ByteBuffer& b) { set32(b, 18, 0x7FFFFFFF); }},
        {"HeightZero", [](ByteBuffer& b) { set32(b, 22, 0); }},
        {"HeightInt32Min", [](ByteBuffer& b) { set32(b, 22, 0x80000000); }},
        {"HeightInt32Max", [](ByteBuffer& b) { set32(b, 22, 0x7FFFFFFF); }},
        // Each side within the limit, 2^31 pixels together.
        {"TwoToThe31Pixels", [](ByteBuffer& b) { set32(b, 18, 65535), set32(b, 22, 32769); }},
        {"PlanesZero", [](ByteBuffer& b) { set16(b, 26, 0); }},
        {"Bits0", [](ByteBuffer& b) { setBits(b, 0); }},
        {"Bits2", [](ByteBuffer& b) { setBits(b, 2); }},
        {"Bits16", [](ByteBuffer& b) { setBits(b, 16); }},
        {"Bits64", [](ByteBuffer& b) { setBits(b, 64); }},
        {"Rle8", [](ByteBuffer& b) { setCompression(b, 1); }},
        {"Rle4", [](ByteBuffer& b) { setBits(b, 4), setCompression(b, 2); }},
        {"Jpeg", [](ByteBuffer& b) { setCompression(b, 4); }},
        {"Png", [](ByteBuffer& b) { setCompression(b, 5); }},
        {"BitfieldsAt8Bits", [](ByteBuffer& b) { setCompression(b, 3); }},
        {"BitfieldMaskWithGaps",
         [](ByteBuffer& b) {
             b = bmpFile({40, 1, 1, 32, 3}, ByteBuffer{0xFF, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF},
                         ByteBuffer(4, 0));
         }},
        {"UnknownCompression", [](ByteBuffer& b) { setCompression(b, 99); }},
        // OS/2 2.x code 3 is Huffman 1D, not BITFIELDS.
        {"Os2Huffman",
         [](ByteBuffer& b) { b = bmpFile({64, 8, 1, 1, 3}, ByteBuffer(8, 0), ByteBuffer(4, 0)); }},
        {"Os2CoreHeaderCut", [](ByteBuffer& b) { b = bmpFile({12, 1, 1, 24}, {}, {}), b.resize(22); }},
    };
}

class BadBmpTest : public TestWithParam<Spoiled> {};

TEST_P(BadBmpTest, FailsWithAReasonAndDeliversNoRows) {
    ByteBuffer file = validPal8();
    GetParam().spoil(file);
    expectRefusedBeforeAnyRow(decodeBmp, file);
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadBmpTest, ::testing::ValuesIn(badBmps()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Bmp, ValidBaseOfTheMalformedTableDecodes) {
    CollectSink sink;
    ASSERT_TRUE(decodeBmp(validPal8(), sink).ok);
    EXPECT_EQ(sink.argbAt(0, 0), 0xFF060504u);
    EXPECT_EQ(sink.argbAt(1, 1), 0xFF060504u);
}

// The picture box path: sniffed as BMP, decoded, stretched.
TEST(Bmp, RendersThroughThePictureBoxPath) {
    const ByteBuffer file = bmpFile({40, 2, 1, 24}, {}, ByteBuffer{0, 0, 200, 100, 0, 0, 0, 0});
    const Rendering same = renderPicture(file, 2, 1);
    ASSERT_TRUE(same.drawn) << same.error;
    EXPECT_EQ(same.format, PictureFormat::Bmp);
    EXPECT_EQ(same.image.pixel(0, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(same.image.pixel(1, 0), (Rgb{0, 0, 100}));
    const Rendering half = renderPicture(file, 1, 1);
    EXPECT_EQ(half.image.pixel(0, 0), (Rgb{100, 0, 50}));
}


// ---- The third-party corpus ----

// Every BMP Suite file and what we do with it: these decode, the rest are
// refused. In: uncompressed 1/4/8/24/32 bits (32-bit BITFIELDS too) under
// every header size; the "bad" files whose lies do not matter to an
// uncompressed reader (density, file size, image size, colours used) and
// the one with indices past its table. Out: RLE, Huffman, JPEG and PNG
// payloads, 2, 16 and 64 bits, ALPHABITFIELDS, the OS/2 "BA" container,
// and the bad files with an unknown header size, planes not 1, a negative
// width, absurd dimensions or cut-off pixels.
const std::set<std::string> kBmpSuiteDecoded{
    "b/badbitssize.bmp", "b/baddens1.bmp", "b/baddens2.bmp", "b/badfilesize.bmp", "b/badpalettesize.bmp",
    "b/pal8badindex.bmp", "g/pal1.bmp", "g/pal1bg.bmp", "g/pal1wb.bmp", "g/pal4.bmp", "g/pal4gs.bmp",
    "g/pal8-0.bmp", "g/pal8.bmp", "g/pal8gs.bmp", "g/pal8nonsquare.bmp", "g/pal8os2.bmp", "g/pal8topdown.bmp",
    "g/pal8v4.bmp", "g/pal8v5.bmp", "g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp", "g/rgb24.bmp",
    "g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/pal1p1.bmp", "q/pal8offs.bmp",
    "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2sp.bmp", "q/pal8os2v2-16.bmp", "q/pal8os2v2-40sz.bmp",
    "q/pal8os2v2-sz.bmp", "q/pal8os2v2.bmp", "q/pal8oversizepal.bmp", "q/rgb24largepal.bmp", "q/rgb24lprof.bmp",
    "q/rgb32-111110.bmp", "q/rgb32-7187.bmp", "q/rgb32-xbgr.bmp", "q/rgb32fakealpha.bmp", "q/rgb32h52.bmp",
    "q/rgba32-1.bmp", "q/rgba32-1010102.bmp", "q/rgba32-2.bmp", "q/rgba32-61754.bmp", "q/rgba32-81284.bmp",
    "q/rgba32h56.bmp"};

TEST(BmpCorpus, BmpSuiteFilesDecodeOrAreRefusedAsDecided) {
    const auto files = corpus::testdataFiles({".bmp"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    int seen = 0;
    for (const auto& path : files) {
        const std::string name = corpus::relativeName(path);
        if (name.rfind("bmpsuite/", 0) != 0) continue;
        ++seen;
        CollectSink sink;
        const DecodeResult r = decodeBmp(corpus::readBytes(path), sink);
        EXPECT_EQ(r.ok, kBmpSuiteDecoded.count(name.substr(9)) == 1) << name << ": " << r.error;
    }
    EXPECT_EQ(seen, 89);
}

// Every file of the test data that is a BMP by name or by its first bytes
// runs through the decoder: either a whole picture with the sink's contract
// kept, or a reason. The sanitizer build proves no read leaves the file.
TEST(BmpCorpus, EveryFileDecodesWholeOrIsRefusedWithAReason) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    sweepCorpus("BMP", decodeBmp, [](const corpus::fs::path& path, ByteView bytes) {
        return corpus::lowerExtension(path) == ".bmp" || sniffFormat(bytes) == PictureFormat::Bmp;
    });
}

#ifdef YZICON_HAVE_QT
// Where Qt reads a file differently, and why ours is the reading we want.
const std::map<std::string, const char*> kDiffersFromQt{
    {"bmpsuite/b/pal8badindex.bmp", "indices past the table: opaque black here, transparent in Qt"},
    {"bmpsuite/q/pal8os2sp.bmp",
     "Qt reads a full OS/2 table over the first pixels; ours equals g/pal8.bmp (see SamePicture)"},
    {"bmpsuite/q/rgb32-111110.bmp", "Qt mis-scales channels wider than 8 bits; ours is within 1 of g/rgb24.bmp"},
    {"bmpsuite/q/rgb32-7187.bmp", "Qt mis-scales channels wider than 8 bits; ours is within 1 of g/rgb24.bmp"},
    {"bmpsuite/q/rgba32-1.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"bmpsuite/q/rgba32-2.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"bmpsuite/q/rgba32-1010102.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"bmpsuite/q/rgba32-61754.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"bmpsuite/q/rgba32-81284.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"commons-imaging/bmp/3/V4-bitfields.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"image-rs/images/bmp/images/V5_A8_R8_G8_B8_Rgb.bmp", "alpha mask: we draw opaque, as GDI does"},
    {"commons-imaging/bmp/2/@broken/SanselanTest.bmp",
     "its table has 53 entries, not 256: Qt reads 256 and takes pixels for colours"},
};

// Wherever Qt also reads a BMP, the pixels are Qt's, except for the files
// listed above. Every in-scope BMP Suite "good" file must be among those
// compared.
TEST(BmpCorpus, PixelsMatchQtWhereBothDecode) {
    const auto files = corpus::testdataFiles({".bmp"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    std::set<std::string> compared;
    for (const auto& path : files) {
        const std::string name = corpus::relativeName(path);
        CollectSink sink;
        if (!decodeBmp(corpus::readBytes(path), sink).ok) continue;
        const QImage qt = corpus::readWithQt(path);
        if (qt.isNull()) continue;
        compared.insert(name);
        ASSERT_EQ(qt.width(), sink.width) << name;
        ASSERT_EQ(qt.height(), sink.height) << name;
        const auto d = corpus::compareWithQt(sink, qt, {0, 0, sink.width, sink.height});
        const bool expectedToDiffer = kDiffersFromQt.count(name) == 1;
        EXPECT_EQ(d.pixels != 0, expectedToDiffer)
            << name << ": " << d.pixels << " pixels differ, largest by " << d.largest << ", first at " << d.firstX
            << "," << d.firstY;
    }
    for (const std::string& name : kBmpSuiteDecoded) {
        if (name.rfind("g/", 0) == 0) {
            EXPECT_EQ(compared.count("bmpsuite/" + name), 1u) << name;
        }
    }
}
#endif

// Files that hold the same picture as another one, for readings Qt cannot
// check: each pixel may differ by at most `tolerance` (channels wider than
// 8 bits round).
struct SamePicture {
    const char* file;
    const char* reference;
    int tolerance;
};

class BmpSamePictureTest : public TestWithParam<SamePicture> {};

TEST_P(BmpSamePictureTest, DecodesToTheReferencePicture) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const SamePicture& c = GetParam();
    CollectSink ours, reference;
    ASSERT_TRUE(decodeBmp(corpus::readBytes(corpus::testdataDir() / c.file), ours).ok);
    ASSERT_TRUE(decodeBmp(corpus::readBytes(corpus::testdataDir() / c.reference), reference).ok);
    ASSERT_EQ(ours.width, reference.width);
    ASSERT_EQ(ours.height, reference.height);
    EXPECT_LE(largestDifference(ours, reference), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, BmpSamePictureTest,
    ::testing::Values(SamePicture{"bmpsuite/q/pal8os2sp.bmp", "bmpsuite/g/pal8.bmp", 0},
                      SamePicture{"bmpsuite/q/pal8os2v2-16.bmp", "bmpsuite/g/pal8.bmp", 0},
                      SamePicture{"bmpsuite/q/pal8oversizepal.bmp", "bmpsuite/g/pal8.bmp", 0},
                      SamePicture{"bmpsuite/q/rgb32h52.bmp", "bmpsuite/g/rgb24.bmp", 0},
                      SamePicture{"bmpsuite/q/rgb32-111110.bmp", "bmpsuite/g/rgb24.bmp", 1},
                      SamePicture{"bmpsuite/q/rgb32-7187.bmp", "bmpsuite/g/rgb24.bmp", 1}));

}  // namespace
}  // namespace yz::imaging
