#pragma once

// Reading pictures and writing icons for the converter, with the care a
// command-line tool needs: input is bounded, output is never half-written.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/file_io.h"
#include "imaging/byte_buffer.h"

namespace yz::convert {

// Larger files are refused before anything is allocated for them. Far above
// any picture the decoders accept in practice, far below what would strain
// a desktop machine.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{256} << 20;

// The bytes of one picture file, in memory mapped for them alone instead of
// taken from the heap. A camera photo then lies in large pages: reading one of
// 7 MB into ordinary pages costs some 1,700 page faults, which on a virtual
// machine took a fifth of a whole conversion. The memory goes back to the
// system as soon as the picture is done with.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    // Room for capacity bytes, size 0; false when the memory cannot be had.
    // The bytes already held are kept.
    bool reserve(std::size_t capacity);
    // n must not exceed the capacity reserved.
    void resize(std::size_t n) { size_ = n; }

    std::uint8_t* data() { return base_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    ByteView view() const { return {base_, size_}; }

private:
    void release();

    std::uint8_t* base_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;
    std::size_t mappingLength_ = 0;
};

struct FileRead {
    bool ok = false;
    FileBytes bytes;
    std::string error;
};

// Only regular files are read: a folder, a FIFO or a device is refused
// without blocking on it, and a file that grows past the cap while being
// read is refused too.
//
// The memory of an earlier read may be handed in as buffer and is used again
// when large enough: in a batch, pages already in place cost nothing, where
// fresh ones cost a page fault each (a quarter of a batch's time went to
// them).
FileRead readPictureFile(const std::string& path, std::uint64_t maxBytes = kMaxPictureFileBytes,
                         FileBytes buffer = {});

// Icons are written with writeFileAtomically (app/file_io.h): the
// destination holds either its old content or the whole new icon.

}  // namespace yz::convert
