#include "imaging/render.h"

#include <algorithm>
#include <optional>

#include "imaging/decoders.h"

namespace yz::imaging {

namespace {

// Which target cells one source index overlaps along one axis, and by how
// much. Lengths are measured in units of 1/(source length * target length)
// of the whole axis, so every overlap is an exact integer: source pixel s
// spans [s*T, (s+1)*T) and target cell t spans [t*S, (t+1)*S). A target
// cell's weights then always add up to S.
class AxisMap {
public:
    AxisMap(int source, int target) : first_(static_cast<std::size_t>(source) + 1) {
        const std::uint64_t S = static_cast<std::uint64_t>(source);
        const std::uint64_t T = static_cast<std::uint64_t>(target);
        for (std::uint64_t s = 0; s < S; ++s) {
            first_[s] = static_cast<std::uint32_t>(cells_.size());
            const std::uint64_t lo = s * T, hi = (s + 1) * T;
            for (std::uint64_t t = lo / S; t < T && t * S < hi; ++t) {
                const std::uint64_t overlap = std::min(hi, (t + 1) * S) - std::max(lo, t * S);
                cells_.push_back({static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(overlap)});
            }
        }
        first_[S] = static_cast<std::uint32_t>(cells_.size());
    }

    struct Cell {
        std::uint32_t target;
        std::uint32_t weight;
    };
    std::span<const Cell> cellsOf(int s) const {
        return std::span<const Cell>(cells_).subspan(first_[s], first_[s + 1] - first_[s]);
    }

private:
    std::vector<std::uint32_t> first_;
    std::vector<Cell> cells_;
};

// Accumulates rows, in any order, into a fixed-size target. Sums are exact
// integers; each target pixel is rounded once at the end, so the result does
// not depend on the order the rows arrived in.
class AreaResampler final : public RowSink {
public:
    AreaResampler(int width, int height, Rgb background)
        : width_(width), height_(height), background_(background),
          sums_(static_cast<std::size_t>(width) * height * 3, 0),
          rowSums_(static_cast<std::size_t>(width) * 3, 0) {}

    void begin(int width, int height) override {
        if (!dimensionsAcceptable(width, height)) return;
        sourceWidth_ = width;
        sourceHeight_ = height;
        columns_.emplace(width, width_);
        rows_.emplace(height, height_);
    }

    void row(int y, std::span<const Rgba> pixels) override {
        if (!columns_ || y < 0 || y >= sourceHeight_ || pixels.size() != static_cast<std::size_t>(sourceWidth_))
            return;
        std::fill(rowSums_.begin(), rowSums_.end(), 0);
        for (int x = 0; x < sourceWidth_; ++x) {
            const Rgba p = pixels[x];
            // Composite over the background, kept scaled by 255 so that no
            // rounding happens before the final division.
            const std::uint64_t a = p.a, rest = 255 - p.a;
            const std::uint64_t r = p.r * a + background_.r * rest;
            const std::uint64_t g = p.g * a + background_.g * rest;
            const std::uint64_t b = p.b * a + background_.b * rest;
            for (const auto& cell : columns_->cellsOf(x)) {
                std::uint64_t* sum = &rowSums_[cell.target * 3];
                sum[0] += r * cell.weight;
                sum[1] += g * cell.weight;
                sum[2] += b * cell.weight;
            }
        }
        for (const auto& cell : rows_->cellsOf(y)) {
            std::uint64_t* out = &sums_[static_cast<std::size_t>(cell.target) * width_ * 3];
            for (std::size_t i = 0; i < rowSums_.size(); ++i) out[i] += rowSums_[i] * cell.weight;
        }
    }

    RgbImage finish() const {
        RgbImage image(width_, height_, background_);
        if (!columns_) return image;
        const std::uint64_t total = 255ull * static_cast<std::uint64_t>(sourceWidth_) * sourceHeight_;
        for (std::size_t i = 0; i < sums_.size(); ++i)
            image.rgb[i] = static_cast<std::uint8_t>((sums_[i] + total / 2) / total);
        return image;
    }

private:
    int width_, height_;
    Rgb background_;
    int sourceWidth_ = 0, sourceHeight_ = 0;
    std::optional<AxisMap> columns_, rows_;
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint64_t> rowSums_;
};

}  // namespace

RgbImage::RgbImage(int w, int h, Rgb fill) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = fill.r;
        rgb[i + 1] = fill.g;
        rgb[i + 2] = fill.b;
    }
}

Rgb RgbImage::pixel(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

Rendering renderPicture(ByteView file, int width, int height, Rgb background) {
    Rendering out;
    out.format = sniffFormat(file);
    if (width <= 0 || height <= 0) {
        out.error = "empty target";
        return out;
    }
    AreaResampler resampler(width, height, background);
    const DecodeResult result = decodePicture(file, resampler, width, height);
    if (result.ok) {
        out.image = resampler.finish();
        out.drawn = true;
    } else {
        out.image = RgbImage(width, height, background);
        out.error = result.error;
    }
    return out;
}

RgbImage resampleImage(const RgbImage& source, int width, int height) {
    AreaResampler resampler(width, height, kButtonFace);
    resampler.begin(source.width, source.height);
    std::vector<Rgba> line(static_cast<std::size_t>(source.width));
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const Rgb p = source.pixel(x, y);
            line[x] = {p.r, p.g, p.b, 255};
        }
        resampler.row(y, line);
    }
    return resampler.finish();
}

ByteBuffer snapshotBmp(const RgbImage& image) {
    auto put16 = [](std::uint8_t* p, std::uint32_t v) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::uint8_t* p, std::uint32_t v) {
        put16(p, v);
        put16(p + 2, v >> 16);
    };
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t dataSize = stride * image.height;
    ByteBuffer bmp(54 + dataSize, 0);
    std::uint8_t* h = bmp.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, static_cast<std::uint32_t>(bmp.size()));
    put32(h + 10, 54);
    put32(h + 14, 40);
    put32(h + 18, static_cast<std::uint32_t>(image.width));
    put32(h + 22, static_cast<std::uint32_t>(image.height));
    put16(h + 26, 1);
    put16(h + 28, 24);
    put32(h + 34, static_cast<std::uint32_t>(dataSize));
    for (int y = 0; y < image.height; ++y) {
        // Bottom row first.
        std::uint8_t* out = h + 54 + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const Rgb p = image.pixel(x, y);
            out[3 * x] = p.b;
            out[3 * x + 1] = p.g;
            out[3 * x + 2] = p.r;
        }
    }
    return bmp;
}

}  // namespace yz::imaging
