#pragma once

// The editor's grid: the 240x240 picture box split into n x n cells, one per
// pixel of the icon being edited, and the way from a cell to the pixel's
// bytes in pixelBuffer. No Qt here, so the arithmetic can be checked alone.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "app/app_state.h"
#include "icon/icon_layout.h"

namespace yz::editor {

inline constexpr int kPictureBoxSize = 240;

// The edge of the pixels being edited, whatever size the next generation
// will make: the grid must follow the pixels, or a 16x16 icon would be
// addressed as rows of 48 and presses would land on the wrong pixels.
inline int gridSizeOf(const AppState& app) { return app.pixelSize == 16 ? 16 : 48; }

// Screen pixels per cell edge: 5 for 48x48, 15 for 16x16.
inline constexpr int cellPixels(int gridSize) { return kPictureBoxSize / gridSize; }

// Left (or top) edge of the cell holding the mouse position, a multiple of
// the cell edge. Positions left of or beyond the grid (a mouse dragged out
// with a button held) snap to the nearest edge cell, so a snap never names
// a cell that does not exist.
inline constexpr int snapToCell(int position, int gridSize) {
    const int cell = cellPixels(gridSize);
    return std::clamp(position / cell, 0, gridSize - 1) * cell;
}

// 1-based column or row of the cell whose edge is at snapped; clamped for
// the same reason, since the snap may date from a grid of the other size.
inline constexpr int cellIndexOf(int snapped, int gridSize) {
    return std::clamp(snapped / cellPixels(gridSize), 0, gridSize - 1) + 1;
}

// 1-based position of the alpha byte of the cell in column c and row r
// (both from 1, row 1 at the top) in a bottom-up bitmap of gridSize rows:
// (c + (n - r) * n) * 4.
inline constexpr std::int32_t alphaPositionOf(int gridSize, int column, int row) {
    return static_cast<std::int32_t>(icon::pixelOffset(gridSize, column - 1, row - 1)) + 4;
}

// Whether all four bytes ending at the 1-based alpha position lie inside a
// buffer of the given length, so that indices alphaPosition - 4 ...
// alphaPosition - 1 may be touched.
inline constexpr bool pixelInside(std::int64_t alphaPosition, std::size_t bufferLength) {
    return alphaPosition >= 4 && static_cast<std::uint64_t>(alphaPosition) <= bufferLength;
}

}  // namespace yz::editor
