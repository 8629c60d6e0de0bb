#pragma once

// Reading a picture file whole and writing the icon file.

#include <QString>

#include "imaging/byte_buffer.h"

namespace yz::ui {

// Pictures larger than this are treated as unreadable: no picture the
// program can show comes near it, and reading one whole must not be able to
// exhaust memory.
inline constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

// The whole content of a regular file, or an empty buffer when the path is
// not a regular file (a folder, a FIFO, a device: never waited on), cannot
// be read, or is larger than kMaxFileBytes.
ByteBuffer readWholeFile(const QString& path);

// Replaces the file at path by exactly bytes, or leaves it untouched, as
// writeFileAtomically (app/file_io.h) does; false when it could not.
bool writeWholeFile(const QString& path, ByteView bytes);

}  // namespace yz::ui
