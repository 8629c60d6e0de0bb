// The ICO/CUR decoder: which entry is shown, how its mask and alpha make
// pixels transparent, our own icons read back exactly, and hostile
// directories refused in bounded time.
#include <gtest/gtest.h>

#include <map>

#include "icon/icon_layout.h"
#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/decoder_cases.h"
#include "imaging/decoders.h"
#include "imaging/dib_fixture.h"
#include "imaging/ico_directory.h"
#include "imaging/render.h"

namespace yz::imaging {
namespace {

using namespace test;
using ::testing::TestWithParam;

struct IcoImage {
    std::uint8_t width, height, colorCount;
    ByteBuffer data;
};

// A directory of the given images, their data laid out after it in order.
ByteBuffer icoFile(const std::vector<IcoImage>& images, std::uint16_t type = 1) {
    ByteBuffer dir;
    append16(dir, 0);
    append16(dir, type);
    append16(dir, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    ByteBuffer data;
    for (const IcoImage& image : images) {
        dir.insert(dir.end(), {image.width, image.height, image.colorCount, 0});
        append16(dir, 1);
        append16(dir, 32);
        append32(dir, static_cast<std::uint32_t>(image.data.size()));
        append32(dir, offset);
        offset += static_cast<std::uint32_t>(image.data.size());
        data.insert(data.end(), image.data.begin(), image.data.end());
    }
    return joinBuffers({dir, data});
}

// An entry's DIB: the height in the header counts XOR bitmap and mask.
ByteBuffer dibEntry(DibFields fields, ByteView table, ByteView xorRows, ByteView maskRows) {
    fields.height *= 2;
    return joinBuffers({infoHeader(fields), table, xorRows, maskRows});
}

ByteBuffer singleEntry(const DibFields& fields, ByteView table, ByteView xorRows, ByteView maskRows) {
    return icoFile({{static_cast<std::uint8_t>(fields.width), static_cast<std::uint8_t>(fields.height), 0,
                     dibEntry(fields, table, xorRows, maskRows)}});
}

const ByteBuffer kNoMask1x1(4, 0);
const ByteBuffer kBlackWhite{0x33, 0x22, 0x11, 0, 0xFF, 0xFF, 0xFF, 0};

std::vector<GoodPicture> goodIcos() {
    return {
        // 2x2, 1 bit. Mask rows bottom-up like the colours: the bottom-left
        // pixel is masked out and keeps its colour with alpha 0.
        {"Pal1WithMask",
         singleEntry({40, 2, 2, 1}, kBlackWhite, ByteBuffer{0x40, 0, 0, 0, /* top: */ 0x80, 0, 0, 0},
                     ByteBuffer{0x80, 0, 0, 0, 0, 0, 0, 0}),
         2, 2, {{0, 1, 0x00112233}, {1, 1, 0xFFFFFFFF}, {0, 0, 0xFFFFFFFF}, {1, 0, 0xFF112233}}},
        {"Pal4",
         singleEntry({40, 1, 1, 4, 0, 3}, ByteBuffer{0, 0, 0, 0, 0, 0, 0, 0, 9, 8, 7, 0}, ByteBuffer{0x20, 0, 0, 0},
                     kNoMask1x1),
         1, 1, {{0, 0, 0xFF070809}}},
        {"Pal8Masked",
         singleEntry({40, 1, 1, 8, 0, 1}, ByteBuffer{9, 8, 7, 0}, ByteBuffer{0, 0, 0, 0}, ByteBuffer{0x80, 0, 0, 0}),
         1, 1, {{0, 0, 0x00070809}}},
        {"Rgb24WithMask",
         singleEntry({40, 2, 1, 24}, {}, ByteBuffer{1, 2, 3, 4, 5, 6, 0, 0}, ByteBuffer{0x40, 0, 0, 0}), 2, 1,
         {{0, 0, 0xFF030201}, {1, 0, 0x00060504}}},
        // Alpha rules and the mask, which says the opposite, is ignored.
        {"Rgb32Alpha",
         singleEntry({40, 2, 1, 32}, {}, ByteBuffer{1, 2, 3, 0x80, 4, 5, 6, 0}, ByteBuffer{0xC0, 0, 0, 0}), 2, 1,
         {{0, 0, 0x80030201}, {1, 0, 0x00060504}}},
        // No alpha byte set anywhere: an icon from before alpha, masked.
        {"Rgb32ZeroAlphaUsesMask",
         singleEntry({40, 2, 1, 32}, {}, ByteBuffer{1, 2, 3, 0, 4, 5, 6, 0}, ByteBuffer{0x40, 0, 0, 0}), 2, 1,
         {{0, 0, 0xFF030201}, {1, 0, 0x00060504}}},
        // A mask that is not all there is ignored and the image drawn opaque.
        {"MaskCutShortDrawsOpaque",
         singleEntry({40, 1, 1, 8, 0, 1}, ByteBuffer{9, 8, 7, 0}, ByteBuffer{0, 0, 0, 0}, ByteBuffer{0x80, 0}), 1, 1,
         {{0, 0, 0xFF070809}}},
        {"MaskMissingDrawsOpaque", singleEntry({40, 1, 1, 24}, {}, ByteBuffer{1, 2, 3, 0}, {}), 1, 1,
         {{0, 0, 0xFF030201}}},
        {"Cursor",
         icoFile({{1, 1, 0, dibEntry({40, 1, 1, 24}, {}, ByteBuffer{1, 2, 3, 0}, ByteBuffer{0, 0, 0, 0})}}, 2), 1, 1,
         {{0, 0, 0xFF030201}}},
        // The directory's width byte holds 300 mod 256; the DIB is right.
        {"WiderThanTheWidthByte",
         icoFile({{44, 1, 0, dibEntry({40, 300, 1, 24}, {}, ByteBuffer(900, 0x7F), ByteBuffer(40, 0))}}), 300, 1,
         {{299, 0, 0xFF7F7F7F}}},
    };
}

class GoodIcoTest : public TestWithParam<GoodPicture> {};

TEST_P(GoodIcoTest, DecodesEveryRowAndTheProbedPixels) { expectPicture(decodeIco, GetParam()); }

INSTANTIATE_TEST_SUITE_P(Entries, GoodIcoTest, ::testing::ValuesIn(goodIcos()),
                         [](const auto& info) { return std::string(info.param.name); });

struct Choice {
    const char* name;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> widthAndColors;
    std::size_t shown;
};

class IcoChoiceTest : public TestWithParam<Choice> {};

// Each entry is a 1x1 picture whose blue byte is its index, so the drawn
// colour tells which one was shown.
TEST_P(IcoChoiceTest, ShowsFirst32WideWithSixteenColoursElseTheLast) {
    const Choice& c = GetParam();
    std::vector<IcoImage> images;
    for (std::size_t i = 0; i < c.widthAndColors.size(); ++i) {
        const ByteBuffer pixel{static_cast<std::uint8_t>(i), 0, 0, 0};
        images.push_back({c.widthAndColors[i].first, 1, c.widthAndColors[i].second,
                          dibEntry({40, 1, 1, 24}, {}, pixel, kNoMask1x1)});
    }
    const ByteBuffer file = icoFile(images);
    IcoDirectoryEntry chosen;
    ASSERT_TRUE(chooseIcoEntry(file, chosen).ok);
    EXPECT_EQ(chosen.index, c.shown);
    CollectSink sink;
    ASSERT_TRUE(decodeIco(file, sink).ok);
    EXPECT_EQ(sink.at(0, 0).b, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, IcoChoiceTest,
    ::testing::Values(Choice{"Single", {{48, 0}}, 0}, Choice{"ThirtyTwoAmongOthers", {{16, 16}, {32, 16}, {48, 0}}, 1},
                      Choice{"FirstOfTwoQualifying", {{32, 255}, {32, 16}}, 0},
                      Choice{"ThirtyTwoWithTooFewColours", {{32, 2}, {16, 16}, {48, 16}}, 2},
                      // bColorCount 0 (256 colours or more) is not "16 or more".
                      Choice{"ThirtyTwoWithColourCountZero", {{32, 0}, {16, 0}}, 1},
                      Choice{"NoneThirtyTwoWide", {{16, 16}, {0, 16}}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The icons this program writes must read back pixel for pixel: the
// templates' header, 32-bit pixels with alpha 0 or 255, an all-zero mask.
class OwnIconTest : public TestWithParam<int> {};

TEST_P(OwnIconTest, ReadsBackExactly) {
    const int n = GetParam();
    auto colourOf = [](int x, int y) {
        return Rgba{static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 5),
                    static_cast<std::uint8_t>(x + y), static_cast<std::uint8_t>((x + 2 * y) % 3 == 0 ? 0 : 255)};
    };
    ByteBuffer pixels(icon::pixelBytesFor(n));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const Rgba c = colourOf(x, y);
            const std::size_t at = icon::pixelOffset(n, x, y);
            pixels[at] = c.b, pixels[at + 1] = c.g, pixels[at + 2] = c.r, pixels[at + 3] = c.a;
        }
    const ByteBuffer file =
        icon::assembleIconFile(icon::headerTemplateFor(n), pixels, icon::maskTemplateFor(n));
    ASSERT_EQ(sniffFormat(file), PictureFormat::Ico);
    CollectSink sink;
    const DecodeResult r = decodeIco(file, sink);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(sink.complete());
    ASSERT_EQ(sink.width, n);
    ASSERT_EQ(sink.height, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            ASSERT_EQ(sink.argbAt(x, y), argb(colourOf(x, y))) << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(BothSizes, OwnIconTest, ::testing::Values(48, 16));

// Drawn in a picture box, transparent pixels show the background.
TEST(Ico, RendersTransparencyOverTheBackground) {
    const ByteBuffer file =
        singleEntry({40, 2, 1, 32}, {}, ByteBuffer{0, 0, 200, 0xFF, 9, 9, 9, 0}, ByteBuffer{0, 0, 0, 0});
    const Rendering r = renderPicture(file, 2, 1, {10, 20, 30});
    ASSERT_TRUE(r.drawn) << r.error;
    EXPECT_EQ(r.format, PictureFormat::Ico);
    EXPECT_EQ(r.image.pixel(0, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(r.image.pixel(1, 0), (Rgb{10, 20, 30}));
}

// One 1x1 24-bit entry: directory 22 bytes, then the DIB at 22 (header 40,
// colours 4, mask 4).
ByteBuffer validIco() { return singleEntry({40, 1, 1, 24}, {}, ByteBuffer{1, 2, 3, 0}, kNoMask1x1); }

constexpr std::size_t kDib = 22;
void setDibHeaderField(ByteBuffer& b, std::size_t at, std::uint32_t v) { set32(b, kDib + at, v); }

ByteBuffer manyEntriesOutsideTheFile() {
    ByteBuffer b;
    append16(b, 0), append16(b, 1), append16(b, 65535);
    for (int i = 0; i < 65535; ++i) {
        b.insert(b.end(), {48, 48, 0, 0});
        append16(b, 1), append16(b, 32), append32(b, 1000), append32(b, 0xFFFFFF00u);
    }
    return b;
}

std::vector<Spoiled> badIcos() {
    return {
        {"Empty", [](ByteBuffer& b) { b.clear(); }},
        {"DirectoryHeaderCut", [](ByteBuffer& b) { b.resize(5); }},
        {"ReservedNotZero", [](ByteBuffer& b) { b[0] = 1; }},
        {"TypeThree", [](ByteBuffer& b) { b[2] = 3; }},
        {"NoEntries", [](ByteBuffer& b) { b[4] = 0; }},
        {"DirectoryCut", [](ByteBuffer& b) { b[4] = 0xFF, b[5] = 0xFF; }},
        {"EntryOffsetPastEnd", [](ByteBuffer& b) { set32(b, 18, 5000); }},
        {"EntrySizePastEnd", [](ByteBuffer& b) { set32(b, 14, static_cast<std::uint32_t>(b.size())); }},
        {"EntryOffsetPlusSizeWraps", [](ByteBuffer& b) { set32(b, 18, 0xFFFFFFF0), set32(b, 14, 0x20); }},
        {"PngEntry", [](ByteBuffer& b) { b[22] = 0x89, b[23] = 'P', b[24] = 'N', b[25] = 'G'; }},
        {"DibHeaderSize66", [](ByteBuffer& b) { setDibHeaderField(b, 0, 66); }},
        {"DibHeaderBeyondEntry", [](ByteBuffer& b) { set32(b, 14, 20); }},
        // The entry's size is what bounds it, not the end of the file.
        {"ColoursBeyondEntry", [](ByteBuffer& b) { set32(b, 14, 42); }},
        {"HeightNegative", [](ByteBuffer& b) { setDibHeaderField(b, 8, static_cast<std::uint32_t>(-2)); }},
        {"HeightOne", [](ByteBuffer& b) { setDibHeaderField(b, 8, 1); }},
        {"HeightInt32Min", [](ByteBuffer& b) { setDibHeaderField(b, 8, 0x80000000); }},
        {"WidthZero", [](ByteBuffer& b) { setDibHeaderField(b, 4, 0); }},
        {"WidthInt32Max", [](ByteBuffer& b) { setDibHeaderField(b, 4, 0x7FFFFFFF); }},
        {"TwoToThe31Pixels", [](ByteBuffer& b) { setDibHeaderField(b, 4, 65535), setDibHeaderField(b, 8, 65538); }},
        {"HeightClaims65535Rows", [](ByteBuffer& b) { setDibHeaderField(b, 8, 2 * 65535); }},
        {"Bits16", [](ByteBuffer& b) { set16(b, kDib + 14, 16); }},
        {"Bits2", [](ByteBuffer& b) { set16(b, kDib + 14, 2); }},
        {"Rle8", [](ByteBuffer& b) { set16(b, kDib + 14, 8), setDibHeaderField(b, 16, 1); }},
        {"Bitfields32", [](ByteBuffer& b) { set16(b, kDib + 14, 32), setDibHeaderField(b, 16, 3); }},
        // 2^32 - 1 colours: the table would end far past the entry.
        {"ColorsUsedOverflow", [](ByteBuffer& b) { set16(b, kDib + 14, 8), setDibHeaderField(b, 32, 0xFFFFFFFF); }},
        // The last entry is shown, and it points outside the file.
        {"MaxEntriesAllOutside", [](ByteBuffer& b) { b = manyEntriesOutsideTheFile(); }},
    };
}

class BadIcoTest : public TestWithParam<Spoiled> {};

TEST_P(BadIcoTest, FailsWithAReasonAndDeliversNoRows) {
    ByteBuffer file = validIco();
    GetParam().spoil(file);
    expectRefusedBeforeAnyRow(decodeIco, file);
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadIcoTest, ::testing::ValuesIn(badIcos()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ico, ValidBaseOfTheMalformedTableDecodes) {
    CollectSink sink;
    ASSERT_TRUE(decodeIco(validIco(), sink).ok);
    EXPECT_EQ(sink.argbAt(0, 0), 0xFF030201u);
}


// ---- The third-party corpus ----

// Every file of the test data that is an ICO or CUR by name or by its first
// bytes runs through the decoder: a whole picture with the sink's contract
// kept, or a reason. The sanitizer build proves no read leaves the file.
TEST(IcoCorpus, EveryFileDecodesWholeOrIsRefusedWithAReason) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    sweepCorpus("ICO", decodeIco, [](const corpus::fs::path& path, ByteView bytes) {
        const std::string ext = corpus::lowerExtension(path);
        return ext == ".ico" || ext == ".cur" || sniffFormat(bytes) == PictureFormat::Ico;
    });
}

// Third-party icons whose outcome is a decision of ours.
struct IcoOutcome {
    const char* path;
    bool decodes;
};

class IcoCorpusOutcomeTest : public TestWithParam<IcoOutcome> {};

TEST_P(IcoCorpusOutcomeTest, DecodesOrRefusesAsDecided) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const IcoOutcome& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodeIco(corpus::readBytes(corpus::testdataDir() / c.path), sink);
    EXPECT_EQ(r.ok, c.decodes) << c.path << ": " << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, IcoCorpusOutcomeTest,
    ::testing::Values(
        // 32-bit with its AND mask cut short, or missing: alpha needs none.
        IcoOutcome{"image-rs/images/ico/images/truncated_mask_32bpp.ico", true},
        IcoOutcome{"serenityos/ico/malformed_maskless.ico", true},
        // The directory says 16x32, the DIB 16x16: the DIB is believed.
        IcoOutcome{"pillow/hopper_unexpected.ico", true},
        // PNG entries are not drawn.
        IcoOutcome{"serenityos/ico/multiple-sizes-with-same-bpp.ico", false},
        IcoOutcome{"pillow/hopper_draw.ico", false},
        // The entry's size (372 bytes) ends inside its colour bitmap.
        IcoOutcome{"image-rs/bad/ico/Bad_smile-incorrect-image-length.ico", false},
        // Entries 8 bytes long, shorter than the DIB header.
        IcoOutcome{"pillow/mask_1.cur", false},
        // A DIB claiming 65535 rows in 198 bytes.
        IcoOutcome{"pillow/decompression_bomb.ico", false}));

#ifdef YZICON_HAVE_QT
// Qt's reading of entry `index`, premultiplied: Qt keeps icons in that form,
// and comparing there makes colours under alpha 0 and Qt's rounding of
// nearly transparent colours not count.
QImage readEntryWithQt(const std::filesystem::path& path, std::size_t index) {
    QImageReader reader(QString::fromStdString(path.string()));
    if (!reader.jumpToImage(static_cast<int>(index))) return {};
    const QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Where Qt reads an entry differently, and why ours is the reading we want.
const std::map<std::string, const char*> kDiffersFromQt{
    {"commons-imaging/ico/1/Oregon Scientific DS6639 - DSC_0307 - small.ico",
     "300 wide: Qt takes the width from the directory byte (44); ours equals the BMP of the same picture"},
};

// On the entry we choose, wherever Qt also reads it, the pixels are Qt's.
TEST(IcoCorpus, ChosenEntryMatchesQtWhereBothDecode) {
    const auto files = corpus::testdataFiles({".ico", ".cur"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    int compared = 0;
    for (const auto& path : files) {
        const std::string name = corpus::relativeName(path);
        const ByteBuffer bytes = corpus::readBytes(path);
        CollectSink sink;
        IcoDirectoryEntry chosen;
        if (!decodeIco(bytes, sink).ok || !chooseIcoEntry(bytes, chosen).ok) continue;
        const QImage qt = readEntryWithQt(path, chosen.index);
        if (qt.isNull()) continue;
        long differing = 0;
        if (qt.width() != sink.width || qt.height() != sink.height) {
            differing = -1;
        } else {
            for (int y = 0; y < sink.height; ++y)
                for (int x = 0; x < sink.width; ++x)
                    differing += qt.pixel(x, y) != qPremultiply(sink.argbAt(x, y));
        }
        ++compared;
        EXPECT_EQ(differing != 0, kDiffersFromQt.count(name) == 1)
            << name << " entry " << chosen.index << ": " << differing << " pixels differ (-1: size)";
    }
    EXPECT_GE(compared, 10);
}
#endif

struct SameIcoPicture {
    const char* icon;
    const char* bmp;
};

class IcoSamePictureTest : public TestWithParam<SameIcoPicture> {};

// Icons holding the same pixels as a BMP: exactly equal, alpha included.
TEST_P(IcoSamePictureTest, DecodesToTheBmpPicture) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    CollectSink icon, bmp;
    ASSERT_TRUE(decodeIco(corpus::readBytes(corpus::testdataDir() / GetParam().icon), icon).ok);
    ASSERT_TRUE(decodeBmp(corpus::readBytes(corpus::testdataDir() / GetParam().bmp), bmp).ok);
    ASSERT_EQ(icon.width, bmp.width);
    ASSERT_EQ(icon.height, bmp.height);
    EXPECT_EQ(largestDifference(icon, bmp), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, IcoSamePictureTest,
    ::testing::Values(SameIcoPicture{"commons-imaging/ico/1/Oregon Scientific DS6639 - DSC_0307 - small.ico",
                                     "commons-imaging/bmp/1/Oregon Scientific DS6639 - DSC_0307 - small.bmp"},
                      SameIcoPicture{"wuffs/hippopotamus.regular.ico", "wuffs/hippopotamus.bmp"}));

}  // namespace
}  // namespace yz::imaging
