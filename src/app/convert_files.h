#pragma once

// Reading pictures and writing icons for the converter, with the care a
// command-line tool needs: input is bounded, output is never half-written.

#include <cstdint>
#include <string>

#include "imaging/byte_buffer.h"

namespace yz::convert {

// Larger files are refused before anything is allocated for them. Far above
// any picture the decoders accept in practice, far below what would strain
// a desktop machine.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{256} << 20;

struct FileRead {
    bool ok = false;
    ByteBuffer bytes;
    std::string error;
};

// Only regular files are read: a folder, a FIFO or a device is refused
// without blocking on it, and a file that grows past the cap while being
// read is refused too.
FileRead readPictureFile(const std::string& path, std::uint64_t maxBytes = kMaxPictureFileBytes);

// Writes bytes to a temporary file in the destination's folder, flushes it to
// disk and renames it over path, so that path holds either its old content or
// the whole new one. Returns an error text, empty on success; on failure the
// temporary file is removed.
std::string writeFileAtomically(const std::string& path, ByteView bytes);

}  // namespace yz::convert
