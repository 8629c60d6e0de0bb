#include "app/convert_options.h"

#include "app/convert_files.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace yz::convert {

namespace {

std::optional<int> parseInteger(std::string_view text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    // from_chars accepts a leading minus sign; an empty or partly numeric
    // argument is refused as a whole.
    if (text.empty() || error != std::errc{} || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Applies one option that takes a value; returns an error text or empty.
std::string applyValue(Options& options, std::string_view name, std::string_view value) {
    IconSettings& s = options.settings;
    if (name == "--size") {
        const auto size = parseInteger(value, 16, 48);
        if (!size || (*size != 16 && *size != 48)) return "--size must be 48 or 16, not '" + std::string(value) + "'";
        s.size = *size;
    } else if (name == "--tolerance") {
        const auto tolerance = parseInteger(value, 0, kMaxTolerance);
        if (!tolerance) return "--tolerance must be a whole number from 0 to 100, not '" + std::string(value) + "'";
        s.tolerance = *tolerance;
    } else if (name == "--key") {
        if (value == "auto") {
            s.automaticKey = true;
            return {};
        }
        const auto colour = parseColour(value);
        if (!colour) return "--key must be auto or a colour RRGGBB, not '" + std::string(value) + "'";
        s.automaticKey = false;
        // The key is kept in pixel byte order.
        s.key = icon::KeyColour{colour->b, colour->g, colour->r};
    } else if (name == "--jobs") {
        const auto jobs = parseInteger(value, 1, kMaxJobs);
        if (!jobs) return "--jobs must be a whole number from 1 to 64, not '" + std::string(value) + "'";
        options.jobs = *jobs;
    } else if (name == "--background") {
        const auto colour = parseColour(value);
        if (!colour) return "--background must be a colour RRGGBB, not '" + std::string(value) + "'";
        s.background = *colour;
    } else {
        if (value.empty()) return "-o needs a file or folder name";
        options.output = std::string(value);
    }
    return {};
}

bool takesValue(std::string_view name) {
    return name == "--size" || name == "--tolerance" || name == "--key" || name == "--background" || name == "--jobs" ||
           name == "-o" || name == "--output";
}

}  // namespace

int defaultJobs() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxJobs);
}

std::optional<imaging::Rgb> parseColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text[2 * i]), low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        channel[i] = high * 16 + low;
    }
    return imaging::Rgb{static_cast<std::uint8_t>(channel[0]), static_cast<std::uint8_t>(channel[1]),
                        static_cast<std::uint8_t>(channel[2])};
}

ParsedOptions parseArguments(std::span<const std::string> args) {
    Options options;
    bool optionsEnded = false;
    bool outputGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.empty() || arg == "-" || arg.front() != '-') {
            options.pictures.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        // Both "--size 16" and "--size=16"; "-oFILE" as well as "-o FILE".
        std::string_view name = arg, value;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        } else if (arg.starts_with("-o") && arg.size() > 2) {
            name = "-o";
            value = arg.substr(2);
            inlineValue = true;
        }
        if (!takesValue(name)) return {std::nullopt, "unknown option '" + std::string(arg) + "'"};
        if (!inlineValue) {
            if (i + 1 >= args.size()) return {std::nullopt, std::string(name) + " needs a value"};
            value = args[++i];
        }
        if (name == "-o" || name == "--output") {
            if (outputGiven) return {std::nullopt, "-o given more than once"};
            outputGiven = true;
        }
        if (std::string error = applyValue(options, name, value); !error.empty()) return {std::nullopt, error};
    }
    if (options.help || options.version) return {options, {}};
    if (options.pictures.empty()) return {std::nullopt, "no picture given"};
    if (!outputGiven) return {std::nullopt, "no output given (-o FILE.ico, or -o FOLDER for several pictures)"};
    return {options, {}};
}

std::string helpText(std::string_view programName) {
    std::string text = "Usage: " + std::string(programName) +
                       " [OPTIONS] -o OUTPUT PICTURE...\n"
                       "\n"
                       "Turns pictures (BMP, JPEG, ICO/CUR, GIF, PCX; recognised by their content,\n"
                       "not their name) into 32-bit Windows icons whose background is transparent,\n"
                       "exactly as the yzicon program's \"生成\" does.\n"
                       "\n"
                       "The picture is drawn stretched into 128x128 over the background colour,\n"
                       "reduced to the icon size by averaging, and every pixel within the tolerance\n"
                       "of the key colour on all three channels becomes fully transparent; every\n"
                       "other pixel is opaque.\n"
                       "\n"
                       "Options:\n"
                       "  -o, --output OUTPUT    with one picture: the icon file to write, or an\n"
                       "                         existing folder to write NAME.ico into;\n"
                       "                         with several pictures: the folder (created when\n"
                       "                         missing) that receives one NAME.ico per picture\n"
                       "  --size 48|16           icon width and height in pixels (default 48)\n"
                       "  --tolerance 0..100     how far each channel may differ from the key colour\n"
                       "                         and still count as background; 0 keeps every pixel\n"
                       "                         opaque (default 35)\n"
                       "  --key auto|RRGGBB      the background colour to remove: auto takes the\n"
                       "                         top-right pixel of the reduced picture, or give a\n"
                       "                         colour in hexadecimal red, green, blue (default auto)\n"
                       "  --background RRGGBB    colour behind the transparent parts of a picture\n"
                       "                         (default F0F0F0, the button face)\n"
                       "  --jobs N               pictures converted at once, 1 to 64 (default: the\n"
                       "                         number of processors, " +
                       std::to_string(defaultJobs()) +
                       " here)\n"
                       "  -h, --help             show this text and exit\n"
                       "  --version              show the version and exit\n"
                       "  --                     everything after it is a picture\n"
                       "\n"
                       "Each icon is written to a temporary file beside its destination and renamed\n"
                       "into place, so no half-written icon is ever left. A picture that cannot be\n"
                       "read or drawn is reported on standard error and gets no icon; the others\n"
                       "are still converted. Only regular files of at most " +
                       std::to_string(kMaxPictureFileBytes >> 20) +
                       " MiB are read.\n"
                       "With several pictures and standard error on a terminal, progress is\n"
                       "shown there.\n"
                       "\n"
                       "Exit status: 0 when every picture was converted, 1 when any failed,\n"
                       "2 when the command line was refused.\n";
    return text;
}

std::string versionText() { return std::string("yzicon-convert ") + YZICON_VERSION + "\n"; }

}  // namespace yz::convert
