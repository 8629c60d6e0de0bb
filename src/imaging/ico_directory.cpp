#include "imaging/ico_directory.h"

#include "imaging/byte_reader.h"

namespace yz::imaging {

namespace {

constexpr std::uint64_t kDirectoryHeaderSize = 6;
constexpr std::uint64_t kEntrySize = 16;

IcoDirectoryEntry readEntry(ByteReader& in, std::size_t index) {
    const std::uint64_t at = kDirectoryHeaderSize + kEntrySize * index;
    IcoDirectoryEntry e;
    e.index = index;
    e.width = in.u8(at) == 0 ? 256 : in.u8(at);
    e.height = in.u8(at + 1) == 0 ? 256 : in.u8(at + 1);
    e.colorCount = in.u8(at + 2);
    e.bytesInRes = in.u32(at + 8);
    e.imageOffset = in.u32(at + 12);
    return e;
}

}  // namespace

DecodeResult chooseIcoEntry(ByteView file, IcoDirectoryEntry& chosen) {
    ByteReader in(file);
    const std::uint16_t reserved = in.u16(0);
    const std::uint16_t type = in.u16(2);
    const std::uint16_t count = in.u16(4);
    if (in.failed()) return DecodeResult::failure("ico: directory cut short");
    if (reserved != 0 || (type != 1 && type != 2)) return DecodeResult::failure("ico: not an icon or cursor");
    if (count == 0) return DecodeResult::failure("ico: no images");
    if (!in.contains(kDirectoryHeaderSize, kEntrySize * count)) return DecodeResult::failure("ico: directory cut short");

    for (std::size_t i = 0; i < count; ++i) {
        const IcoDirectoryEntry e = readEntry(in, i);
        if (e.width == 32 && e.colorCount >= 16) {
            chosen = e;
            return DecodeResult::success();
        }
    }
    chosen = readEntry(in, count - 1u);
    return DecodeResult::success();
}

}  // namespace yz::imaging
