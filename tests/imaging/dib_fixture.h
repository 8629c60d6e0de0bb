#pragma once

// Builders for hand-made BMP files and ICO entries, so a test can state the
// few fields it cares about and get the rest of the headers right.

#include <cstdint>

#include "imaging/byte_buffer.h"

namespace yz::imaging::test {

inline void append16(ByteBuffer& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void append32(ByteBuffer& b, std::uint32_t v) {
    append16(b, v);
    append16(b, v >> 16);
}
inline void set16(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void set32(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    set16(b, at, v);
    set16(b, at + 2, v >> 16);
}

struct DibFields {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
};

// The info header alone; fields a size has no room for are left out, the
// rest of a long header is zero.
inline ByteBuffer infoHeader(const DibFields& s) {
    ByteBuffer b;
    append32(b, s.headerSize);
    if (s.headerSize == 12) {
        append16(b, static_cast<std::uint32_t>(s.width));
        append16(b, static_cast<std::uint32_t>(s.height));
        append16(b, 1);
        append16(b, s.bitCount);
        return b;
    }
    append32(b, static_cast<std::uint32_t>(s.width));
    append32(b, static_cast<std::uint32_t>(s.height));
    append16(b, 1);
    append16(b, s.bitCount);
    b.resize(s.headerSize, 0);
    if (s.headerSize >= 20) set32(b, 16, s.compression);
    if (s.headerSize >= 36) set32(b, 32, s.colorsUsed);
    return b;
}

// A whole BMP: file header, info header, `table` (colour table or bitfield
// masks, as raw bytes) and the stored rows, pixel offset pointing right
// after the table.
inline ByteBuffer bmpFile(const DibFields& s, ByteView table, ByteView rows) {
    const ByteBuffer info = infoHeader(s);
    ByteBuffer b{'B', 'M'};
    append32(b, static_cast<std::uint32_t>(14 + info.size() + table.size() + rows.size()));
    append32(b, 0);
    append32(b, static_cast<std::uint32_t>(14 + info.size() + table.size()));
    return joinBuffers({b, info, table, rows});
}

}  // namespace yz::imaging::test
