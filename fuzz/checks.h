#pragma once

// What every fuzz target asserts, kept apart from libFuzzer so that the
// hostile-file tests can run a saved finding through exactly the same checks.
// Each check returns an empty string when the input was handled correctly and
// a description of the first broken promise otherwise.

#include <string>
#include <string_view>

#include "imaging/byte_buffer.h"

namespace yz::fuzz {

// The decoders one by one, with a sink that checks the row contract: begin()
// once with an acceptable size before any row, every row exactly once, y in
// range and rows exactly as wide as announced; a success must have delivered
// every row and a failure must say why. JPEG decodes at a target size picked
// from the input's hash.
std::string checkDecodeBmp(ByteView file);
std::string checkDecodeIco(ByteView file);
std::string checkDecodeJpeg(ByteView file);
std::string checkDecodeGif(ByteView file);
std::string checkDecodePcx(ByteView file);

// The picture box's renderer at two target sizes picked from the input's hash:
// the image is always exactly the target size, and undrawn means background.
std::string checkRender(ByteView file);

// The converter's path from picture bytes to icon: the source box image, the
// snapshot at 48 or 16, the generation into an AppState and the icon's length.
std::string checkConvert(ByteView file);

// The check a saved finding belongs to, from the target name its file name
// starts with ("decode_gif-...", "render-...", "convert-..."); null if none.
using Check = std::string (*)(ByteView);
Check checkForTarget(std::string_view fileName);

// A stable hash of the whole input, so a saved finding replays with the same
// sizes and settings the fuzzer chose for it.
std::uint64_t inputHash(ByteView file);

}  // namespace yz::fuzz
