#pragma once

// Colours as the windows hand them around: 32-bit values laid out 0x00BBGGRR
// (bytes red, green, blue, 0 in memory), plus the toolkit's "default colour"
// value, which a background paints in the button-face colour.

#include <QColor>
#include <cstdint>

namespace yz::ui {

using ColourRef = std::uint32_t;

inline constexpr ColourRef kDefaultColour = 0xFF000000u;

// The button-face colour every window, control background and picture box
// fill uses. It must match imaging::kButtonFace, or the program's snapshots
// would differ from the converter's.
inline constexpr QRgb kButtonFaceRgb = 0xFFF0F0F0u;

constexpr ColourRef colourRef(int red, int green, int blue) {
    return static_cast<ColourRef>(red & 0xFF) | static_cast<ColourRef>(green & 0xFF) << 8 |
           static_cast<ColourRef>(blue & 0xFF) << 16;
}
constexpr int redOf(ColourRef c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColourRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColourRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// kDefaultColour becomes the button face; any other value its three bytes.
inline QColor toQColor(ColourRef c) {
    if (c == kDefaultColour) return QColor::fromRgb(kButtonFaceRgb);
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

inline ColourRef fromQColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return colourRef(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace yz::ui
