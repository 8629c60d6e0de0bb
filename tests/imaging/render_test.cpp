// Averaging, the snapshot image and format sniffing.
#include <gtest/gtest.h>

#include "imaging/render.h"

namespace yz::imaging {
namespace {

RgbImage grey(int w, int h, std::initializer_list<int> values) {
    RgbImage image(w, h, {0, 0, 0});
    std::size_t i = 0;
    for (int v : values) {
        image.rgb[i++] = static_cast<std::uint8_t>(v);
        image.rgb[i++] = static_cast<std::uint8_t>(v);
        image.rgb[i++] = static_cast<std::uint8_t>(v);
    }
    return image;
}

// Each target pixel of a 3x3 to 2x2 reduction covers one whole source pixel,
// two halves and a quarter: weights 1, .5, .5, .25 over 2.25.
TEST(Resample, ThreeByThreeIntoTwoByTwoUsesAreaWeights) {
    const RgbImage out = resampleImage(grey(3, 3, {0, 90, 180, 90, 180, 255, 180, 255, 0}), 2, 2);
    EXPECT_EQ(out.pixel(0, 0).r, 60);   // (0 + 45 + 45 + 45) / 2.25
    EXPECT_EQ(out.pixel(1, 0).r, 177);  // (45 + 180 + 45 + 127.5) / 2.25 = 176.7
    EXPECT_EQ(out.pixel(0, 1).r, 177);
    EXPECT_EQ(out.pixel(1, 1).r, 133);  // (45 + 127.5 + 127.5 + 0) / 2.25 = 133.3
}

TEST(Resample, SameSizeIsIdentityAndIntegerEnlargementRepeatsPixels) {
    const RgbImage source = grey(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(resampleImage(source, 2, 2).rgb, source.rgb);
    const RgbImage big = resampleImage(source, 6, 6);
    EXPECT_EQ(big.pixel(2, 2).r, 1);
    EXPECT_EQ(big.pixel(3, 0).r, 2);
    EXPECT_EQ(big.pixel(0, 5).r, 3);
    EXPECT_EQ(big.pixel(5, 5).r, 4);
}

TEST(Snapshot, BmpImageIsBottomUpWithPaddedRows) {
    RgbImage image(3, 2, {0, 0, 0});
    image.rgb[0] = 1;                // top-left red
    image.rgb[(1 * 3 + 2) * 3 + 2] = 9;  // bottom-right blue
    const ByteBuffer bmp = snapshotBmp(image);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[2], bmp.size());
    EXPECT_EQ(bmp[10], 54);
    EXPECT_EQ(bmp[14], 40);
    EXPECT_EQ(bmp[18], 3);
    EXPECT_EQ(bmp[22], 2);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(bmp[34], 24);
    EXPECT_EQ(bmp[54 + 6], 9);        // bottom row first, pixel 2, blue byte
    EXPECT_EQ(bmp[54 + 12 + 2], 1);   // top row second, pixel 0, red byte
}

TEST(Render, UndecodableBytesGiveTheBackgroundAlone) {
    const ByteBuffer junk{'P', 'N', 'G', 0, 1, 2};
    const Rendering r = renderPicture(junk, 4, 3, {1, 2, 3});
    EXPECT_FALSE(r.drawn);
    EXPECT_FALSE(r.error.empty());
    ASSERT_EQ(r.image.rgb.size(), 36u);
    EXPECT_EQ(r.image.pixel(3, 2), (Rgb{1, 2, 3}));
}

TEST(Sniff, FormatsAreKnownByTheirFirstBytes) {
    EXPECT_EQ(sniffFormat(ByteBuffer{'B', 'M'}), PictureFormat::Bmp);
    EXPECT_EQ(sniffFormat(ByteBuffer{0xFF, 0xD8, 0xFF}), PictureFormat::Jpeg);
    EXPECT_EQ(sniffFormat(ByteBuffer{0, 0, 1, 0, 1, 0}), PictureFormat::Ico);
    EXPECT_EQ(sniffFormat(ByteBuffer{0, 0, 2, 0, 3, 0}), PictureFormat::Ico);
    EXPECT_EQ(sniffFormat(ByteBuffer{0, 0, 1, 0, 0, 0}), PictureFormat::Unknown);
    EXPECT_EQ(sniffFormat(ByteBuffer{'G', 'I', 'F', '8', '9', 'a'}), PictureFormat::Gif);
    ByteBuffer pcx(128, 0);
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8;
    EXPECT_EQ(sniffFormat(pcx), PictureFormat::Pcx);
    EXPECT_EQ(sniffFormat(ByteBuffer{'B'}), PictureFormat::Unknown);
    EXPECT_EQ(sniffFormat(ByteBuffer{}), PictureFormat::Unknown);
}

}  // namespace
}  // namespace yz::imaging
