// Draws the application icon, a sailing boat on a round badge, and writes
// it as a 48x48 32-bit icon through the program's own templates: the same
// layout the program saves, alpha only 0 or 255, an all-zero mask.
//
//   yzicon_make_app_icon resources/yzicon.ico

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "icon/icon_layout.h"

namespace {

constexpr int kSize = 48;

struct Colour {
    int red, green, blue;
};

bool inTriangle(double px, double py, double ax, double ay, double bx, double by, double cx, double cy) {
    auto side = [](double x1, double y1, double x2, double y2, double x3, double y3) {
        return (x1 - x3) * (y2 - y3) - (x2 - x3) * (y1 - y3);
    };
    const double d1 = side(px, py, ax, ay, bx, by);
    const double d2 = side(px, py, bx, by, cx, cy);
    const double d3 = side(px, py, cx, cy, ax, ay);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

Colour mix(Colour a, Colour b, double t) {
    return {static_cast<int>(std::lround(a.red + (b.red - a.red) * t)),
            static_cast<int>(std::lround(a.green + (b.green - a.green) * t)),
            static_cast<int>(std::lround(a.blue + (b.blue - a.blue) * t))};
}

// The colour at pixel (x, y), top left (0, 0); false where the icon is
// transparent.
bool artwork(int x, int y, Colour& out) {
    const double px = x + 0.5, py = y + 0.5;
    const double dx = px - 24.0, dy = py - 24.0;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance > 23.0) return false;
    if (distance > 21.0) {  // ink-coloured rim
        out = {38, 42, 54};
        return true;
    }
    const double waterLine = 33.0 + 1.2 * std::sin(px * 0.55);
    if (py >= waterLine) {
        out = mix({24, 92, 160}, {12, 48, 96}, (py - 33.0) / 12.0);
        if (std::fabs(py - (38.5 + 1.0 * std::sin(px * 0.5 + 1.5))) < 0.6) out = {120, 180, 230};
        return true;
    }
    // Hull, mast and two sails over a dawn sky.
    if (py >= 29.0 && py < 34.0) {
        const double inset = (py - 29.0) * 0.9;
        if (px >= 11.0 + inset && px <= 37.0 - inset) {
            out = {96, 56, 28};
            return true;
        }
    }
    if (px >= 23.0 && px < 25.0 && py >= 8.0 && py < 29.0) {
        out = {70, 44, 24};
        return true;
    }
    if (inTriangle(px, py, 25.5, 9.0, 25.5, 28.0, 37.0, 28.0)) {
        out = {250, 246, 232};
        return true;
    }
    if (inTriangle(px, py, 22.5, 13.0, 22.5, 28.0, 13.0, 28.0)) {
        out = {226, 84, 60};
        return true;
    }
    out = mix({255, 214, 140}, {150, 200, 240}, std::clamp((33.0 - py) / 28.0, 0.0, 1.0));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    yz::ByteBuffer pixels(yz::icon::pixelBytesFor(kSize), 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour c{};
            const bool opaque = artwork(x, y, c);
            std::uint8_t* p = pixels.data() + yz::icon::pixelOffset(kSize, x, y);
            if (!opaque) continue;  // fully transparent, colour bytes 0
            p[0] = static_cast<std::uint8_t>(c.blue);
            p[1] = static_cast<std::uint8_t>(c.green);
            p[2] = static_cast<std::uint8_t>(c.red);
            p[3] = 255;
        }
    }
    const yz::ByteBuffer file = yz::icon::assembleIconFile(yz::icon::headerTemplateFor(kSize), pixels,
                                                           yz::icon::maskTemplateFor(kSize));
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
