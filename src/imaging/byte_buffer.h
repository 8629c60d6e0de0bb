#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace yz {

// Every image the program handles (templates, snapshots, pixels, icon and
// picture files) travels as a plain owned byte vector: copying it copies the
// bytes, so a field that holds one is always replaced whole.
using ByteBuffer = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// The bytes of every part in order; empty parts contribute nothing.
inline ByteBuffer joinBuffers(std::initializer_list<ByteView> parts) {
    std::size_t total = 0;
    for (ByteView part : parts) total += part.size();
    ByteBuffer joined;
    joined.reserve(total);
    for (ByteView part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

}  // namespace yz
