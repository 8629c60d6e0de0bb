// Every file of the test data, whatever its format, handed to the JPEG, GIF
// and PCX decoders directly: foreign and hostile bytes must end in a clean
// refusal or a complete picture, never a crash, a hang or a stray read (the
// sanitizer build watches for those).
#include <gtest/gtest.h>

#include "imaging/corpus_files.h"
#include "imaging/decoders.h"

namespace yz::imaging {
namespace {

using namespace test;

TEST(ForeignBytes, EveryTestFileThroughEveryDecoderEndsCleanly) {
    const auto files = corpus::testdataFiles();
    if (files.empty()) GTEST_SKIP() << "no test data folder";
    using Decoder = DecodeResult (*)(ByteView, RowSink&);
    const std::pair<const char*, Decoder> decoders[] = {
        {"jpeg", [](ByteView b, RowSink& s) { return decodeJpeg(b, s, 128, 128); }},
        {"gif", decodeGif},
        {"pcx", decodePcx},
    };
    for (const auto& path : files) {
        const ByteBuffer bytes = corpus::readBytes(path);
        for (const auto& [name, decode] : decoders) {
            corpus::CorpusSink sink;
            const DecodeResult r = decode(bytes, sink);
            if (r.ok) {
                EXPECT_TRUE(sink.complete()) << name << " on " << corpus::relativeName(path);
            } else {
                EXPECT_FALSE(r.error.empty()) << name << " on " << corpus::relativeName(path);
            }
        }
    }
}

}  // namespace
}  // namespace yz::imaging
