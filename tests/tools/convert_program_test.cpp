// The converter and the program's "生成" give the same icon, byte for byte,
// for the same picture and settings: the picture dropped on the real
// MainWindow (which hides the hint), the options set through its controls,
// 按钮1 clicked, against yzicon-convert run on the same file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <memory>

#include "app/frame.h"
#include "run_converter.h"
#include "ui/controls/colours.h"

namespace {

using namespace yz::test;

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_convert_program";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

struct Settings {
    const char* name;
    int size;
    int tolerance;
    const char* key;  // "auto" or RRGGBB
};

void PrintTo(const Settings& s, std::ostream* out) { *out << s.name; }

// The window's icon for picture with the given settings, set as a user sets
// them.
ByteBuffer programIcon(const fs::path& picture, const Settings& s) {
    yz::app::Program program;
    yz::app::createMainWindow(program);
    yz::ui::MainWindow& window = *program.mainWindow;
    window.onClosing = nullptr;
    window.show();
    QApplication::processEvents();
    window.dropPicture(QString::fromStdString(picture.string()));
    if (s.size == 16) window.选择框2->click();
    window.滑块条1->setValue(s.tolerance);
    if (std::string(s.key) != "auto") {
        const auto colour = std::stoul(s.key, nullptr, 16);
        window.颜色选择器1->setColour(yz::ui::colourRef((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
        // What picking a colour from the picker runs; it also clears 选择框3.
        window.pickKeyColour();
    }
    QApplication::processEvents();
    window.按钮1->click();
    return program.state.iconBytes;
}

class ConvertLikeProgram : public InTemporaryFolder, public testing::WithParamInterface<Settings> {
protected:
    // The pictures, under names the window's drop accepts (.jpg, .bmp, .ico).
    std::vector<fs::path> pictures() const {
        std::vector<fs::path> out;
        writeBytes(dir_ / "square.bmp", redSquareOnWhite());
        out.push_back(dir_ / "square.bmp");
        const fs::path data = YZICON_TESTDATA_DIR;
        if (!fs::is_directory(data)) return out;
        const std::pair<const char*, const char*> copies[] = {
            {"libjpeg-turbo/testorig.jpg", "baseline.jpg"},
            {"wuffs/peacock.progressive.jpeg", "progressive.jpg"},
            {"commons-imaging/bmp/1/Oregon Scientific DS6639 - DSC_0307 - small.bmp", "photo 24-bit.bmp"},
            {"wuffs/hippopotamus.regular.ico", "hippo.ico"},
            // Transparent corners, so the colour behind the picture matters.
            {"image-rs/images/ico/images/smile.ico", "smile.ico"},
            {"bmpsuite/g/pal8.bmp", "pal8.bmp"},
        };
        for (const auto& [from, to] : copies) {
            fs::copy_file(data / from, dir_ / to);
            out.push_back(dir_ / to);
        }
        return out;
    }
};

TEST_P(ConvertLikeProgram, SameBytesAsTheWindow) {
    const Settings& s = GetParam();
    const auto all = pictures();
    if (all.size() == 1) std::cerr << "no test pictures at " YZICON_TESTDATA_DIR "; the generated one only\n";
    for (const fs::path& picture : all) {
        SCOPED_TRACE(picture.filename().string());
        const fs::path icon = dir_ / "out.ico";
        const Outcome r = runConverter({"--size", std::to_string(s.size), "--tolerance", std::to_string(s.tolerance),
                                        "--key", s.key, "-o", icon.string(), picture.string()},
                                       dir_, dir_);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const ByteBuffer fromWindow = programIcon(picture, s);
        ASSERT_EQ(fromWindow.size(), s.size == 48 ? 9662u : 1150u);
        EXPECT_TRUE(bytesOf(icon) == fromWindow) << "the converter's icon differs from the window's";
        fs::remove(icon);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ConvertLikeProgram,
                         testing::Values(Settings{"StartUpValues", 48, 35, "auto"},
                                         Settings{"Small", 16, 60, "auto"},
                                         Settings{"PickedKey", 48, 80, "7F7F7F"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new QtEnvironment);
    return RUN_ALL_TESTS();
}
