// The JPEG decoder: colour spaces and codings libjpeg offers, DCT scaling
// toward the target size, damaged files refused, and the third-party JPEGs
// read exactly as Qt (itself built on the same libjpeg) reads them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/decoders.h"
#include "imaging/render.h"

namespace yz::imaging {
namespace {

using namespace test;

struct Encoding {
    J_COLOR_SPACE space = JCS_RGB;  // what the samples given are
    bool progressive = false;
    bool arithmetic = false;
    bool adobeMarker = true;  // libjpeg's default for CMYK
    int restartInterval = 0;
    int quality = 95;
    // One scan per DCT coefficient and component: legal, and far more
    // scans than any encoder writes.
    bool scanPerCoefficient = false;
};

using SampleFn = std::function<std::array<std::uint8_t, 4>(int x, int y)>;

// A JPEG made with libjpeg's compressor, so every case states its picture.
ByteBuffer encodeJpeg(int width, int height, const SampleFn& sample, const Encoding& e = {}) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.in_color_space = e.space;
    c.input_components = e.space == JCS_GRAYSCALE ? 1 : e.space == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, e.quality, TRUE);
    c.write_Adobe_marker = e.adobeMarker ? TRUE : FALSE;
    c.arith_code = e.arithmetic ? TRUE : FALSE;
    c.restart_interval = static_cast<unsigned>(e.restartInterval);
    std::vector<jpeg_scan_info> scans;
    if (e.progressive) jpeg_simple_progression(&c);
    if (e.scanPerCoefficient) {
        for (int comp = 0; comp < c.num_components; ++comp) {
            for (int k = 0; k < 64; ++k) {
                jpeg_scan_info s{};
                s.comps_in_scan = 1;
                s.component_index[0] = comp;
                s.Ss = s.Se = k;
                scans.push_back(s);
            }
        }
        c.scan_info = scans.data();
        c.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> line(static_cast<std::size_t>(width) * c.input_components);
    while (c.next_scanline < c.image_height) {
        const int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < width; ++x) {
            const auto s = sample(x, y);
            for (int k = 0; k < c.input_components; ++k) line[static_cast<std::size_t>(x) * c.input_components + k] = s[k];
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    ByteBuffer bytes(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

// Left half red, right half blue: wide flat areas that survive compression.
const SampleFn kRedBlue = [](int x, int) -> std::array<std::uint8_t, 4> {
    return x < 16 ? std::array<std::uint8_t, 4>{255, 0, 0, 0} : std::array<std::uint8_t, 4>{0, 0, 255, 0};
};
// Grey 40 above, 200 below.
const SampleFn kGreySteps = [](int, int y) -> std::array<std::uint8_t, 4> {
    return {static_cast<std::uint8_t>(y < 8 ? 40 : 200), 0, 0, 0};
};
// Red on the left, blue on the right, as Adobe stores CMYK: inverted, 255
// meaning no ink.
const SampleFn kInvertedCmykRedBlue = [](int x, int) -> std::array<std::uint8_t, 4> {
    return x < 16 ? std::array<std::uint8_t, 4>{255, 0, 0, 255} : std::array<std::uint8_t, 4>{0, 0, 255, 255};
};
// The same in plain ink amounts.
const SampleFn kPlainCmykRedBlue = [](int x, int) -> std::array<std::uint8_t, 4> {
    return x < 16 ? std::array<std::uint8_t, 4>{0, 255, 255, 0} : std::array<std::uint8_t, 4>{255, 255, 0, 0};
};

ByteBuffer redBlue(Encoding e = {}) { return encodeJpeg(32, 16, kRedBlue, e); }

// The offset of the first byte after marker FF `code`, or 0.
std::size_t afterMarker(const ByteBuffer& b, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == code) return i + 2;
    return 0;
}

// SOF0 after its marker: length(2) precision(1) height(2) width(2).
ByteBuffer withFrame(ByteBuffer b, int precision, int width, int height) {
    const std::size_t at = afterMarker(b, 0xC0);
    b[at + 2] = static_cast<std::uint8_t>(precision);
    b[at + 3] = static_cast<std::uint8_t>(height >> 8);
    b[at + 4] = static_cast<std::uint8_t>(height);
    b[at + 5] = static_cast<std::uint8_t>(width >> 8);
    b[at + 6] = static_cast<std::uint8_t>(width);
    return b;
}

// The first `count` restart markers renumbered, so each is out of sequence
// and libjpeg has to resynchronise, warning each time.
ByteBuffer withScrambledRestarts(ByteBuffer b, int count) {
    for (std::size_t i = afterMarker(b, 0xDA); i + 1 < b.size() && count > 0; ++i) {
        if (b[i] == 0xFF && b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7) {
            b[i + 1] = static_cast<std::uint8_t>(0xD0 + (b[i + 1] - 0xD0 + 3) % 8);
            --count;
        }
    }
    return b;
}

ByteBuffer cut(ByteBuffer b, std::size_t keep) {
    b.resize(keep);
    return b;
}

struct Probe {
    int x, y;
    std::uint32_t argb;
};

struct GoodJpeg {
    const char* name;
    std::function<ByteBuffer()> make;
    int width, height;
    std::vector<Probe> probes;
};

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

std::vector<GoodJpeg> goodJpegs() {
    const std::vector<Probe> redBlueProbes{{3, 8, kRed}, {28, 8, kBlue}};
    return {
        {"Baseline", [] { return redBlue(); }, 32, 16, redBlueProbes},
        {"Progressive", [] { return redBlue({.progressive = true}); }, 32, 16, redBlueProbes},
        {"ArithmeticCoded", [] { return redBlue({.arithmetic = true}); }, 32, 16, redBlueProbes},
        {"RestartEveryMcu", [] { return redBlue({.restartInterval = 1}); }, 32, 16, redBlueProbes},
        {"Greyscale", [] { return encodeJpeg(16, 16, kGreySteps, {.space = JCS_GRAYSCALE}); }, 16, 16,
         {{8, 2, 0xFF282828}, {8, 13, 0xFFC8C8C8}}},
        {"CmykAdobeInverted", [] { return encodeJpeg(32, 16, kInvertedCmykRedBlue, {.space = JCS_CMYK}); }, 32, 16,
         redBlueProbes},
        {"CmykWithoutAdobeMarker",
         [] { return encodeJpeg(32, 16, kPlainCmykRedBlue, {.space = JCS_CMYK, .adobeMarker = false}); }, 32, 16,
         redBlueProbes},
        // 64 scans of a grey picture, one per coefficient: many, but still
        // a picture real files could be.
        {"SixtyFourScans",
         [] { return encodeJpeg(16, 16, kGreySteps, {.space = JCS_GRAYSCALE, .scanPerCoefficient = true}); }, 16, 16,
         {{8, 2, 0xFF282828}, {8, 13, 0xFFC8C8C8}}},
        // One damaged restart interval costs a block or two, not the picture.
        {"OneRestartMarkerOutOfSequence",
         [] { return withScrambledRestarts(encodeJpeg(128, 128, kRedBlue, {.restartInterval = 1}), 1); }, 128, 128,
         {{3, 120, kRed}, {120, 120, kBlue}}},
        // Every pixel is there, only the end marker is missing.
        {"BaselineWithoutEndMarker", [] { const ByteBuffer b = redBlue(); return cut(b, b.size() - 2); }, 32, 16,
         redBlueProbes},
        {"ProgressiveWithoutEndMarker",
         [] { const ByteBuffer b = redBlue({.progressive = true}); return cut(b, b.size() - 2); }, 32, 16, redBlueProbes},
        // Some writers pad between segments; libjpeg skips the bytes with a
        // warning, which must not cost the picture.
        {"JunkBetweenSegments",
         [] {
             ByteBuffer b = redBlue();
             // Just before the second marker (after SOI's FF D8 comes APP0).
             b.insert(b.begin() + 2, {0x00, 0x12, 0x34, 0x00});
             return b;
         },
         32, 16, redBlueProbes},
    };
}

// Lossy coding moves flat colours a little; a probe only has to be near.
bool near(std::uint32_t a, std::uint32_t b, int tolerance = 6) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

class GoodJpegTest : public ::testing::TestWithParam<GoodJpeg> {};

TEST_P(GoodJpegTest, DecodesEveryRowAndTheProbedColours) {
    const GoodJpeg& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodeJpeg(c.make(), sink);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    ASSERT_EQ(sink.width, c.width);
    ASSERT_EQ(sink.height, c.height);
    for (const Probe& p : c.probes)
        EXPECT_TRUE(near(sink.argbAt(p.x, p.y), p.argb))
            << "at " << p.x << "," << p.y << ": " << std::hex << sink.argbAt(p.x, p.y) << " vs " << p.argb;
}

INSTANTIATE_TEST_SUITE_P(Codings, GoodJpegTest, ::testing::ValuesIn(goodJpegs()),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadJpeg {
    const char* name;
    std::function<ByteBuffer()> make;
};

std::vector<BadJpeg> badJpegs() {
    return {
        {"Empty", [] { return ByteBuffer{}; }},
        {"StartMarkerOnly", [] { return ByteBuffer{0xFF, 0xD8}; }},
        {"NotAJpeg", [] { return ByteBuffer{'B', 'M', 0, 0, 0, 0}; }},
        {"CutInTheScanData", [] { const ByteBuffer b = redBlue(); return cut(b, b.size() * 3 / 4); }},
        {"CutInTheHeader", [] { return cut(redBlue(), 40); }},
        // An arithmetic decoder fills a missing tail with zeros without a
        // word, so for arithmetic coding running out of data is damage even
        // when only the end marker is missing.
        {"ArithmeticWithoutEndMarker",
         [] { const ByteBuffer b = redBlue({.arithmetic = true}); return cut(b, b.size() - 2); }},
        {"ProgressiveCut", [] { const ByteBuffer b = redBlue({.progressive = true}); return cut(b, b.size() * 3 / 4); }},
        {"TwelveBitSamples", [] { return withFrame(redBlue(), 12, 32, 16); }},
        {"ZeroWidth", [] { return withFrame(redBlue(), 8, 0, 16); }},
        // 60000 x 60000 is within libjpeg's own limit but not within ours.
        {"HugeSizeClaim", [] { return withFrame(redBlue(), 8, 60000, 60000); }},
        {"RestartMarkersOutOfSequence",
         [] { return withScrambledRestarts(encodeJpeg(128, 128, kRedBlue, {.restartInterval = 1}), 1000); }},
        {"ScanPerCoefficientInColour",
         [] { return encodeJpeg(16, 16, kRedBlue, {.scanPerCoefficient = true}); }},
    };
}

class BadJpegTest : public ::testing::TestWithParam<BadJpeg> {};

TEST_P(BadJpegTest, FailsWithAReason) {
    CollectSink sink;
    const DecodeResult r = decodeJpeg(GetParam().make(), sink);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadJpegTest, ::testing::ValuesIn(badJpegs()),
                         [](const auto& info) { return std::string(info.param.name); });

// A JPEG too big to keep in the repository, made once: 2000 x 1600 of a
// smooth gradient.
const ByteBuffer& largeJpeg() {
    static const ByteBuffer bytes = encodeJpeg(2000, 1600, [](int x, int y) -> std::array<std::uint8_t, 4> {
        return {static_cast<std::uint8_t>(x * 255 / 1999), static_cast<std::uint8_t>(y * 255 / 1599), 128, 0};
    }, {.quality = 75});
    return bytes;
}

struct ScaleCase {
    int targetWidth, targetHeight;
    int width, height;  // what libjpeg must deliver
};

class JpegScaleTest : public ::testing::TestWithParam<ScaleCase> {};

// The picture box asks for its own size; libjpeg then decodes at the
// smallest eighth that still covers it, through the same entry point the
// picture box uses.
TEST_P(JpegScaleTest, DecodesAtTheSmallestEighthCoveringTheTarget) {
    const ScaleCase& c = GetParam();
    CollectSink sink;
    const DecodeResult r = decodePicture(largeJpeg(), sink, c.targetWidth, c.targetHeight);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sink.complete());
    EXPECT_EQ(sink.width, c.width);
    EXPECT_EQ(sink.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(Targets, JpegScaleTest,
                         ::testing::Values(ScaleCase{128, 128, 250, 200},  // the picture box: 1/8
                                           ScaleCase{1, 1, 250, 200},
                                           ScaleCase{250, 200, 250, 200},
                                           ScaleCase{251, 10, 500, 400},  // one pixel more: 2/8
                                           ScaleCase{10, 201, 500, 400},
                                           ScaleCase{1500, 10, 1500, 1200},  // 6/8
                                           ScaleCase{2000, 1600, 2000, 1600},
                                           ScaleCase{4000, 4000, 2000, 1600},  // never enlarged
                                           ScaleCase{0, 0, 2000, 1600}));     // 0: full size

TEST(JpegScale, RenderedPictureKeepsTheGradient) {
    const Rendering out = renderPicture(largeJpeg(), 128, 128);
    ASSERT_TRUE(out.drawn) << out.error;
    // Red grows to the right, green downwards, blue stays 128.
    EXPECT_LT(out.image.pixel(2, 64).r, 16);
    EXPECT_GT(out.image.pixel(125, 64).r, 240);
    EXPECT_LT(out.image.pixel(64, 2).g, 16);
    EXPECT_GT(out.image.pixel(64, 125).g, 240);
    EXPECT_NEAR(out.image.pixel(64, 64).b, 128, 3);
}

// Third-party files whose outcome is a decision of ours.
struct CorpusOutcome {
    const char* path;
    bool decodes;
};

class JpegCorpusOutcomeTest : public ::testing::TestWithParam<CorpusOutcome> {};

TEST_P(JpegCorpusOutcomeTest, DecodesOrRefusesAsDecided) {
    if (!corpus::haveTestdata()) GTEST_SKIP() << "no test data folder";
    const CorpusOutcome& c = GetParam();
    corpus::CorpusSink sink;
    const DecodeResult r = decodeJpeg(corpus::readBytes(corpus::testdataDir() / c.path), sink);
    EXPECT_EQ(r.ok, c.decodes) << c.path << ": " << r.error;
    if (r.ok) {
        EXPECT_TRUE(sink.complete());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Testdata, JpegCorpusOutcomeTest,
    ::testing::Values(CorpusOutcome{"libjpeg-turbo/testimgari.jpg", true},  // arithmetic coding
                      CorpusOutcome{"libjpeg-turbo/monkey12.jpg", false},   // 12-bit samples
                      CorpusOutcome{"serenityos/jpg/12-bit.jpg", false},
                      CorpusOutcome{"serenityos/jpg/12-bit-progressive.jpg", false},
                      CorpusOutcome{"pillow/pil_sample_cmyk.jpg", true},
                      CorpusOutcome{"serenityos/jpg/ycck-2112.jpg", true},
                      CorpusOutcome{"commons-imaging/jpg/4/0x00-to-0xFF-between-segments.jpg", true},
                      CorpusOutcome{"serenityos/jpg/random_bytes_between_segments.jpg", true},
                      CorpusOutcome{"jpeg-decoder/crashtest/images/max_size.jpg", false},
                      // Cut in the middle of its end marker: every pixel is there.
                      CorpusOutcome{"pillow/truncated_jpeg.jpg", true},
                      CorpusOutcome{"wuffs/peacock.default.truncated.jpeg", false},
                      CorpusOutcome{"wuffs/peacock.progressive.truncated.jpeg", false},
                      CorpusOutcome{"wuffs/peacock.progressive.scan003.jpeg", true}));  // incomplete but closed

// Every JPEG of the test data: no crash, the sink's contract kept, and
// wherever both decode, exactly Qt's pixels. Qt reads through the system
// libjpeg with the same defaults (islow DCT, fancy upsampling) and turns
// inverted CMYK into RGB with the same arithmetic, so there is nothing to
// tolerate. Qt shows cut-off files partially; we refuse those, and only
// those may differ in outcome.
TEST(JpegCorpus, EveryFileDecodesLikeQtOrIsRefused) {
    const auto files = corpus::testdataFiles({".jpg", ".jpeg"});
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    int decoded = 0;
    for (const auto& path : files) {
        const std::string name = corpus::relativeName(path);
        corpus::CorpusSink sink;
        const DecodeResult r = decodeJpeg(corpus::readBytes(path), sink);
#ifdef YZICON_HAVE_QT
        const QImage qt = corpus::readWithQt(path);
#endif
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty()) << name;
#ifdef YZICON_HAVE_QT
            if (!qt.isNull()) {
                EXPECT_NE(r.error.find("Premature end"), std::string::npos) << name << ": " << r.error;
            }
#endif
            continue;
        }
        ++decoded;
        EXPECT_TRUE(sink.complete()) << name;
#ifdef YZICON_HAVE_QT
        ASSERT_FALSE(qt.isNull()) << name << ": we decode it, Qt does not";
        ASSERT_EQ(qt.width(), sink.width) << name;
        ASSERT_EQ(qt.height(), sink.height) << name;
        const auto d = corpus::compareWithQt(sink.picture, qt, {0, 0, sink.width, sink.height});
        EXPECT_EQ(d.pixels, 0) << name << ": largest difference " << d.largest << ", first at " << d.firstX << ","
                               << d.firstY;
#endif
    }
    EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace yz::imaging
