#pragma once

// Bounded little-endian reads from a byte view. Every read names an absolute
// offset; one that would leave the bytes returns 0 and marks the reader as
// failed, so a parser can read a whole header and check once at the end
// instead of guarding every field.

#include <cstdint>

#include "imaging/byte_buffer.h"

namespace yz::imaging {

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
// Written so that no sum can wrap around, whatever a file claims.
inline constexpr bool rangeInside(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

class ByteReader {
public:
    explicit ByteReader(ByteView bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    bool contains(std::uint64_t offset, std::uint64_t length) const { return rangeInside(offset, length, size()); }
    bool failed() const { return failed_; }

    std::uint8_t u8(std::uint64_t offset) {
        if (!contains(offset, 1)) return fail();
        return bytes_[offset];
    }
    std::uint16_t u16(std::uint64_t offset) {
        if (!contains(offset, 2)) return fail();
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t u32(std::uint64_t offset) {
        if (!contains(offset, 4)) return fail();
        return static_cast<std::uint32_t>(bytes_[offset]) | static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::int32_t i32(std::uint64_t offset) { return static_cast<std::int32_t>(u32(offset)); }

    // The bytes [offset, offset + length), or an empty view (and a failed
    // reader) when they are not all there.
    ByteView span(std::uint64_t offset, std::uint64_t length) {
        if (!contains(offset, length)) {
            failed_ = true;
            return {};
        }
        return bytes_.subspan(offset, length);
    }

private:
    std::uint8_t fail() {
        failed_ = true;
        return 0;
    }

    ByteView bytes_;
    bool failed_ = false;
};

}  // namespace yz::imaging
