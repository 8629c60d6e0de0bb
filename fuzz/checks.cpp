#include "checks.h"

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "icon/generation.h"
#include "icon/icon_layout.h"
#include "imaging/decoders.h"
#include "imaging/render.h"

namespace yz::fuzz {

namespace {

using imaging::DecodeResult;
using imaging::Rgba;

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

class ContractSink final : public imaging::RowSink {
public:
    void begin(int width, int height) override {
        if (began_) return note("begin() called a second time");
        began_ = true;
        if (!imaging::dimensionsAcceptable(width, height))
            return note("begin() announced " + sizeText(width, height) + ", beyond the size limits");
        width_ = width;
        height_ = height;
        seen_.assign(static_cast<std::size_t>(height), false);
    }

    void row(int y, std::span<const Rgba> pixels) override {
        if (!began_) return note("row() before begin()");
        if (width_ == 0) return;  // begin() was already refused above
        if (y < 0 || y >= height_) return note("row " + std::to_string(y) + " outside 0.." + std::to_string(height_ - 1));
        if (pixels.size() != static_cast<std::size_t>(width_))
            return note("row " + std::to_string(y) + " has " + std::to_string(pixels.size()) + " pixels, not " +
                        std::to_string(width_));
        if (seen_[y]) return note("row " + std::to_string(y) + " delivered twice");
        seen_[y] = true;
        ++rows_;
        // Touch every pixel, so a span that runs past the decoder's buffer is
        // caught by AddressSanitizer here rather than going unnoticed.
        for (const Rgba& p : pixels) digest_ = digest_ * 31 + p.r + (p.g << 8) + (p.b << 16) + (p.a << 24);
    }

    std::string verdict(const DecodeResult& result) const {
        if (!problem_.empty()) return problem_;
        if (!result.ok) return result.error.empty() ? "failed without saying why" : std::string();
        if (!result.error.empty()) return "succeeded but carries an error: " + result.error;
        if (!began_) return "succeeded without calling begin()";
        if (rows_ != height_)
            return "succeeded after " + std::to_string(rows_) + " of " + std::to_string(height_) + " rows";
        return {};
    }

    std::uint64_t digest() const { return digest_; }

private:
    void note(std::string what) {
        if (problem_.empty()) problem_ = std::move(what);
    }

    bool began_ = false;
    int width_ = 0, height_ = 0, rows_ = 0;
    std::vector<bool> seen_;
    std::uint64_t digest_ = 0;
    std::string problem_;
};

template <typename Decode>
std::string checkDecode(ByteView file, Decode decode) {
    ContractSink sink;
    const DecodeResult result = decode(file, sink);
    return sink.verdict(result);
}

// Sizes a picture is drawn at in the program, plus odd ones that make the
// resampler's cells uneven; 0 asks the JPEG decoder for full size.
constexpr int kJpegTargets[] = {128, 128, 48, 16, 1, 3, 127, 300, 1000, 0};

}  // namespace

std::uint64_t inputHash(ByteView file) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint8_t b : file) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

std::string checkDecodeBmp(ByteView file) { return checkDecode(file, imaging::decodeBmp); }
std::string checkDecodeIco(ByteView file) { return checkDecode(file, imaging::decodeIco); }
std::string checkDecodeGif(ByteView file) { return checkDecode(file, imaging::decodeGif); }
std::string checkDecodePcx(ByteView file) { return checkDecode(file, imaging::decodePcx); }

std::string checkDecodeJpeg(ByteView file) {
    const std::uint64_t h = inputHash(file);
    constexpr std::size_t count = std::size(kJpegTargets);
    const int width = kJpegTargets[h % count], height = kJpegTargets[(h >> 8) % count];
    return checkDecode(file, [&](ByteView f, imaging::RowSink& sink) {
        return imaging::decodeJpeg(f, sink, width, height);
    });
}

std::string checkRender(ByteView file) {
    const std::uint64_t h = inputHash(file);
    const imaging::Rgb background{static_cast<std::uint8_t>(h >> 40), static_cast<std::uint8_t>(h >> 48),
                                  static_cast<std::uint8_t>(h >> 56)};
    const int sizes[2][2] = {{1 + static_cast<int>(h % 160), 1 + static_cast<int>((h >> 8) % 160)},
                             {1 + static_cast<int>((h >> 16) % 8), 1 + static_cast<int>((h >> 24) % 8)}};
    for (const auto& size : sizes) {
        const int w = size[0], hgt = size[1];
        const imaging::Rendering out = imaging::renderPicture(file, w, hgt, background);
        const std::string at = " at " + sizeText(w, hgt);
        if (out.image.width != w || out.image.height != hgt ||
            out.image.rgb.size() != static_cast<std::size_t>(w) * hgt * 3)
            return "rendering is " + sizeText(out.image.width, out.image.height) + at;
        if (out.format != imaging::sniffFormat(file)) return "rendering reports another format" + at;
        if (out.drawn != out.error.empty()) return "drawn and error disagree" + at + ": " + out.error;
        if (!out.drawn) {
            for (int y = 0; y < hgt; ++y)
                for (int x = 0; x < w; ++x)
                    if (!(out.image.pixel(x, y) == background)) return "undrawn picture left colour" + at;
        }
    }
    return {};
}

std::string checkConvert(ByteView file) {
    const std::uint64_t h = inputHash(file);
    const imaging::RgbImage capture = icon::sourceBoxImage(file);
    if (capture.width != icon::kSourceBoxSize || capture.height != icon::kSourceBoxSize ||
        capture.rgb.size() != 3u * icon::kSourceBoxSize * icon::kSourceBoxSize)
        return "source box image is " + sizeText(capture.width, capture.height);
    for (const int n : {48, 16}) {
        AppState state;
        selectIconSize(state, n);
        state.tolerance = static_cast<int>(h % 101);
        state.keyColour = {static_cast<int>((h >> 8) & 0xFF), static_cast<int>((h >> 16) & 0xFF),
                           static_cast<int>((h >> 24) & 0xFF)};
        const bool automatic = (h >> 32) & 1;
        ByteBuffer snapshot = icon::snapshotOf(capture, n);
        const ByteBuffer kept = snapshot;
        const std::string at = " at " + std::to_string(n);
        if (!storeGeneration(state, std::move(snapshot), automatic)) return "generation refused the snapshot" + at;
        const std::size_t expected = n == 48 ? 9662 : 1150;
        if (state.iconBytes.size() != expected)
            return "icon holds " + std::to_string(state.iconBytes.size()) + " bytes" + at;
        if (state.pixelBuffer.size() != 4u * n * n) return "pixel buffer has the wrong length" + at;
        const ByteBuffer header = icon::headerTemplateFor(n);
        if (!std::equal(header.begin(), header.end(), state.iconBytes.begin())) return "icon header differs" + at;
        for (std::size_t i = 3; i < state.pixelBuffer.size(); i += 4) {
            const std::uint8_t alpha = state.pixelBuffer[i];
            if (alpha != 0 && alpha != 255) return "alpha other than 0 or 255" + at;
            if (state.tolerance == 0 && alpha != 255) return "tolerance 0 made a pixel transparent" + at;
        }
        const std::size_t last = kept.size() - 3;
        if (automatic && !(state.keyColour == icon::KeyColour{kept[last], kept[last + 1], kept[last + 2]}))
            return "automatic key is not the top-right pixel" + at;
    }
    return {};
}

Check checkForTarget(std::string_view fileName) {
    static constexpr std::pair<std::string_view, Check> targets[] = {
        {"decode_bmp", checkDecodeBmp}, {"decode_ico", checkDecodeIco}, {"decode_jpeg", checkDecodeJpeg},
        {"decode_gif", checkDecodeGif}, {"decode_pcx", checkDecodePcx}, {"render", checkRender},
        {"convert", checkConvert}};
    for (const auto& [name, check] : targets)
        if (fileName.size() > name.size() && fileName.substr(0, name.size()) == name && fileName[name.size()] == '-')
            return check;
    return nullptr;
}

}  // namespace yz::fuzz
