#include "ui/controls/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace yz::ui {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded: a failed close can
    // be the first sign of a failed write.
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
        if (n == 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t creationMode() {
    // umask can only be read by setting it; the program has one thread.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ByteBuffer readWholeFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) return {};
    // Non-blocking, so that opening a FIFO cannot hang; fstat then turns
    // away everything that is not a regular file before a byte is read.
    FileDescriptor file(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) return {};
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > kMaxFileBytes)
        return {};

    ByteBuffer bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return {};
        }
        if (n == 0) break;
        // The file may have grown since fstat; the cap still holds.
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxFileBytes) return {};
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

bool writeWholeFile(const QString& path, ByteView bytes) {
    if (path.isEmpty()) return false;
    QString target = path;
    const QFileInfo given(path);
    // Saving over a link replaces the file it points to, as writing through
    // it would, not the link.
    if (given.isSymLink() && !given.canonicalFilePath().isEmpty()) target = given.canonicalFilePath();
    const QByteArray targetName = QFile::encodeName(target);

    struct stat existing {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    mode_t mode = creationMode();
    if (exists) {
        // A folder, a device or a read-only file is not ours to replace.
        if (!S_ISREG(existing.st_mode) || ::faccessat(AT_FDCWD, targetName.constData(), W_OK, AT_EACCESS) != 0) return false;
        mode = existing.st_mode & 07777;
    }

    const QString folder = QFileInfo(target).absolutePath();
    // mkostemp replaces the six trailing X characters with a unique name.
    QByteArray tempName = QFile::encodeName(folder + QStringLiteral("/.yzicon-save-") + QString(6, QLatin1Char('X')));
    FileDescriptor temp(::mkostemp(tempName.data(), O_CLOEXEC));
    if (temp.get() < 0) return false;

    const bool written = ::fchmod(temp.get(), mode) == 0 && writeAll(temp.get(), bytes) && ::fsync(temp.get()) == 0;
    if (!temp.close() || !written || ::rename(tempName.constData(), targetName.constData()) != 0) {
        ::unlink(tempName.constData());
        return false;
    }
    // The rename itself reaches the disk with the folder's own entry.
    FileDescriptor dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

}  // namespace yz::ui
