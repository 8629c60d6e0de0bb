// Reading pictures and writing icons: bounded reads that never block, and
// writes that leave either the old file or the whole new one.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "app/convert_files.h"

namespace yz::convert {
namespace {

namespace fs = std::filesystem;

class ConvertFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "yzicon-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string put(const std::string& name, std::size_t bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path.string();
    }
    std::size_t entries() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); }

    fs::path dir_;
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

TEST_F(ConvertFiles, AtomicWriteReplacesTheFileAndLeavesNoTemporaryBehind) {
    const std::string target = put("icon.ico", 5);
    const ByteBuffer bytes{1, 2, 3};
    ASSERT_EQ(writeFileAtomically(target, bytes), "");
    std::ifstream in(target, std::ios::binary);
    const std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, std::string("\1\2\3"));
    EXPECT_EQ(entries(), 1u);
    // Readable by others as any new file is, not the temporary's owner-only mode.
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(ConvertFiles, AtomicWriteFailsCleanlyWhenTheTargetIsAFolder) {
    fs::create_directory(dir_ / "taken");
    const std::string error = writeFileAtomically((dir_ / "taken").string(), ByteBuffer{1});
    EXPECT_NE(error, "");
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_EQ(entries(), 1u) << "the temporary file was left behind";
    EXPECT_NE(writeFileAtomically((dir_ / "no" / "such" / "folder.ico").string(), ByteBuffer{1}), "");
}

}  // namespace
}  // namespace yz::convert
