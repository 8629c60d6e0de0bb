#include "app/convert_batch.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <ostream>
#include <system_error>
#include <thread>

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
            plan.error = output + ": is not a folder; with several pictures, or a name ending in '/', -o names "
                                  "the folder for the icons";
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

namespace {

// One picture from file to icon file; the reason when it fails. buffer
// carries the memory of one picture file over to the next.
std::string convertOne(const Job& job, const IconSettings& settings, FileBytes& buffer) {
    try {
        FileRead file = readPictureFile(job.picture, kMaxPictureFileBytes, std::move(buffer));
        struct GiveBack {
            FileBytes& to;
            FileBytes& from;
            ~GiveBack() { to = std::move(from); }
        } giveBack{buffer, file.bytes};
        if (!file.ok) return file.error;
        const Conversion icon = convertPicture(file.bytes.view(), settings);
        if (!icon.ok) return icon.error;
        if (std::string error = writeFileAtomically(job.icon, icon.icon); !error.empty())
            return job.icon + ": " + error;
        return {};
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (const std::exception& e) {
        return e.what();
    }
}

}  // namespace

int runJobs(const Plan& plan, const IconSettings& settings, std::ostream& err, bool progress, int workers) {
    const std::size_t total = plan.jobs.size();
    struct Outcome {
        bool done = false;
        std::string error;
    };
    std::vector<Outcome> outcomes(total);

    // Two pictures with the same name would write the same icon; the later
    // one is refused rather than silently replacing the earlier one's.
    std::map<std::string, const Job*> claimed;
    for (std::size_t i = 0; i < total; ++i) {
        const Job& job = plan.jobs[i];
        const auto [earlier, fresh] = claimed.emplace(fs::path(job.icon).lexically_normal().string(), &job);
        if (!fresh) {
            outcomes[i] = {true, "has the same name as " + earlier->second->picture + "; its icon " + job.icon +
                                     " was not written again"};
        }
    }

    // Workers take pictures in order and may finish them out of order; this
    // thread reports them in order, so the messages of a run do not depend
    // on timing. Several pictures at once use every processor and overlap
    // one icon's flush to disk with the next picture's decoding.
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t next = 0;
    auto work = [&] {
        FileBytes buffer;
        for (;;) {
            std::size_t i;
            {
                std::lock_guard lock(mutex);
                while (next < total && outcomes[next].done) ++next;
                if (next >= total) return;
                i = next++;
            }
            std::string error = convertOne(plan.jobs[i], settings, buffer);
            std::lock_guard lock(mutex);
            outcomes[i] = {true, std::move(error)};
            finished.notify_all();
        }
    };
    const std::size_t threadCount = std::min<std::size_t>(static_cast<std::size_t>(std::max(workers, 1)), total);
    std::vector<std::thread> threads;
    if (threadCount > 1) {
        for (std::size_t t = 0; t < threadCount; ++t) {
            try {
                threads.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // fewer threads than asked for still finish the work
            }
        }
    }
    if (threads.empty()) work();

    std::size_t failed = 0;
    for (std::size_t i = 0; i < total; ++i) {
        std::string error;
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return outcomes[i].done; });
            error = outcomes[i].error;
        }
        if (!error.empty()) {
            ++failed;
            if (progress) err << kClearLine;
            err << kProgramName << ": " << plan.jobs[i].picture << ": " << error << '\n';
        }
        if (progress) err << kClearLine << '[' << i + 1 << '/' << total << "] " << plan.jobs[i].picture << std::flush;
    }
    for (std::thread& thread : threads) thread.join();
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
    return runJobs(plan, options.settings, err, errIsTerminal && plan.jobs.size() > 1, options.jobs);
}

}  // namespace yz::convert
