// Pictures whose headers lie: enormous claimed sizes, directories that point
// outside the file, data that expands far beyond the file. Each goes through
// the converter in a child process whose address space is limited; the limit
// is the assertion. Refusing with a message is as good as drawing, but the
// child must end by itself: a failed allocation that is not handled kills it
// (std::bad_alloc ends in abort), and that fails the test.
//
// AddressSanitizer reserves terabytes of shadow address space at start-up,
// so under the sanitizers neither RLIMIT_AS nor RLIMIT_DATA (which counts the
// same private writable mappings) can be set. There the limit is handed to the
// sanitizer's allocator instead: no allocation above 256 MiB succeeds (it
// returns null to C callers such as libjpeg, and reports and aborts for
// operator new), and the process dies if its resident size passes a ceiling
// that leaves room for the sanitizer's own shadow and quarantine.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/byte_buffer.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOSTILE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOSTILE_SANITIZED 1
#endif
#endif

extern char** environ;

namespace {

namespace fs = std::filesystem;
using yz::ByteBuffer;

constexpr rlim_t kAddressSpaceLimit = 256u << 20;

void put16(ByteBuffer& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(ByteBuffer& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// --- BMP -------------------------------------------------------------------

ByteBuffer bmp(std::int32_t width, std::int32_t height, int bitCount, std::size_t dataBytes) {
    ByteBuffer b{'B', 'M'};
    put32(b, static_cast<std::uint32_t>(54 + dataBytes));
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(bitCount));
    for (int i = 0; i < 6; ++i) put32(b, 0);  // BI_RGB, image size, resolution, colours
    b.resize(b.size() + dataBytes, 0x5A);
    return b;
}

// --- GIF -------------------------------------------------------------------

// An LZW stream (minimum code size 2, so four colours) built to expand as far
// as the format allows: every code names the string just being defined, so
// the strings grow by one pixel each until the table holds 4096, and then the
// longest one is repeated. Each 12-bit code then yields about 4000 pixels.
ByteBuffer lzwExpanding(std::size_t repeats) {
    ByteBuffer out;
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t code, int width) {
        bits |= code << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    int width = 3;
    std::uint32_t next = 6;
    put(4, width);  // clear
    put(1, width);  // first pixel, defines nothing
    while (next < 4096) {
        put(next, width);
        if (++next == (1u << width) && width < 12) ++width;
    }
    for (std::size_t i = 0; i < repeats; ++i) put(4095, 12);
    put(5, 12);  // end of information
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

// A plain stream of n pixels: a clear code before every second pixel keeps
// the table, and so the code width, from ever growing.
ByteBuffer lzwLiteral(std::size_t pixels) {
    ByteBuffer out;
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < pixels; ++i) {
        if (i % 2 == 0) put(4);
        put(static_cast<std::uint32_t>(i % 3));
    }
    put(5);
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

ByteBuffer gif(int screenWidth, int screenHeight, int imageWidth, int imageHeight, const ByteBuffer& lzw) {
    ByteBuffer b{'G', 'I', 'F', '8', '9', 'a'};
    put16(b, screenWidth);
    put16(b, screenHeight);
    b.insert(b.end(), {0x81, 0, 0});  // global table of four colours
    b.insert(b.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    b.push_back(0x2C);
    put16(b, 0);
    put16(b, 0);
    put16(b, imageWidth);
    put16(b, imageHeight);
    b.push_back(0);
    b.push_back(2);  // minimum code size
    for (std::size_t at = 0; at < lzw.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, lzw.size() - at);
        b.push_back(static_cast<std::uint8_t>(n));
        b.insert(b.end(), lzw.begin() + at, lzw.begin() + at + n);
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

// --- JPEG ------------------------------------------------------------------

// A real 16x16 JPEG whose frame header is then changed to claim another size;
// its scans run out long before the claimed picture is complete.
ByteBuffer jpegClaiming(std::uint16_t width, std::uint16_t height, bool progressive) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 16;
    cinfo.image_height = 16;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(16 * 3);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            row[3 * x] = static_cast<JSAMPLE>(x * 16);
            row[3 * x + 1] = static_cast<JSAMPLE>(y * 16);
            row[3 * x + 2] = 128;
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    ByteBuffer b(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    for (std::size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
            b[i + 5] = height >> 8;
            b[i + 6] = height & 0xFF;
            b[i + 7] = width >> 8;
            b[i + 8] = width & 0xFF;
            return b;
        }
    }
    return {};
}

// --- PCX -------------------------------------------------------------------

ByteBuffer pcx(std::uint16_t xMax, std::uint16_t yMax, std::uint16_t bytesPerLine, const ByteBuffer& data) {
    ByteBuffer b{0x0A, 5, 1, 8};
    put16(b, 0);
    put16(b, 0);
    put16(b, xMax);
    put16(b, yMax);
    put16(b, 72);
    put16(b, 72);
    b.resize(b.size() + 48, 0);  // 16-colour palette, unused at 8 bits
    b.push_back(0);
    b.push_back(1);  // planes
    put16(b, bytesPerLine);
    put16(b, 1);
    b.resize(128, 0);
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0x0C);
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i)});
    return b;
}

// Runs of 63 bytes, the longest one count byte can say.
ByteBuffer pcxRuns(std::size_t runs) {
    ByteBuffer b;
    for (std::size_t i = 0; i < runs; ++i) b.insert(b.end(), {0xFF, static_cast<std::uint8_t>(i)});
    return b;
}

// --- ICO -------------------------------------------------------------------

struct IcoEntry {
    std::uint8_t width, height;
    std::uint32_t size, offset;
};

ByteBuffer icoDirectory(std::uint16_t count, const std::vector<IcoEntry>& entries) {
    ByteBuffer b;
    put16(b, 0);
    put16(b, 1);
    put16(b, count);
    for (const IcoEntry& e : entries) {
        b.insert(b.end(), {e.width, e.height, 0, 0});
        put16(b, 1);
        put16(b, 32);
        put32(b, e.size);
        put32(b, e.offset);
    }
    return b;
}

// A 32-bit DIB as an icon stores it: doubled height, colour rows, AND mask.
ByteBuffer icoDib(std::int32_t width, std::int32_t height, std::size_t dataBytes) {
    ByteBuffer b;
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height) * 2);
    put16(b, 1);
    put16(b, 32);
    for (int i = 0; i < 6; ++i) put32(b, 0);
    b.resize(b.size() + dataBytes, 0xC8);
    return b;
}

ByteBuffer icoWith(std::uint16_t count, std::uint8_t entryWidth, const ByteBuffer& dib) {
    ByteBuffer b = icoDirectory(count, {{entryWidth, entryWidth, static_cast<std::uint32_t>(dib.size()), 22}});
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

// --- the cases ---------------------------------------------------------------

// The LZW bomb fills the largest picture the decoders accept. Memory does not
// depend on its size, since rows stream into the renderer, so the sanitizer
// build, which runs some thirty times slower, fills a sixteenth of it.
#ifdef HOSTILE_SANITIZED
constexpr int kLzwBombSide = 4096;
#else
constexpr int kLzwBombSide = 16384;
#endif

struct Bomb {
    const char* name;
    ByteBuffer (*make)();
    bool mustDraw;  // the sane pictures that show the limit leaves room for real work
};

const Bomb kBombs[] = {
    {"sane_bmp", [] { return bmp(16, 16, 24, 16 * 16 * 3); }, true},
    {"sane_gif", [] { return gif(16, 16, 16, 16, lzwLiteral(256)); }, true},
    {"sane_jpeg", [] { return jpegClaiming(16, 16, false); }, true},
    {"bmp_2p31_pixels", [] { return bmp(65536, 32768, 24, 64); }, false},
    {"bmp_width_int_max", [] { return bmp(0x7FFFFFFF, 1, 1, 64); }, false},
    {"bmp_height_int_min", [] { return bmp(1, INT32_MIN, 24, 64); }, false},
    {"bmp_largest_allowed_no_data", [] { return bmp(16384, 16384, 24, 64); }, false},
    {"gif_65535_square", [] { return gif(65535, 65535, 65535, 65535, lzwExpanding(16)); }, false},
    {"gif_65535_screen_one_pixel", [] { return gif(65535, 65535, 1, 1, lzwLiteral(1)); }, false},
    {"gif_lzw_bomb",
     [] {
         const std::size_t side = kLzwBombSide;
         return gif(kLzwBombSide, kLzwBombSide, kLzwBombSide, kLzwBombSide, lzwExpanding(side * side / 4095 + 1));
     },
     false},
    {"gif_lzw_overflows_small_image", [] { return gif(64, 64, 64, 64, lzwExpanding(20000)); }, false},
    {"jpeg_65535_square", [] { return jpegClaiming(65535, 65535, false); }, false},
    {"jpeg_largest_allowed_baseline", [] { return jpegClaiming(16384, 16384, false); }, false},
    {"jpeg_largest_allowed_progressive", [] { return jpegClaiming(16384, 16384, true); }, false},
    // libjpeg keeps a progressive picture whole as coefficients, 3 bytes a
    // pixel at 4:2:0: 192 MB fits under the limit, 363 MB does not.
    {"jpeg_progressive_8000_square", [] { return jpegClaiming(8000, 8000, true); }, false},
    {"jpeg_progressive_11000_square", [] { return jpegClaiming(11000, 11000, true); }, false},
    {"pcx_65536_window", [] { return pcx(65535, 65535, 65535, pcxRuns(1000)); }, false},
    {"pcx_largest_allowed_short_data", [] { return pcx(16383, 16383, 16384, pcxRuns(100000)); }, false},
    {"ico_65535_entries", [] { return icoWith(65535, 16, icoDib(16, 16, 16 * 16 * 4 + 64)); }, false},
    {"ico_entries_outside_file",
     [] { return icoDirectory(2, {{16, 16, 0xFFFFFFFF, 0xFFFFFFF0}, {32, 32, 0x1000, 0x7FFFFFFF}}); }, false},
    {"ico_entry_claims_65535_square", [] { return icoWith(1, 0, icoDib(65535, 65535, 4096)); }, false},
    {"ico_entry_claims_largest_allowed", [] { return icoWith(1, 0, icoDib(16384, 16384, 4096)); }, false},
};

struct Outcome {
    bool exited = false;
    int code = -1;
    int signal = 0;
    double seconds = 0;
    long peakKib = 0;
};

std::vector<std::string> childEnvironment() {
    std::vector<std::string> env;
    std::string asan = "ASAN_OPTIONS=", ubsan = "UBSAN_OPTIONS=";
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind(asan, 0) == 0) asan = entry + ":";
        else if (entry.rfind(ubsan, 0) == 0) ubsan = entry + ":";
        else env.push_back(entry);
    }
    // A sanitizer report must end in a signal, never in an exit code that
    // could pass for the converter's own refusal.
    asan += "abort_on_error=1:detect_leaks=1:allocator_may_return_null=1:max_allocation_size_mb=256:"
            "quarantine_size_mb=16:hard_rss_limit_mb=1024";
    ubsan += "halt_on_error=1:abort_on_error=1:print_stacktrace=1";
    env.push_back(asan);
    env.push_back(ubsan);
    return env;
}

Outcome runLimited(const std::vector<std::string>& args, const fs::path& errors) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env = childEnvironment();
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_RDWR);
        if (err < 0 || null < 0) _exit(126);
        dup2(null, 0);
        dup2(null, 1);
        dup2(err, 2);
#ifndef HOSTILE_SANITIZED
        const rlimit limit{kAddressSpaceLimit, kAddressSpaceLimit};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
#endif
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    Outcome out;
    if (pid < 0) return out;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return out;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out.peakKib = usage.ru_maxrss;
    out.exited = WIFEXITED(status);
    out.code = out.exited ? WEXITSTATUS(status) : -1;
    out.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return out;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class HostilePicture : public testing::TestWithParam<Bomb> {
protected:
    void SetUp() override {
        std::string pattern = (fs::path(testing::TempDir()) / "yzicon-hostile-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_P(HostilePicture, ConvertsOrRefusesWithinTheMemoryLimit) {
    const Bomb& bomb = GetParam();
    ASSERT_TRUE(fs::exists(YZICON_CONVERTER)) << YZICON_CONVERTER;
    const ByteBuffer bytes = bomb.make();
    ASSERT_FALSE(bytes.empty());
    const fs::path picture = dir_ / (std::string(bomb.name) + ".pic");
    const fs::path icon = dir_ / "out.ico";
    const fs::path errors = dir_ / "stderr.txt";
    std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

    const Outcome out = runLimited({YZICON_CONVERTER, "-o", icon.string(), picture.string()}, errors);
    const std::string said = fileText(errors);
    const std::string firstLine = said.substr(0, said.find('\n'));
    std::printf("[ bomb     ] %-34s %7zu bytes  exit %3d  %7.2f s  peak %7ld KiB  %s\n", bomb.name, bytes.size(),
                out.code, out.seconds, out.peakKib, firstLine.c_str());
    RecordProperty("seconds", std::to_string(out.seconds));
    RecordProperty("peak_kib", std::to_string(out.peakKib));

    ASSERT_TRUE(out.exited) << "killed by signal " << out.signal << "\n" << said;
    ASSERT_NE(out.code, 127) << "could not start " << YZICON_CONVERTER;
    if (out.code == 0) {
        EXPECT_EQ(fs::file_size(icon), 9662u);
    } else {
        EXPECT_FALSE(bomb.mustDraw) << said;
        EXPECT_NE(said.find(picture.filename().string()), std::string::npos) << "no message naming the file: " << said;
        EXPECT_FALSE(fs::exists(icon)) << "a refused picture left an output file";
    }
}

INSTANTIATE_TEST_SUITE_P(Bombs, HostilePicture, testing::ValuesIn(kBombs),
                         [](const testing::TestParamInfo<Bomb>& info) { return std::string(info.param.name); });

}  // namespace
