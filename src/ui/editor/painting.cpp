#include "ui/editor/painting.h"

#include <QListWidget>

#include "ui/controls/buttons.h"
#include "ui/controls/labels.h"
#include "ui/controls/message_box.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/edit_grid.h"
#include "ui/editor/editor_window.h"

namespace yz::editor {

namespace {

void appendItem(QListWidget* list, std::int32_t text, std::int32_t data) {
    auto* item = new QListWidgetItem(QString::number(text));
    item->setData(Qt::UserRole, data);
    list->addItem(item);
}

QListWidgetItem* lastItem(QListWidget* list) { return list->item(list->count() - 1); }

int textOf(QListWidgetItem* item) { return item->text().toInt(); }
int dataOf(QListWidgetItem* item) { return item->data(Qt::UserRole).toInt(); }

void removeLast(QListWidget* list) { delete list->takeItem(list->count() - 1); }

std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

// Every change of the pixels is shown as a whole new icon file.
void reassembleAndShow(EditorWindow& window) {
    assembleIcon(window.app());
    window.图片框1->setPicture(window.app().iconBytes);
}

}  // namespace

void snapCursor(EditorWindow& window, int x, int y) {
    EditorState& editor = window.editorState();
    const int n = gridSizeOf(window.app());
    editor.snapX = snapToCell(x, n);
    editor.snapY = snapToCell(y, n);
    // The picture box's outer corner, border included: the square sits one
    // border width up and left of the cell it marks, as it always has.
    const int cell = cellPixels(n);
    window.标签1->setGeometry(window.图片框1->x() + editor.snapX, window.图片框1->y() + editor.snapY, cell, cell);
}

void paintCell(EditorWindow& window) {
    AppState& app = window.app();
    EditorState& editor = window.editorState();
    const int n = gridSizeOf(app);
    const int column = cellIndexOf(editor.snapX, n);
    const int row = cellIndexOf(editor.snapY, n);
    const std::int32_t alphaPosition = alphaPositionOf(n, column, row);
    // The pixels may have been replaced meanwhile by a generation of
    // another size; a cell outside them is not written, so not recorded.
    if (!pixelInside(alphaPosition, app.pixelBuffer.size())) return;

    editor.column = column;
    editor.row = row;
    editor.alphaPosition = alphaPosition;
    std::uint8_t* pixel = app.pixelBuffer.data() + (alphaPosition - 4);  // blue, green, red, alpha
    editor.oldAlpha = pixel[3];
    editor.oldRed = pixel[2];
    editor.oldGreen = pixel[1];
    editor.oldBlue = pixel[0];
    // Recorded before the write, also when the write changes nothing.
    recordEdit(window, editor.oldAlpha, editor.oldRed, editor.oldGreen, editor.oldBlue, alphaPosition);

    if (window.选择框1->isChecked()) {
        // Erasing keeps the colour, so an undo or a later opaque write finds
        // it where it was.
        pixel[3] = 0;
    } else {
        const ui::ColourRef colour = window.drawingColour();
        editor.colourBytes = {lowByte(colour), lowByte(colour >> 8), lowByte(colour >> 16),
                              lowByte(static_cast<int>(colour >> 24))};
        editor.newRed = editor.colourBytes[0];
        editor.newGreen = editor.colourBytes[1];
        editor.newBlue = editor.colourBytes[2];
        // The fourth byte is not used: the default colour paints opaque
        // black.
        pixel[3] = 255;
        pixel[2] = lowByte(editor.newRed);
        pixel[1] = lowByte(editor.newGreen);
        pixel[0] = lowByte(editor.newBlue);
    }
    reassembleAndShow(window);
}

void recordEdit(EditorWindow& window, int oldAlpha, int oldRed, int oldGreen, int oldBlue,
                std::int32_t alphaPosition) {
    appendItem(window.列表框1, oldAlpha, oldRed);
    appendItem(window.列表框2, oldGreen, oldBlue);
    appendItem(window.列表框3, alphaPosition, 0);
}

void undoEdit(EditorWindow& window) {
    // The three lists always grow and shrink together, so the last one
    // alone says whether anything is left.
    if (window.列表框3->count() == 0 || window.列表框1->count() == 0 || window.列表框2->count() == 0) {
        ui::showMessage(QStringLiteral("已到达最初状态"));
        return;
    }
    ByteBuffer& pixels = window.app().pixelBuffer;
    const std::int64_t p = lastItem(window.列表框3)->text().toLongLong();
    const bool inside = pixelInside(p, pixels.size());
    if (inside) {
        QListWidgetItem* alphaRed = lastItem(window.列表框1);
        QListWidgetItem* greenBlue = lastItem(window.列表框2);
        pixels[p - 1] = lowByte(textOf(alphaRed));
        pixels[p - 2] = lowByte(dataOf(alphaRed));
        pixels[p - 3] = lowByte(textOf(greenBlue));
        pixels[p - 4] = lowByte(dataOf(greenBlue));
    }
    removeLast(window.列表框1);
    removeLast(window.列表框2);
    removeLast(window.列表框3);
    if (inside) {
        reassembleAndShow(window);
    } else {
        // An entry of pixels that have since been replaced by a smaller
        // icon: it is dropped without touching the new pixels; the picture
        // catches up with them.
        window.图片框1->setPicture(window.app().iconBytes);
    }
}

}  // namespace yz::editor
