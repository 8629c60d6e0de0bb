#include "app/convert_files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <filesystem>

namespace yz::convert {

namespace {

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now so that a failing close (a full disk reported late) is seen.
    int release() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, ByteView bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;  // no progress and no error: give up rather than spin
        done += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr std::size_t kLargePage = std::size_t{2} << 20;

}  // namespace

FileBytes::FileBytes(FileBytes&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)), mapping_(std::exchange(other.mapping_, nullptr)),
      mappingLength_(std::exchange(other.mappingLength_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        base_ = std::exchange(other.base_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingLength_ = std::exchange(other.mappingLength_, 0);
    }
    return *this;
}

FileBytes::~FileBytes() { release(); }

void FileBytes::release() {
    if (mapping_) ::munmap(mapping_, mappingLength_);
    base_ = nullptr;
    mapping_ = nullptr;
    capacity_ = size_ = mappingLength_ = 0;
}

bool FileBytes::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
    // A large page can only back a range that starts on a 2 MiB boundary,
    // which an ordinary mapping need not: map one large page more and start
    // at the first boundary inside.
    const bool large = capacity >= kLargePage;
    const std::size_t length = capacity + (large ? kLargePage : 0);
    if (length < capacity) return false;
    void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    auto* base = static_cast<std::uint8_t*>(mapping);
    if (large) {
        const auto address = reinterpret_cast<std::uintptr_t>(base);
        base += (kLargePage - address % kLargePage) % kLargePage;
        // Only a hint: without large pages the memory works the same.
        ::madvise(base, capacity, MADV_HUGEPAGE);
    }
    if (size_ > 0) std::memcpy(base, base_, size_);
    const std::size_t size = size_;
    release();
    base_ = base;
    capacity_ = capacity;
    size_ = size;
    mapping_ = mapping;
    mappingLength_ = length;
    return true;
}

FileRead readPictureFile(const std::string& path, std::uint64_t maxBytes, FileBytes buffer) {
    FileRead out;
    out.bytes = std::move(buffer);
    out.bytes.resize(0);
    // O_NONBLOCK keeps the open of a FIFO with no writer from hanging; it is
    // refused right after, as anything but a regular file is.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        out.error = systemError("cannot open");
        return out;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        out.error = systemError("cannot examine");
        return out;
    }
    if (S_ISDIR(info.st_mode)) {
        out.error = "is a folder, not a picture";
        return out;
    }
    if (!S_ISREG(info.st_mode)) {
        out.error = "is not a regular file";
        return out;
    }
    const std::uint64_t limitMiB = maxBytes >> 20;
    const std::string tooLarge = "is larger than the limit of " +
                                 (limitMiB > 0 ? std::to_string(limitMiB) + " MiB" : std::to_string(maxBytes) + " bytes");
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        out.error = tooLarge;
        return out;
    }
    // The size stat gave is a hint only: the file may change while it is
    // read. The memory is sized from it, and anything beyond arrives through
    // a small chunk, so the usual file is read with no copy and no spare
    // capacity, and a growing one is still stopped at the cap.
    auto fail = [&](std::string why) {
        out.error = std::move(why);
        out.bytes.resize(0);
        return std::move(out);
    };
    if (!out.bytes.reserve(static_cast<std::size_t>(info.st_size))) return fail(systemError("cannot allocate"));
    std::size_t have = 0;
    for (;;) {
        if (have < out.bytes.capacity()) {
            const ssize_t n = ::read(file.get(), out.bytes.data() + have, out.bytes.capacity() - have);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n < 0) return fail(systemError("cannot read"));
            if (n == 0) break;
            have += static_cast<std::size_t>(n);
            continue;
        }
        std::uint8_t chunk[64 * 1024];
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) return fail(systemError("cannot read"));
        if (n == 0) break;
        const std::uint64_t grown = have + static_cast<std::uint64_t>(n);
        if (grown > maxBytes) return fail(tooLarge);
        out.bytes.resize(have);
        if (!out.bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, 2 * grown))))
            return fail(systemError("cannot allocate"));
        std::memcpy(out.bytes.data() + have, chunk, static_cast<std::size_t>(n));
        have = static_cast<std::size_t>(grown);
    }
    out.bytes.resize(have);
    out.ok = true;
    return out;
}

std::string writeFileAtomically(const std::string& path, ByteView bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.get() < 0) return systemError("cannot create a temporary file in the destination folder");
    const std::string& temporary = pattern;

    auto fail = [&](const char* what) {
        std::string error = systemError(what);
        ::unlink(temporary.c_str());
        return error;
    };
    // mkostemp creates the file readable by its owner only; give the icon the
    // permissions any newly created file would get. umask can only be read
    // by setting it, so that is done once. Should another thread create its
    // temporary file in that instant, nothing changes: mkostemp always asks
    // for 0600, and every temporary file is given its mode here.
    static const mode_t mask = [] {
        const mode_t current = ::umask(0);
        ::umask(current);
        return current;
    }();
    if (::fchmod(file.get(), 0666 & ~mask) != 0) return fail("cannot set permissions");
    if (!writeAll(file.get(), bytes)) return fail("cannot write");
    if (::fsync(file.get()) != 0) return fail("cannot flush");
    if (file.release() != 0) return fail("cannot write");
    if (::rename(temporary.c_str(), path.c_str()) != 0) return fail("cannot rename into place");
    return {};
}

}  // namespace yz::convert
