#pragma once

// The directory at the start of an ICO or CUR file, and the rule that picks
// the one entry a picture box shows.

#include <cstddef>
#include <cstdint>

#include "imaging/picture.h"

namespace yz::imaging {

// One ICONDIRENTRY (16 bytes). In a cursor the planes and bit count fields
// hold the hot spot instead; nothing here reads them.
struct IcoDirectoryEntry {
    std::size_t index = 0;  // position in the directory, from 0
    int width = 0;          // bWidth; a stored 0 means 256
    int height = 0;         // bHeight; a stored 0 means 256
    int colorCount = 0;     // bColorCount as stored; 0 for 256 colours or more
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;
};

// Reads the directory (6 bytes, then 16 for each entry, all inside the file)
// and returns the entry shown: the first one 32 pixels wide with a colour
// count of 16 or more, failing that the last one. Whether the entry's data
// lies inside the file is left to the caller.
DecodeResult chooseIcoEntry(ByteView file, IcoDirectoryEntry& chosen);

}  // namespace yz::imaging
