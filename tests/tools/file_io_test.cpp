// The file handling the program and the converter share: a read bounded
// whatever memory it goes into, and a write that leaves either the old file
// or the whole new one, keeps the old file's permissions, writes through a
// link and never replaces what the user may not write.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/file_io.h"
#include "run_converter.h"

namespace yz {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::writeBytes;

class FileIo : public test::InTemporaryFolder {
protected:
    static mode_t modeOf(const fs::path& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }
};

// Without root's powers for as long as it lives, so that permissions count.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : switched_(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~AsOrdinaryUser() {
        if (switched_ && ::seteuid(0) != 0) std::abort();
    }

private:
    bool switched_;
};

TEST_F(FileIo, ReadIntoABufferFollowsAFileLongerThanItsStatedSizeUpToTheCap) {
    // /proc files say they are empty and are not.
    if (!fs::exists("/proc/self/maps")) GTEST_SKIP() << "no /proc";
    const FileContent whole = readRegularFile("/proc/self/maps", std::uint64_t{1} << 20);
    ASSERT_EQ(whole.error, "");
    ASSERT_GT(whole.bytes.size(), 0u);
    EXPECT_EQ(whole.bytes.back(), '\n');
    const FileContent capped = readRegularFile("/proc/self/maps", 16);
    EXPECT_TRUE(capped.bytes.empty());
    EXPECT_NE(capped.error.find("larger than"), std::string::npos) << capped.error;
}

TEST_F(FileIo, ReadNeverUsesRoomBeyondTheCap) {
    if (!fs::exists("/proc/self/maps")) GTEST_SKIP() << "no /proc";
    // Memory from an earlier, larger file, offered whatever is asked.
    struct Roomy final : ReadDestination {
        ByteBuffer memory = ByteBuffer(std::size_t{1} << 20);
        std::span<std::uint8_t> makeRoom(std::size_t, std::size_t) override { return memory; }
    } roomy;
    const BoundedRead read = readRegularFileInto("/proc/self/maps", 16, roomy);
    EXPECT_EQ(read.size, 0u);
    EXPECT_NE(read.error.find("larger than"), std::string::npos) << read.error;
}

TEST_F(FileIo, WriteReplacesAFileKeepingItsPermissionsAndLeavesNoTemporaryBehind) {
    const fs::path target = dir_ / "icon.ico";
    writeBytes(target, ByteBuffer(5000, 0xAB));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const ByteBuffer icon{1, 2, 3};
    ASSERT_EQ(writeFileAtomically(target.string(), icon), "");
    EXPECT_EQ(bytesOf(target), icon);
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(entries(dir_), 1u);
}

TEST_F(FileIo, WriteGivesANewFileThePermissionsOfAnyNewFile) {
    // Readable by others as any new file is, not the temporary's owner-only mode.
    const fs::path target = dir_ / "new.ico";
    ASSERT_EQ(writeFileAtomically(target.string(), ByteBuffer{7}), "");
    EXPECT_EQ(bytesOf(target), ByteBuffer{7});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(target), 0666u & ~mask);
    EXPECT_EQ(entries(dir_), 1u);
}

TEST_F(FileIo, WriteThroughALinkReplacesTheFileItPointsTo) {
    fs::create_directory(dir_ / "icons");
    const fs::path real = dir_ / "icons" / "real.ico";
    writeBytes(real, ByteBuffer(10, 0x22));
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    const fs::path link = dir_ / "link.ico";
    fs::create_symlink(fs::path("icons") / "real.ico", link);

    const ByteBuffer icon{4, 5, 6};
    ASSERT_EQ(writeFileAtomically(link.string(), icon), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(bytesOf(real), icon);
    EXPECT_EQ(modeOf(real), 0600u);
    EXPECT_EQ(entries(dir_), 2u);
    EXPECT_EQ(entries(dir_ / "icons"), 1u);
}

TEST_F(FileIo, WriteRefusesAFolderAndAMissingFolderAndLeavesNothing) {
    fs::create_directory(dir_ / "taken");
    EXPECT_NE(writeFileAtomically((dir_ / "taken").string(), ByteBuffer{1}), "");
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_EQ(entries(dir_), 1u) << "the temporary file was left behind";
    EXPECT_EQ(entries(dir_ / "taken"), 0u);
    EXPECT_NE(writeFileAtomically((dir_ / "no" / "such" / "folder.ico").string(), ByteBuffer{1}), "");
    EXPECT_NE(writeFileAtomically("", ByteBuffer{1}), "");
}

TEST_F(FileIo, WriteRefusesAFileTheUserMayNotWriteThoughTheFolderAllowsIt) {
    // Anyone may write in the folder, so only the file's own permissions
    // stand between the write and a rename over it.
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    const fs::path target = dir_ / "locked.ico";
    const ByteBuffer old(20, 0x33);
    writeBytes(target, old);
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    std::string error;
    {
        AsOrdinaryUser asUser;
        error = writeFileAtomically(target.string(), ByteBuffer{1});
    }
    EXPECT_NE(error, "");
    EXPECT_EQ(bytesOf(target), old);
    EXPECT_EQ(modeOf(target), 0444u);
    EXPECT_EQ(entries(dir_), 1u);
}

}  // namespace
}  // namespace yz
