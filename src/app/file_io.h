#pragma once

// Reading a file whole with a bound, and replacing a file whole or not at
// all: the file handling the program and the converter share.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "imaging/byte_buffer.h"

namespace yz {

// The memory a file is read into, owned by the caller, so that a caller can
// keep its own kind of memory and use it again from one file to the next.
class ReadDestination {
public:
    // Room for at least capacity bytes, the first kept of them as they were.
    // Returns all the room there is, which may be more than asked; fewer
    // than capacity bytes means the memory cannot be had (errno says why).
    virtual std::span<std::uint8_t> makeRoom(std::size_t kept, std::size_t capacity) = 0;

protected:
    ~ReadDestination() = default;
};

struct BoundedRead {
    std::size_t size = 0;  // bytes read into the destination; 0 after a failure
    std::string error;     // empty on success
};

// Reads the regular file at path into `into`, at most maxBytes of it. A
// folder, a FIFO or a device is refused without ever being waited on, and a
// file that grows past maxBytes while it is read is refused too.
BoundedRead readRegularFileInto(const std::string& path, std::uint64_t maxBytes, ReadDestination& into);

struct FileContent {
    ByteBuffer bytes;   // empty after a failure
    std::string error;  // empty on success
};

// The same into an ordinary buffer.
FileContent readRegularFile(const std::string& path, std::uint64_t maxBytes);

// Replaces the file at path by exactly bytes, or leaves it as it was: the
// bytes go to a temporary file in the same folder, which is flushed to disk
// and only then renamed over path, and the folder is flushed after it.
// A link is written through: the file it points to is replaced, keeping
// the link. An existing file keeps its permissions; a new one gets those
// any new file gets. A folder, a device or an existing file the user may
// not write to is not replaced. Returns an error text, empty on success; on
// failure nothing is left behind.
std::string writeFileAtomically(const std::string& path, ByteView bytes);

}  // namespace yz
