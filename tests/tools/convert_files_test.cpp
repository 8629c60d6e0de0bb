// Reading pictures into the converter's own memory: bounded reads that never
// block, memory from an earlier picture used again. (Writing icons is in
// file_io_test.cpp.)

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "app/convert_files.h"
#include "run_converter.h"

namespace yz::convert {
namespace {

namespace fs = std::filesystem;

class ConvertFiles : public test::InTemporaryFolder {
protected:
    std::string put(const std::string& name, std::size_t bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path.string();
    }
};

TEST_F(ConvertFiles, ReadsAFileUpToTheCapAndRefusesOneByteMore) {
    const FileRead atCap = readPictureFile(put("cap", 100), 100);
    ASSERT_TRUE(atCap.ok) << atCap.error;
    EXPECT_EQ(atCap.bytes.size(), 100u);
    const FileRead over = readPictureFile(put("over", 101), 100);
    EXPECT_FALSE(over.ok);
    EXPECT_TRUE(over.bytes.empty());
    EXPECT_NE(over.error.find("larger than"), std::string::npos) << over.error;
}

TEST_F(ConvertFiles, AFileLongerThanItsStatedSizeIsReadToTheEndAndStillCapped) {
    // /proc files say they are empty and are not.
    if (!fs::exists("/proc/self/maps")) GTEST_SKIP() << "no /proc";
    const FileRead whole = readPictureFile("/proc/self/maps");
    ASSERT_TRUE(whole.ok) << whole.error;
    ASSERT_GT(whole.bytes.size(), 0u);
    const std::string text(whole.bytes.view().begin(), whole.bytes.view().end());
    // Whole lines from the first ("start-end perms ...") to the last.
    EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(text.front()))) << text.substr(0, 40);
    EXPECT_EQ(text.back(), '\n');
    const FileRead capped = readPictureFile("/proc/self/maps", 16);
    EXPECT_FALSE(capped.ok);
    EXPECT_NE(capped.error.find("larger than"), std::string::npos) << capped.error;
}

TEST_F(ConvertFiles, MemoryOfAnEarlierPictureIsUsedAgainButNeverPastTheCap) {
    FileRead first = readPictureFile(put("large", std::size_t{4} << 20));
    ASSERT_TRUE(first.ok) << first.error;
    const std::uint8_t* const memory = first.bytes.data();
    FileRead second = readPictureFile(put("small", 100), kMaxPictureFileBytes, std::move(first.bytes));
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.bytes.data(), memory);
    EXPECT_EQ(std::string(second.bytes.view().begin(), second.bytes.view().end()), std::string(100, 'x'));
    // Room left from the larger picture does not lift the cap for a file
    // that turns out longer than it said.
    if (!fs::exists("/proc/self/maps")) GTEST_SKIP() << "no /proc";
    const FileRead capped = readPictureFile("/proc/self/maps", 16, std::move(second.bytes));
    EXPECT_FALSE(capped.ok);
    EXPECT_NE(capped.error.find("larger than"), std::string::npos) << capped.error;
}

TEST_F(ConvertFiles, ReadsAnEmptyFileAsNoBytes) {
    const FileRead empty = readPictureFile(put("empty", 0));
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.bytes.empty());
}

TEST_F(ConvertFiles, RefusesWhatIsNotARegularFileWithoutBlocking) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO with no writer would block an ordinary open or read for ever.
    for (const auto& [path, why] : {std::pair{fifo, "not a regular file"}, std::pair{dir_, "folder"},
                                    std::pair{dir_ / "missing", "cannot open"}}) {
        const FileRead read = readPictureFile(path.string());
        EXPECT_FALSE(read.ok) << path;
        EXPECT_NE(read.error.find(why), std::string::npos) << read.error;
    }
}

}  // namespace
}  // namespace yz::convert
