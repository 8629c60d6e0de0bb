#include "app/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace yz {

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
    // Closes now and reports whether the close succeeded: a failed close can
    // be the first sign of a failed write (a full disk reported late).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
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

// The permissions any newly created file gets. umask can only be read by
// setting it, so that is done once. Should another thread create a file in
// that instant, the temporary files here are unaffected: mkostemp always
// asks for 0600, and each is given its mode explicitly.
mode_t creationMode() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(0);
        ::umask(current);
        return current;
    }();
    return 0666 & ~mask;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Saving over a link replaces the file it points to, as writing through it
// would, not the link itself. A link that points nowhere is replaced.
std::string followLink(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

class IntoBuffer final : public ReadDestination {
public:
    explicit IntoBuffer(ByteBuffer& bytes) : bytes_(bytes) {}
    std::span<std::uint8_t> makeRoom(std::size_t, std::size_t capacity) override {
        try {
            if (bytes_.size() < capacity) bytes_.resize(capacity);
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            return {};
        }
        return bytes_;
    }

private:
    ByteBuffer& bytes_;
};

}  // namespace

BoundedRead readRegularFileInto(const std::string& path, std::uint64_t maxBytes, ReadDestination& into) {
    BoundedRead out;
    auto fail = [&out](std::string why) {
        out.size = 0;
        out.error = std::move(why);
        return std::move(out);
    };
    // O_NONBLOCK keeps the open of a FIFO with no writer from hanging; it is
    // refused right after, as anything but a regular file is, before a byte
    // is read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) return fail(systemError("cannot open"));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return fail(systemError("cannot examine"));
    if (S_ISDIR(info.st_mode)) return fail("is a folder, not a picture");
    if (!S_ISREG(info.st_mode)) return fail("is not a regular file");
    const std::uint64_t limitMiB = maxBytes >> 20;
    const std::string tooLarge = "is larger than the limit of " +
                                 (limitMiB > 0 ? std::to_string(limitMiB) + " MiB" : std::to_string(maxBytes) + " bytes");
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) return fail(tooLarge);

    // The size stat gave is a hint only: the file may change while it is
    // read. The memory is sized from it, and anything beyond arrives through
    // a small chunk, so the usual file is read with no copy and no spare
    // capacity, and a growing one is still stopped at the cap. Room beyond
    // the cap (memory used before for a larger file) is never read into.
    auto bounded = [maxBytes](std::span<std::uint8_t> room) {
        return room.first(static_cast<std::size_t>(std::min<std::uint64_t>(room.size(), maxBytes)));
    };
    const auto expected = static_cast<std::size_t>(info.st_size);
    std::span<std::uint8_t> room = into.makeRoom(0, expected);
    if (room.size() < expected) return fail(systemError("cannot allocate"));
    room = bounded(room);
    std::size_t have = 0;
    for (;;) {
        if (have < room.size()) {
            const ssize_t n = ::read(file.get(), room.data() + have, room.size() - have);
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
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, 2 * grown));
        room = into.makeRoom(have, wanted);
        if (room.size() < wanted) return fail(systemError("cannot allocate"));
        room = bounded(room);
        std::memcpy(room.data() + have, chunk, static_cast<std::size_t>(n));
        have = static_cast<std::size_t>(grown);
    }
    out.size = have;
    return out;
}

FileContent readRegularFile(const std::string& path, std::uint64_t maxBytes) {
    FileContent out;
    IntoBuffer into(out.bytes);
    BoundedRead read = readRegularFileInto(path, maxBytes, into);
    out.error = std::move(read.error);
    if (out.error.empty())
        out.bytes.resize(read.size);
    else
        ByteBuffer().swap(out.bytes);
    return out;
}

std::string writeFileAtomically(const std::string& path, ByteView bytes) {
    if (path.empty()) return "has no name";
    const std::string target = followLink(path);

    struct stat existing {};
    mode_t mode = creationMode();
    if (::stat(target.c_str(), &existing) == 0) {
        // A folder, a device or a file the user may not write is not ours to
        // replace, though the folder it is in would let us.
        if (S_ISDIR(existing.st_mode)) return "is a folder";
        if (!S_ISREG(existing.st_mode)) return "is not a regular file";
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return systemError("cannot be replaced");
        mode = existing.st_mode & 07777;
    }

    const std::string folder = folderOf(target);
    // mkostemp replaces the six trailing X characters with a unique name.
    std::string temporary = folder + (folder.back() == '/' ? "" : "/") + ".yzicon-save-XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) return systemError("cannot create a temporary file in the destination folder");

    auto fail = [&temporary](const char* what) {
        std::string error = systemError(what);
        ::unlink(temporary.c_str());
        return error;
    };
    if (::fchmod(file.get(), mode) != 0) return fail("cannot set permissions");
    if (!writeAll(file.get(), bytes)) return fail("cannot write");
    if (::fsync(file.get()) != 0) return fail("cannot flush");
    if (!file.close()) return fail("cannot write");
    if (::rename(temporary.c_str(), target.c_str()) != 0) return fail("cannot rename into place");

    // The rename itself reaches the disk with the folder's own entry. The
    // new file is in place by now whatever this gives.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return {};
}

}  // namespace yz
