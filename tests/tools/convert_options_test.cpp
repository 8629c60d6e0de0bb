// The converter's command line: defaults, every option, and refusals.

#include <gtest/gtest.h>

#include "app/convert_options.h"

namespace yz::convert {
namespace {

ParsedOptions parse(std::vector<std::string> args) { return parseArguments(args); }

TEST(ConvertOptions, DefaultsAreTheProgramsStartUpValues) {
    const ParsedOptions parsed = parse({"-o", "out.ico", "in.jpg"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const IconSettings& s = parsed.options->settings;
    EXPECT_EQ(s.size, 48);
    EXPECT_EQ(s.tolerance, 35);
    EXPECT_TRUE(s.automaticKey);
    EXPECT_EQ(s.background, (imaging::Rgb{0xF0, 0xF0, 0xF0}));
    EXPECT_EQ(parsed.options->output, "out.ico");
    EXPECT_GE(parsed.options->jobs, 1);
    EXPECT_EQ(parsed.options->pictures, std::vector<std::string>{"in.jpg"});
}

TEST(ConvertOptions, EveryOptionInBothSpellings) {
    const ParsedOptions parsed = parse({"a.bmp", "--size", "16", "--tolerance=0", "--key", "#FF8001",
                                        "--background=00ff7F", "b.gif", "-oicons", "--jobs", "3", "--", "-c.pcx"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const Options& o = *parsed.options;
    EXPECT_EQ(o.settings.size, 16);
    EXPECT_EQ(o.settings.tolerance, 0);
    EXPECT_FALSE(o.settings.automaticKey);
    // The key is kept blue, green, red, as the icon's pixels are.
    EXPECT_EQ(o.settings.key, (icon::KeyColour{0x01, 0x80, 0xFF}));
    EXPECT_EQ(o.settings.background, (imaging::Rgb{0x00, 0xFF, 0x7F}));
    EXPECT_EQ(o.output, "icons");
    EXPECT_EQ(o.jobs, 3);
    EXPECT_EQ(o.pictures, (std::vector<std::string>{"a.bmp", "b.gif", "-c.pcx"}));
}

TEST(ConvertOptions, KeyAutoAfterAColourTurnsTheAutomaticKeyBackOn) {
    const ParsedOptions parsed = parse({"--key", "000000", "--key", "auto", "-o", "x", "y"});
    ASSERT_TRUE(parsed.options);
    EXPECT_TRUE(parsed.options->settings.automaticKey);
}

TEST(ConvertOptions, HelpAndVersionNeedNothingElse) {
    EXPECT_TRUE(parse({"--help"}).options->help);
    EXPECT_TRUE(parse({"-h"}).options->help);
    EXPECT_TRUE(parse({"--version"}).options->version);
}

TEST(ConvertOptions, HelpNamesEveryOptionAndItsDefault) {
    const std::string help = helpText("yzicon-convert");
    for (const char* needle : {"--size 48|16", "(default 48)", "--tolerance 0..100", "(default 35)",
                               "--key auto|RRGGBB", "(default auto)", "--background RRGGBB", "(default F0F0F0",
                               "--jobs N", "-o, --output", "--help", "--version", "Exit status"})
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
}

struct Refusal {
    std::vector<std::string> args;
    std::string mentions;  // the error names what was wrong
};

class ConvertOptionsRefused : public testing::TestWithParam<Refusal> {};

TEST_P(ConvertOptionsRefused, WithAMessageNamingTheProblem) {
    const ParsedOptions parsed = parseArguments(GetParam().args);
    EXPECT_FALSE(parsed.options);
    EXPECT_NE(parsed.error.find(GetParam().mentions), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertOptionsRefused,
    testing::Values(Refusal{{}, "no picture"}, Refusal{{"-o", "x.ico"}, "no picture"},
                    Refusal{{"in.jpg"}, "no output"}, Refusal{{"-o", "a", "-o", "b", "in"}, "more than once"},
                    Refusal{{"--size", "32", "-o", "x", "y"}, "'32'"},
                    Refusal{{"--size", "48px", "-o", "x", "y"}, "'48px'"},
                    Refusal{{"--size", "-o", "x", "y"}, "'-o'"},
                    Refusal{{"--tolerance", "101", "-o", "x", "y"}, "'101'"},
                    Refusal{{"--tolerance", "-1", "-o", "x", "y"}, "'-1'"},
                    Refusal{{"--tolerance=", "-o", "x", "y"}, "''"},
                    Refusal{{"--key", "FFFFF", "-o", "x", "y"}, "'FFFFF'"},
                    Refusal{{"--key", "GG0000", "-o", "x", "y"}, "'GG0000'"},
                    Refusal{{"--background", "auto", "-o", "x", "y"}, "'auto'"},
                    Refusal{{"--background", "-o", "x", "y"}, "--background"},
                    Refusal{{"--jobs", "0", "-o", "x", "y"}, "'0'"},
                    Refusal{{"-o", "x", "y", "--tolerance"}, "--tolerance needs a value"},
                    Refusal{{"--sise", "16", "-o", "x", "y"}, "'--sise'"},
                    Refusal{{"-x", "-o", "x", "y"}, "'-x'"}));

}  // namespace
}  // namespace yz::convert
