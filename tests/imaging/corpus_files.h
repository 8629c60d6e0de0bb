#pragma once

// Reading the third-party pictures under YZICON_TESTDATA_DIR and holding a
// decoded picture against Qt's reader of the same file.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/byte_buffer.h"
#include "imaging/collect_sink.h"

#ifdef YZICON_HAVE_QT
#include <QImage>
#include <QImageReader>
#include <QString>
#endif

namespace yz::imaging::test::corpus {

namespace fs = std::filesystem;

inline fs::path testdataDir() { return fs::path(YZICON_TESTDATA_DIR); }
inline bool haveTestdata() { return fs::is_directory(testdataDir()); }

inline ByteBuffer readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string lowerExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// Every regular file below the test data folder whose extension is one of
// those given (lower case, with the dot); all files when none are given.
// Sorted, so failures name files in a stable order.
inline std::vector<fs::path> testdataFiles(std::initializer_list<const char*> extensions = {}) {
    std::vector<fs::path> files;
    if (!haveTestdata()) return files;
    for (const auto& entry : fs::recursive_directory_iterator(testdataDir())) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = lowerExtension(entry.path());
        bool wanted = extensions.size() == 0;
        for (const char* e : extensions) wanted = wanted || ext == e;
        if (wanted) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string relativeName(const fs::path& path) { return fs::relative(path, testdataDir()).string(); }

// The sink for a whole corpus: every picture has its rows counted, but only
// pictures of modest size are kept, so a file that claims a huge canvas
// costs the test no more memory than it costs the program.
class CorpusSink final : public RowSink {
public:
    static constexpr std::uint64_t kKeptPixels = std::uint64_t{1} << 22;

    void begin(int w, int h) override {
        ++beginCalls_;
        width = w;
        height = h;
        kept = w > 0 && h > 0 && static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) <= kKeptPixels;
        if (h > 0) delivered_.assign(static_cast<std::size_t>(h), 0);
        if (kept) picture.begin(w, h);
    }

    void row(int y, std::span<const Rgba> line) override {
        if (y < 0 || y >= static_cast<int>(delivered_.size()) || line.size() != static_cast<std::size_t>(width)) {
            ++breaks_;
            return;
        }
        ++delivered_[static_cast<std::size_t>(y)];
        if (kept) picture.row(y, line);
    }

    bool complete() const {
        if (beginCalls_ != 1 || breaks_ != 0) return false;
        for (int n : delivered_)
            if (n != 1) return false;
        return !kept || picture.complete();
    }

    int width = 0, height = 0;
    bool kept = false;
    CollectSink picture;  // the pixels, when kept

private:
    int beginCalls_ = 0;
    int breaks_ = 0;
    std::vector<int> delivered_;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

#ifdef YZICON_HAVE_QT
// Qt's reading of a file as straight ARGB, without EXIF rotation (the
// picture box does not rotate either); null when Qt cannot read it.
inline QImage readWithQt(const fs::path& path) {
    QImageReader reader(QString::fromStdString(path.string()));
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

struct Difference {
    int largest = 0;  // over the four channels
    long pixels = 0;  // how many differ at all
    int firstX = -1, firstY = -1;
};

// Pixel by pixel within `area`; two fully transparent pixels are equal
// whatever colour they carry.
inline Difference compareWithQt(const CollectSink& ours, const QImage& qt, Rect area) {
    Difference d;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const Rgba p = ours.at(x, y);
            const QRgb q = qt.pixel(x, y);
            if (p.a == 0 && qAlpha(q) == 0) continue;
            const int diff = std::max({std::abs(p.r - qRed(q)), std::abs(p.g - qGreen(q)), std::abs(p.b - qBlue(q)),
                                       std::abs(p.a - qAlpha(q))});
            if (diff == 0) continue;
            if (d.pixels++ == 0) {
                d.firstX = x;
                d.firstY = y;
            }
            d.largest = std::max(d.largest, diff);
        }
    }
    return d;
}
#endif

}  // namespace yz::imaging::test::corpus
