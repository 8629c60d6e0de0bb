#pragma once

// Running the converter over its pictures: where each icon goes, reporting
// per picture, and the exit status.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/convert_options.h"

namespace yz::convert {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

struct Job {
    std::string picture;
    std::string icon;
};

struct Plan {
    std::vector<Job> jobs;
    std::string error;  // the output cannot be used at all
    int exitCode = kExitSuccess;
};

// With several pictures, or an output that is a folder (existing, or named
// with a trailing slash), every picture gets FOLDER/NAME.ico, NAME being its
// file name without the extension; the folder is created when missing.
// With one picture, otherwise, the output is the icon file itself.
Plan planJobs(const Options& options);

// Converts every job, up to workers of them at once, reporting failures on
// err in the order of the jobs as "PICTURE: reason" and, when progress is
// set, a running counter. Returns the exit status.
int runJobs(const Plan& plan, const IconSettings& settings, std::ostream& err, bool progress, int workers = 1);

// The whole command: parse, plan, run. out receives --help and --version.
int runConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace yz::convert
