// Every input the fuzzer ever broke a decoder with, replayed through the
// check of the target that found it (the file name starts with the target's
// name) and through the whole path to an icon, so a fixed fault stays fixed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "checks.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> findings() {
    std::vector<fs::path> files;
    if (fs::is_directory(YZICON_REGRESS_DIR))
        for (const auto& entry : fs::directory_iterator(YZICON_REGRESS_DIR))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzFinding : public testing::TestWithParam<fs::path> {};

TEST_P(FuzzFinding, IsHandledCleanly) {
    const fs::path& path = GetParam();
    std::ifstream in(path, std::ios::binary);
    const yz::ByteBuffer bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(in.good() || in.eof()) << path;
    const yz::fuzz::Check check = yz::fuzz::checkForTarget(path.filename().string());
    ASSERT_NE(check, nullptr) << path.filename() << " does not name the fuzz target that found it";
    EXPECT_EQ(check(bytes), "") << path.filename();
    EXPECT_EQ(yz::fuzz::checkConvert(bytes), "") << path.filename();
}

INSTANTIATE_TEST_SUITE_P(Regress, FuzzFinding, testing::ValuesIn(findings()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzFinding);

}  // namespace
