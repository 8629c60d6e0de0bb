#pragma once

// What happens on the editor's enlarged picture: the cursor square that
// follows the mouse from cell to cell, the write of one pixel, and the edit
// history with its undo. The history is kept in the editor's three hidden
// list boxes, one item of each per write, so it lives exactly as long as
// the window.

#include <cstdint>

namespace yz::editor {

class EditorWindow;

// Mouse move over 图片框1 at (x, y) in its client area: remembers the cell
// under the mouse and puts the cursor label on it.
void snapCursor(EditorWindow& window, int x, int y);

// Left press on 图片框1 or on the cursor label: records the pixel of the
// remembered cell, then writes the drawing colour into it (opaque) or, in
// transparent mode, clears its alpha. A cell whose bytes are not inside the
// current pixels is left alone and nothing is recorded.
void paintCell(EditorWindow& window);

// Appends one history entry: the pixel's bytes before a write and the
// 1-based position of its alpha byte.
void recordEdit(EditorWindow& window, int oldAlpha, int oldRed, int oldGreen, int oldBlue,
                std::int32_t alphaPosition);

// Puts back the pixel of the most recent entry and removes the entry, or
// says that nothing is left to undo. An entry whose pixel is no longer
// inside the current pixels (they were replaced by a smaller icon) is
// removed without writing.
void undoEdit(EditorWindow& window);

}  // namespace yz::editor
