// The built yzicon-convert run as a user runs it: icons that an independent
// reader accepts, byte for byte the program's own generation, and failures
// that name the picture and leave no file behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "icon/generation.h"
#include "run_converter.h"

#ifdef YZICON_HAVE_QT
#include <QImage>
#endif

namespace {

using namespace yz::test;

// The engine's path from picture to icon, step by step as the program's
// "生成" takes it with the hint hidden: what the source box shows, its
// snapshot, then the state record. convert_program_test.cpp compares with
// the real window.
ByteBuffer programIcon(yz::ByteView picture, int size, int tolerance, bool automatic, yz::icon::KeyColour key,
                       yz::imaging::Rgb background = yz::imaging::kButtonFace) {
    yz::AppState state;
    yz::selectIconSize(state, size);
    state.tolerance = tolerance;
    state.keyColour = key;
    const auto capture = yz::icon::sourceBoxImage(picture, background);
    EXPECT_TRUE(yz::storeGeneration(state, yz::icon::snapshotOf(capture, size), automatic));
    return state.iconBytes;
}

class ConvertRun : public InTemporaryFolder {
protected:
    void SetUp() override {
        InTemporaryFolder::SetUp();
        if (HasFatalFailure()) return;
        fs::create_directory(dir_ / "work");
    }

    fs::path work(const std::string& name) const { return dir_ / "work" / name; }

    fs::path put(const std::string& name, const ByteBuffer& bytes) const {
        writeBytes(work(name), bytes);
        return work(name);
    }

    // Runs the converter in the work folder with stdout and stderr captured
    // in files outside it, so the folder holds only what the converter made.
    Outcome run(const std::vector<std::string>& args) const { return runConverter(args, work(""), dir_); }

    std::vector<std::string> workFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir_ / "work"))
            names.push_back(fs::relative(entry.path(), dir_ / "work").string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---------------------------------------------------------------------------
// Icons from the fixture, read back by Qt.

struct Setting {
    const char* name;
    std::vector<std::string> options;
    int size;
    int cornerAlpha;  // the white surround
    int centreAlpha;  // the red square
};

void PrintTo(const Setting& s, std::ostream* out) { *out << s.name; }

class ConvertRunSettings : public ConvertRun, public testing::WithParamInterface<Setting> {};

TEST_P(ConvertRunSettings, WritesTheIconTheProgramWould) {
    const Setting& s = GetParam();
    const ByteBuffer picture = redSquareOnWhite();
    put("square.bmp", picture);
    std::vector<std::string> args = s.options;
    args.insert(args.end(), {"-o", "square.ico", "square.bmp"});
    const Outcome r = run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const ByteBuffer icon = bytesOf(work("square.ico"));
    ASSERT_EQ(icon.size(), s.size == 48 ? 9662u : 1150u);

    yz::icon::KeyColour key;
    bool automatic = true;
    int tolerance = 35;
    for (std::size_t i = 0; i + 1 < s.options.size(); i += 2) {
        if (s.options[i] == "--tolerance") tolerance = std::stoi(s.options[i + 1]);
        if (s.options[i] == "--key") {
            automatic = false;
            key = {0, 0, 255};  // the table keys on red only
        }
    }
    EXPECT_EQ(icon, programIcon(picture, s.size, tolerance, automatic, key));

#ifdef YZICON_HAVE_QT
    QImage read;
    ASSERT_TRUE(read.load(QString::fromStdString(work("square.ico").string()), "ICO"));
    ASSERT_EQ(read.width(), s.size);
    ASSERT_EQ(read.height(), s.size);
    const QRgb corner = read.pixel(0, 0), farCorner = read.pixel(s.size - 1, s.size - 1);
    const QRgb centre = read.pixel(s.size / 2, s.size / 2);
    EXPECT_EQ(qAlpha(corner), s.cornerAlpha);
    EXPECT_EQ(qAlpha(farCorner), s.cornerAlpha);
    EXPECT_EQ(qAlpha(centre), s.centreAlpha);
    // Qt drops the colour of fully transparent pixels, so colours are
    // compared where the pixel is opaque (the byte comparison above covers
    // the rest).
    if (s.cornerAlpha == 255) {
        EXPECT_EQ(corner & 0xFFFFFF, 0xFFFFFFu);
    }
    if (s.centreAlpha == 255) {
        EXPECT_EQ(centre & 0xFFFFFF, 0xFF0000u);
    }
#else
    GTEST_SKIP() << "Qt is not built; the icon was checked against the program's own bytes only";
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, ConvertRunSettings,
                         testing::Values(Setting{"Defaults", {}, 48, 0, 255},
                                         Setting{"Size16", {"--size", "16"}, 16, 0, 255},
                                         Setting{"ToleranceZeroKeepsAll", {"--tolerance", "0"}, 48, 255, 255},
                                         Setting{"KeyedOnRed", {"--key", "FF0000"}, 48, 255, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The same bytes as the program on real pictures of every format, at both sizes.
TEST_F(ConvertRun, EveryFormatGivesTheProgramsBytesAtBothSizes) {
    const fs::path data = YZICON_TESTDATA_DIR;
    if (!fs::is_directory(data)) GTEST_SKIP() << "no test pictures at " << data;
    const char* pictures[] = {
        "commons-imaging/bmp/1/Oregon Scientific DS6639 - DSC_0307 - small.bmp",
        "commons-imaging/pcx/1/Oregon Scientific DS6639 - DSC_0307 - small.pcx",
        "commons-imaging/ico/1/Oregon Scientific DS6639 - DSC_0307 - small.ico",
        "commons-imaging/gif/single/1/Oregon Scientific DS6639 - DSC_0307 - small.gif",
        "libjpeg-turbo/testorig.jpg",
        "wuffs/hippopotamus.regular.ico",
    };
    for (const char* name : pictures) {
        const ByteBuffer picture = bytesOf(data / name);
        for (int size : {48, 16}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(size));
            const Outcome r = run({"--size", std::to_string(size), "--background", "102030", "-o", "out.ico",
                               (data / name).string()});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(bytesOf(work("out.ico")), programIcon(picture, size, 35, true, {}, {0x10, 0x20, 0x30}));
#ifdef YZICON_HAVE_QT
            QImage read;
            ASSERT_TRUE(read.load(QString::fromStdString(work("out.ico").string()), "ICO"));
            EXPECT_EQ(read.size(), QSize(size, size));
#endif
        }
    }
}

// ---------------------------------------------------------------------------
// Refusals and failures.

TEST_F(ConvertRun, BadOptionsExitWithTwoAndAMessage) {
    put("square.bmp", redSquareOnWhite());
    const std::vector<std::vector<std::string>> table{
        {"--size", "32", "-o", "x.ico", "square.bmp"},
        {"--tolerance", "abc", "-o", "x.ico", "square.bmp"},
        {"--key", "red", "-o", "x.ico", "square.bmp"},
        {"--frobnicate", "-o", "x.ico", "square.bmp"},
        {"square.bmp"},
        {"-o", "x.ico"},
    };
    for (const auto& args : table) {
        const Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_NE(r.err.find("yzicon-convert: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
        EXPECT_EQ(workFiles(), std::vector<std::string>{"square.bmp"});
    }
}

TEST_F(ConvertRun, HelpAndVersionGoToStandardOutput) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--tolerance 0..100"), std::string::npos);
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("yzicon-convert ", 0), 0u) << version.out;
}

TEST_F(ConvertRun, AnUnusablePictureNamesTheFileAndWritesNothing) {
    ByteBuffer truncated = redSquareOnWhite();
    truncated.resize(200);
    put("truncated.bmp", truncated);
    put("notes.jpg", ByteBuffer{'h', 'e', 'l', 'l', 'o'});
    put("empty.bmp", {});
    fs::create_directory(work("folder.bmp"));
    for (const std::string name : {"truncated.bmp", "notes.jpg", "empty.bmp", "folder.bmp", "missing.bmp"}) {
        const Outcome r = run({"-o", "out.ico", name});
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_EQ(r.err.rfind("yzicon-convert: " + name + ": ", 0), 0u) << r.err;
        EXPECT_GT(r.err.size(), ("yzicon-convert: " + name + ": \n").size()) << "no reason given";
        EXPECT_FALSE(fs::exists(work("out.ico"))) << name;
    }
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"empty.bmp", "folder.bmp", "notes.jpg", "truncated.bmp"}))
        << "a temporary file was left behind";
}

TEST_F(ConvertRun, AFailedPictureLeavesAnExistingIconAsItWas) {
    put("notes.jpg", ByteBuffer{'h', 'i'});
    put("old.ico", ByteBuffer{'o', 'l', 'd'});
    EXPECT_EQ(run({"-o", "old.ico", "notes.jpg"}).exitCode, 1);
    EXPECT_EQ(slurp(work("old.ico")), "old");
}

// ---------------------------------------------------------------------------
// Batches.

TEST_F(ConvertRun, BatchConvertsTheGoodPicturesAndReportsTheBadOne) {
    const ByteBuffer picture = redSquareOnWhite();
    put("one.bmp", picture);
    put("two.jpg.bmp", picture);
    put("bad.bmp", ByteBuffer{'B', 'M', 0, 0});
    // Three at once, so that pictures finish out of order; the report still
    // follows the order given.
    const Outcome r = run({"--jobs", "3", "one.bmp", "bad.bmp", "two.jpg.bmp", "missing.jpg", "-o", "icons/new"});
    EXPECT_EQ(r.exitCode, 1);
    // One line per bad picture and nothing else: no progress when stderr is no terminal.
    const auto second = r.err.find('\n') + 1;
    EXPECT_EQ(r.err.rfind("yzicon-convert: bad.bmp: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find("yzicon-convert: missing.jpg: cannot open", second), second) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    const ByteBuffer expected = programIcon(picture, 48, 35, true, {});
    EXPECT_EQ(bytesOf(work("icons/new/one.ico")), expected);
    EXPECT_EQ(bytesOf(work("icons/new/two.jpg.ico")), expected);
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"bad.bmp", "icons", "icons/new", "icons/new/one.ico",
                                                     "icons/new/two.jpg.ico", "one.bmp", "two.jpg.bmp"}));
}

TEST_F(ConvertRun, OneWorkerGoingFromLargeToSmallPicturesMixesNothingUp) {
    // One worker reads every picture into the memory of the one before; a
    // short picture after a long one must not see the long one's tail.
    auto gradient = [](int w, int h, int seed) {
        return makeBmp(w, h, [=](int x, int y) {
            return yz::imaging::Rgb{static_cast<std::uint8_t>(x * 7 + seed), static_cast<std::uint8_t>(y * 5),
                                    static_cast<std::uint8_t>(seed * 3)};
        });
    };
    const ByteBuffer large = gradient(300, 200, 1), small = gradient(20, 30, 2), middle = gradient(90, 90, 3);
    put("a-large.bmp", large);
    put("b-small.bmp", small);
    put("c-broken.bmp", ByteBuffer(large.begin(), large.begin() + 100));
    put("d-middle.bmp", middle);
    const Outcome r = run({"--jobs", "1", "-o", "out", "a-large.bmp", "b-small.bmp", "c-broken.bmp", "d-middle.bmp"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(bytesOf(work("out/a-large.ico")), programIcon(large, 48, 35, true, {}));
    EXPECT_EQ(bytesOf(work("out/b-small.ico")), programIcon(small, 48, 35, true, {}));
    EXPECT_FALSE(fs::exists(work("out/c-broken.ico")));
    EXPECT_EQ(bytesOf(work("out/d-middle.ico")), programIcon(middle, 48, 35, true, {}));
}

TEST_F(ConvertRun, BatchThatSucceedsIsSilentAndExitsZero) {
    put("a.bmp", redSquareOnWhite());
    fs::create_directory(work("sub"));
    put("sub/b.bmp", redSquareOnWhite());
    fs::create_directory(work("icons"));
    const Outcome r = run({"-o", "icons", "a.bmp", "sub/b.bmp", "--size", "16"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(fs::file_size(work("icons/a.ico")), 1150u);
    EXPECT_EQ(fs::file_size(work("icons/b.ico")), 1150u);
}

TEST_F(ConvertRun, OnePictureIntoAnExistingFolderIsNamedAfterIt) {
    put("photo.bmp", redSquareOnWhite());
    fs::create_directory(work("icons"));
    EXPECT_EQ(run({"-o", "icons", "photo.bmp"}).exitCode, 0);
    EXPECT_EQ(fs::file_size(work("icons/photo.ico")), 9662u);
}

TEST_F(ConvertRun, BatchRefusesAFileAsItsFolderAndTwoPicturesOfOneName) {
    put("a.bmp", redSquareOnWhite());
    fs::create_directory(work("sub"));
    put("sub/a.bmp", redSquareOnWhite());
    put("taken", ByteBuffer{'x'});
    const Outcome refused = run({"-o", "taken", "a.bmp", "sub/a.bmp"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("taken: is not a folder"), std::string::npos) << refused.err;

    const Outcome twice = run({"-o", "out", "a.bmp", "sub/a.bmp"});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_EQ(twice.err.rfind("yzicon-convert: sub/a.bmp: has the same name as a.bmp", 0), 0u) << twice.err;
    EXPECT_EQ(fs::file_size(work("out/a.ico")), 9662u);
}

}  // namespace
