#pragma once

// A RowSink for decoder tests: keeps the whole picture so pixels can be
// probed, and records whether the decoder kept the sink's contract (begin()
// once before any row, each row 0..height-1 delivered exactly once, each the
// width announced).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/picture.h"

namespace yz::imaging::test {

// A pixel as one number 0xAARRGGBB, the layout of Qt's QRgb, so probes read
// as one literal and failures print one value.
inline std::uint32_t argb(Rgba p) {
    return static_cast<std::uint32_t>(p.a) << 24 | static_cast<std::uint32_t>(p.r) << 16 |
           static_cast<std::uint32_t>(p.g) << 8 | p.b;
}

class CollectSink final : public RowSink {
public:
    void begin(int w, int h) override {
        ++beginCalls;
        if (beginCalls != 1 || w <= 0 || h <= 0) {
            ++contractBreaks;
            return;
        }
        width = w;
        height = h;
        pixels.assign(static_cast<std::size_t>(w) * h, Rgba{0, 0, 0, 0});
        timesDelivered.assign(static_cast<std::size_t>(h), 0);
    }

    void row(int y, std::span<const Rgba> line) override {
        order.push_back(y);
        if (beginCalls != 1 || y < 0 || y >= height || line.size() != static_cast<std::size_t>(width)) {
            ++contractBreaks;
            return;
        }
        if (timesDelivered[y]++ != 0) ++contractBreaks;
        std::copy(line.begin(), line.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }

    // begin() came once and every row arrived exactly once, nothing else.
    bool complete() const {
        if (beginCalls != 1 || contractBreaks != 0) return false;
        for (int n : timesDelivered)
            if (n != 1) return false;
        return true;
    }

    Rgba at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t argbAt(int x, int y) const { return argb(at(x, y)); }

    int beginCalls = 0;
    int width = 0;
    int height = 0;
    int contractBreaks = 0;
    std::vector<Rgba> pixels;     // width * height, top row first
    std::vector<int> order;       // the y of every row() call, in call order
    std::vector<int> timesDelivered;
};

}  // namespace yz::imaging::test
