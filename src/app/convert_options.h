#pragma once

// The converter's command line: what it accepts, its defaults, and the text
// --help prints. Parsing is a pure function so that every refusal can be
// checked without running the program.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "icon/keying.h"
#include "imaging/render.h"

namespace yz::convert {

// The settings of one conversion, with the program's start-up values: 48x48,
// tolerance 35, the key taken from the top-right pixel, the button face
// behind the picture.
struct IconSettings {
    int size = 48;
    int tolerance = 35;
    bool automaticKey = true;
    icon::KeyColour key;  // used only when automaticKey is false
    imaging::Rgb background = imaging::kButtonFace;
};

inline constexpr int kMaxTolerance = 100;

inline constexpr int kMaxJobs = 64;

// The number of processors, at least 1: how many pictures are converted at once by default.
int defaultJobs();

struct Options {
    IconSettings settings;
    int jobs = defaultJobs();
    std::string output;
    std::vector<std::string> pictures;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    std::optional<Options> options;  // empty when the command line is refused
    std::string error;               // why, naming the offending argument
};

// args excludes the program name. --help and --version are accepted with
// anything else and win over it; otherwise -o and at least one picture are
// required. Options may come before or after the pictures; "--" ends them.
ParsedOptions parseArguments(std::span<const std::string> args);

// "RRGGBB" or "#RRGGBB", hexadecimal, as red, green, blue.
std::optional<imaging::Rgb> parseColour(std::string_view text);

std::string helpText(std::string_view programName);
std::string versionText();

}  // namespace yz::convert
