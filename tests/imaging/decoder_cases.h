#pragma once

// The checks every picture decoder's tests share: a small file decoding to a
// picture with a few probed pixels, a spoiled file refused before any row,
// and a sweep of the third-party corpus.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "imaging/collect_sink.h"
#include "imaging/corpus_files.h"
#include "imaging/picture.h"

namespace yz::imaging::test {

using Decoder = DecodeResult (*)(ByteView, RowSink&);

struct Probe {
    int x, y;
    std::uint32_t argb;  // 0xAARRGGBB
};

// A hand-made file and what it must decode to.
struct GoodPicture {
    const char* name;
    ByteBuffer file;
    int width, height;
    std::vector<Probe> probes;
};

// A change that makes a valid file unreadable.
struct Spoiled {
    const char* name;
    std::function<void(ByteBuffer&)> spoil;
};

// Failures name the case rather than dumping its bytes.
inline void PrintTo(const GoodPicture& c, std::ostream* os) { *os << c.name; }
inline void PrintTo(const Spoiled& c, std::ostream* os) { *os << c.name; }

inline void expectPicture(Decoder decode, const GoodPicture& c) {
    CollectSink sink;
    const DecodeResult r = decode(c.file, sink);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(sink.complete());
    ASSERT_EQ(sink.width, c.width);
    ASSERT_EQ(sink.height, c.height);
    for (const Probe& p : c.probes) EXPECT_EQ(sink.argbAt(p.x, p.y), p.argb) << "at " << p.x << "," << p.y;
}

// Refused with a reason, and found out before the sink heard of a picture.
inline void expectRefusedBeforeAnyRow(Decoder decode, ByteView file) {
    CollectSink sink;
    const DecodeResult r = decode(file, sink);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(sink.beginCalls, 0);
    EXPECT_TRUE(sink.order.empty());
}

// The largest difference over all channels of two pictures of one size.
inline int largestDifference(const CollectSink& a, const CollectSink& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        const Rgba p = a.pixels[i], q = b.pixels[i];
        largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
    }
    return largest;
}

// Every test data file `wanted` picks (by its path or its bytes) runs
// through `decode`: either a whole picture with the sink's contract kept, or
// a reason. Prints how many were decoded and refused in each folder.
inline void sweepCorpus(const char* label, Decoder decode,
                        const std::function<bool(const corpus::fs::path&, ByteView)>& wanted) {
    std::map<std::string, std::pair<int, int>> byFolder;  // decoded, refused
    for (const auto& path : corpus::testdataFiles()) {
        const ByteBuffer bytes = corpus::readBytes(path);
        if (!wanted(path, bytes)) continue;
        const std::string name = corpus::relativeName(path);
        CollectSink sink;
        const DecodeResult r = decode(bytes, sink);
        auto& tally = byFolder[corpus::relativeName(path.parent_path())];
        if (r.ok) {
            ++tally.first;
            EXPECT_TRUE(sink.complete()) << name;
        } else {
            ++tally.second;
            EXPECT_FALSE(r.error.empty()) << name;
        }
    }
    for (const auto& [folder, tally] : byFolder)
        std::cout << "  " << label << " " << folder << ": " << tally.first << " decoded, " << tally.second
                  << " refused\n";
}

}  // namespace yz::imaging::test
