#pragma once

// What the converter's tests share: running the built yzicon-convert, files
// in and out, and a fixture picture made on the spot.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/byte_buffer.h"
#include "imaging/dib_fixture.h"
#include "imaging/render.h"

extern char** environ;

namespace yz::test {

namespace fs = std::filesystem;
using yz::ByteBuffer;

struct Outcome {
    int exitCode = -1;
    std::string err;
    std::string out;
};

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline ByteBuffer bytesOf(const fs::path& path) {
    const std::string text = slurp(path);
    return ByteBuffer(text.begin(), text.end());
}

// A 24-bit bottom-up BMP, the simplest picture every reader understands.
inline ByteBuffer makeBmp(int width, int height, const std::function<yz::imaging::Rgb(int, int)>& colour) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    ByteBuffer rows(stride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto c = colour(x, y);
            const std::size_t at = stride * (height - 1 - y) + 3 * x;
            rows[at] = c.b;
            rows[at + 1] = c.g;
            rows[at + 2] = c.r;
        }
    return yz::imaging::test::bmpFile({.width = width, .height = height, .bitCount = 24}, {}, rows);
}

inline void writeBytes(const fs::path& path, const ByteBuffer& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// White all round, a red square in the middle half.
inline ByteBuffer redSquareOnWhite() {
    return makeBmp(64, 64, [](int x, int y) {
        const bool inside = x >= 16 && x < 48 && y >= 16 && y < 48;
        return inside ? yz::imaging::Rgb{255, 0, 0} : yz::imaging::Rgb{255, 255, 255};
    });
}

// A fresh folder for each test, removed after it.
class InTemporaryFolder : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "yzicon-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // What a folder holds, hidden files included.
    static std::size_t entries(const fs::path& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    }

    fs::path dir_;
};

// Runs the built converter in folder cwd, its stdout and stderr captured
// through files in captureDir.
inline Outcome runConverter(const std::vector<std::string>& args, const fs::path& cwd, const fs::path& captureDir) {
    std::vector<std::string> argv{YZICON_CONVERT_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (auto& a : argv) cargs.push_back(const_cast<char*>(a.c_str()));
    cargs.push_back(nullptr);
    const fs::path outPath = captureDir / "stdout", errPath = captureDir / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = 0;
    Outcome result;
    const int spawned = posix_spawn(&pid, cargs[0], &actions, nullptr, cargs.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << cargs[0];
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    return result;
}

}  // namespace yz::test
