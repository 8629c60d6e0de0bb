// The icon file layout, the state operations and the keying rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_state.h"
#include "icon/generation.h"
#include "icon/icon_layout.h"
#include "icon/keying.h"

namespace yz {
namespace {

std::uint32_t le32(const ByteBuffer& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct SizeCase {
    int size;
    std::size_t fileLength, pixelLength, maskLength, bytesInRes;
};

class IconLayoutTest : public testing::TestWithParam<SizeCase> {};

// The header is copied, never computed: its fields must agree with the
// lengths the file really has, or other readers reject the icon.
TEST_P(IconLayoutTest, AssembledFileMatchesItsHeader) {
    const SizeCase c = GetParam();
    AppState state;
    selectIconSize(state, c.size);
    state.pixelBuffer.assign(c.pixelLength, 0x7F);
    assembleIcon(state);
    const ByteBuffer& f = state.iconBytes;
    ASSERT_EQ(f.size(), c.fileLength);
    EXPECT_EQ(f[6], c.size);
    EXPECT_EQ(f[7], c.size);
    EXPECT_EQ(le32(f, 14), c.bytesInRes);
    EXPECT_EQ(le32(f, 14), f.size() - 22);
    EXPECT_EQ(le32(f, 18), 22u);
    EXPECT_EQ(le32(f, 30), 2u * c.size);
    EXPECT_EQ(le32(f, 42), c.pixelLength);
    EXPECT_TRUE(std::all_of(f.end() - c.maskLength, f.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(icon::iconFileLength(c.size), c.fileLength);
}

INSTANTIATE_TEST_SUITE_P(BothSizes, IconLayoutTest,
                         testing::Values(SizeCase{48, 9662, 9216, 384, 9640}, SizeCase{16, 1150, 1024, 64, 1128}));

TEST(IconLayout, BottomLeftPixelComesFirstAndTopRightLast) {
    EXPECT_EQ(icon::pixelOffset(48, 0, 47), 0u);
    EXPECT_EQ(icon::pixelOffset(48, 47, 0), 9212u);
    EXPECT_EQ(icon::pixelOffset(48, 0, 0), 9024u);
    EXPECT_EQ(icon::pixelOffset(16, 15, 15), 60u);
}

TEST(AppStateOps, SelectIconSizeTouchesOnlyTheTemplatesAndSize) {
    AppState state;
    selectIconSize(state, 48);
    state.pixelBuffer.assign(9216, 1);
    assembleIcon(state);
    const ByteBuffer icon = state.iconBytes;
    selectIconSize(state, 16);
    selectIconSize(state, 16);
    EXPECT_EQ(state.iconSize, 16);
    EXPECT_EQ(state.headerTemplate, ByteBuffer(icon::iconHeader16.begin(), icon::iconHeader16.end()));
    EXPECT_EQ(state.maskTemplate.size(), 64u);
    EXPECT_EQ(state.pixelBuffer.size(), 9216u);
    EXPECT_EQ(state.iconBytes, icon);
}

// Pixels generated at 48 and edited after the option was switched to 16
// must still be framed by the 48x48 header.
TEST(AppStateOps, AssemblyFollowsTheSizeThePixelsWereMadeAt) {
    AppState state;
    selectIconSize(state, 48);
    ASSERT_TRUE(storeGeneration(state, ByteBuffer(54 + 3 * 48 * 48, 9), true));
    selectIconSize(state, 16);
    assembleIcon(state);
    EXPECT_EQ(state.iconBytes.size(), 9662u);
    EXPECT_EQ(state.iconBytes[6], 48);
}

TEST(AppStateOps, ShortSnapshotChangesNothing) {
    AppState state;
    selectIconSize(state, 48);
    state.keyColour = {1, 2, 3};
    for (std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{54 + 3 * 48 * 48 - 1}}) {
        EXPECT_FALSE(storeGeneration(state, ByteBuffer(length, 200), true));
        EXPECT_TRUE(state.pixelBuffer.empty());
        EXPECT_TRUE(state.iconBytes.empty());
        EXPECT_TRUE(state.snapshotBytes.empty());
        EXPECT_EQ(state.keyColour, (icon::KeyColour{1, 2, 3}));
    }
}

struct KeyCase {
    const char* name;
    int blue, green, red;
    icon::KeyColour key;
    int tolerance;
    bool transparent;
};

class KeyingTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyingTest, AlphaFollowsInclusiveBoundsOnEveryChannel) {
    const KeyCase c = GetParam();
    ByteBuffer snapshot(54, 0);
    snapshot.insert(snapshot.end(), {static_cast<std::uint8_t>(c.blue), static_cast<std::uint8_t>(c.green),
                                     static_cast<std::uint8_t>(c.red)});
    const auto keyed = icon::keyPixels(snapshot, c.key, c.tolerance, false);
    ASSERT_EQ(keyed.pixels.size(), 4u);
    EXPECT_EQ(keyed.pixels[0], c.blue);
    EXPECT_EQ(keyed.pixels[1], c.green);
    EXPECT_EQ(keyed.pixels[2], c.red);
    EXPECT_EQ(keyed.pixels[3], c.transparent ? 0 : 255);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyingTest,
    testing::Values(KeyCase{"blue_minus_35", 220, 255, 255, {255, 255, 255}, 35, true},
                    KeyCase{"blue_minus_36", 219, 255, 255, {255, 255, 255}, 35, false},
                    KeyCase{"red_plus_36_only", 255, 255, 219, {255, 255, 255}, 35, false},
                    KeyCase{"plus_and_minus_35", 135, 65, 100, {100, 100, 100}, 35, true},
                    KeyCase{"green_plus_36", 100, 136, 100, {100, 100, 100}, 35, false},
                    KeyCase{"picked_red_keys_red", 0, 0, 255, {0, 0, 255}, 35, true},
                    KeyCase{"picked_red_keeps_blue", 255, 0, 0, {0, 0, 255}, 35, false},
                    KeyCase{"tolerance_0_keeps_the_key", 7, 8, 9, {7, 8, 9}, 0, false},
                    KeyCase{"tolerance_100", 0, 0, 0, {100, 100, 100}, 100, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Keying, AutomaticKeyIsTheLastPixelAndPartialPixelsAreIgnored) {
    ByteBuffer snapshot(54, 0);
    snapshot.insert(snapshot.end(), {10, 20, 30, 11, 21, 31, 99});
    auto keyed = icon::keyPixels(snapshot, {0, 0, 0}, 1, true);
    // The trailing byte makes the key come from bytes L-3..L-1, even though
    // only two whole pixels are keyed.
    EXPECT_EQ(keyed.key, (icon::KeyColour{21, 31, 99}));
    ASSERT_EQ(keyed.pixels.size(), 8u);
    snapshot.pop_back();
    keyed = icon::keyPixels(snapshot, {0, 0, 0}, 1, true);
    EXPECT_EQ(keyed.key, (icon::KeyColour{11, 21, 31}));
    EXPECT_EQ(keyed.pixels[3], 0);  // within 1 of (11,21,31)
    EXPECT_EQ(keyed.pixels[7], 0);
    keyed = icon::keyPixels(snapshot, {0, 0, 0}, 1, false);
    EXPECT_EQ(keyed.key, (icon::KeyColour{0, 0, 0}));
    EXPECT_EQ(keyed.pixels[7], 255);
}

TEST(Keying, SnapshotShorterThanItsHeaderGivesNoPixels) {
    EXPECT_TRUE(icon::keyPixels(ByteBuffer(53, 1), {}, 35, true).pixels.empty());
    EXPECT_TRUE(icon::keyPixels(ByteBuffer{}, {}, 35, true).pixels.empty());
}

}  // namespace
}  // namespace yz
