#include "app/convert_batch.h"

#include <filesystem>
#include <map>
#include <ostream>
#include <system_error>

#include "app/convert_files.h"
#include "app/convert_icon.h"

namespace yz::convert {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramName = "yzicon-convert";

std::string iconNameFor(const std::string& picture) {
    fs::path stem = fs::path(picture).filename().stem();
    if (stem.empty()) stem = "icon";
    return stem.string() + ".ico";
}

// Clears the progress line before anything else is written to the terminal.
constexpr const char* kClearLine = "\r\033[K";

}  // namespace

Plan planJobs(const Options& options) {
    Plan plan;
    const std::string& output = options.output;
    std::error_code ec;
    const bool isFolder = fs::is_directory(output, ec);
    const bool namedAsFolder = output.ends_with('/');
    if (options.pictures.size() == 1 && !isFolder && !namedAsFolder) {
        plan.jobs.push_back({options.pictures.front(), output});
        return plan;
    }
    if (!isFolder) {
        if (fs::exists(fs::symlink_status(output, ec))) {
            plan.error = output + ": is not a folder; with several pictures -o names the folder for their icons";
            plan.exitCode = kExitUsage;
            return plan;
        }
        fs::create_directories(output, ec);
        if (ec) {
            plan.error = output + ": cannot create the folder: " + ec.message();
            plan.exitCode = kExitSomeFailed;
            return plan;
        }
    }
    for (const std::string& picture : options.pictures) {
        plan.jobs.push_back({picture, (fs::path(output) / iconNameFor(picture)).string()});
    }
    return plan;
}

int runJobs(const Plan& plan, const IconSettings& settings, std::ostream& err, bool progress) {
    const std::size_t total = plan.jobs.size();
    std::size_t failed = 0;
    // Two pictures with the same name would write the same icon; the later
    // one is refused rather than silently replacing the earlier one's.
    std::map<std::string, const Job*> written;
    auto report = [&](const Job& job, const std::string& why) {
        ++failed;
        if (progress) err << kClearLine;
        err << kProgramName << ": " << job.picture << ": " << why << '\n';
    };
    for (std::size_t i = 0; i < total; ++i) {
        const Job& job = plan.jobs[i];
        if (progress) err << kClearLine << '[' << i + 1 << '/' << total << "] " << job.picture << std::flush;
        const auto [earlier, fresh] = written.emplace(fs::path(job.icon).lexically_normal().string(), &job);
        if (!fresh) {
            report(job, "has the same name as " + earlier->second->picture + "; its icon " + job.icon +
                            " was not written again");
            continue;
        }
        const FileRead file = readPictureFile(job.picture);
        if (!file.ok) {
            report(job, file.error);
            continue;
        }
        const Conversion icon = convertPicture(file.bytes.view(), settings);
        if (!icon.ok) {
            report(job, icon.error);
            continue;
        }
        if (const std::string error = writeFileAtomically(job.icon, icon.icon); !error.empty()) {
            report(job, job.icon + ": " + error);
            continue;
        }
    }
    if (progress) {
        err << kClearLine << "converted " << total - failed << " of " << total << " pictures\n" << std::flush;
    }
    return failed == 0 ? kExitSuccess : kExitSomeFailed;
}

int runConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const ParsedOptions parsed = parseArguments(args);
    if (!parsed.options) {
        err << kProgramName << ": " << parsed.error << "\nTry '" << kProgramName << " --help' for more information.\n";
        return kExitUsage;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        out << helpText(kProgramName);
        return kExitSuccess;
    }
    if (options.version) {
        out << versionText();
        return kExitSuccess;
    }
    const Plan plan = planJobs(options);
    if (!plan.error.empty()) {
        err << kProgramName << ": " << plan.error << '\n';
        return plan.exitCode;
    }
    return runJobs(plan, options.settings, err, errIsTerminal && plan.jobs.size() > 1);
}

}  // namespace yz::convert
