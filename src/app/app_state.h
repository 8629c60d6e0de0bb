#pragma once

// The program-wide records. Plain data with no Qt, so the engine's tests and
// other front ends can use them directly.

#include <cstdint>

#include "icon/keying.h"
#include "imaging/byte_buffer.h"

namespace yz {

struct AppState {
    icon::KeyColour keyColour;
    ByteBuffer headerTemplate;
    std::int32_t iconSize = 0;
    ByteBuffer maskTemplate;
    std::int32_t editorFinished = 0;
    ByteBuffer pixelBuffer;
    ByteBuffer iconBytes;
    ByteBuffer snapshotBytes;
    std::int32_t tolerance = 0;
    // The size pixelBuffer was generated at (0 before the first generation).
    // iconSize only says what the next generation makes; edits of the
    // existing pixels must be framed by the templates of their own size.
    std::int32_t pixelSize = 0;
};

struct EditorState {
    std::int32_t column = 0;
    std::int32_t snapX = 0;
    std::int32_t row = 0;
    std::int32_t snapY = 0;
    std::int32_t alphaPosition = 0;
    std::int32_t oldAlpha = 0;
    std::int32_t oldRed = 0;
    std::int32_t oldGreen = 0;
    std::int32_t oldBlue = 0;
    ByteBuffer colourBytes;
    std::int32_t newRed = 0;
    std::int32_t newGreen = 0;
    std::int32_t newBlue = 0;
};

// Loads the templates of size 48 or 16 together with iconSize; nothing else.
void selectIconSize(AppState& state, int size);

// iconBytes := header + pixelBuffer + mask, with the templates of the size
// the pixels were generated at (those in force when nothing was generated).
void assembleIcon(AppState& state);

// Replaces the generation's results: snapshot, pixels, key and the size they
// were made at, then assembles. Does nothing when the snapshot does not hold
// exactly iconSize x iconSize pixels, so a failed capture never leaves an
// invalid icon behind.
bool storeGeneration(AppState& state, ByteBuffer snapshot, bool automaticKey);

}  // namespace yz
