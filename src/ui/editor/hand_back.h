#pragma once

// The main window's side of the editor: "修改" opens it, and the main
// window's one-second timer takes the edited icon back once "完成" has
// been pressed.

class QTimer;

namespace yz {
struct AppState;
struct EditorState;
}  // namespace yz

namespace yz::ui {
class MainWindow;
class PictureBox;
}

namespace yz::editor {

class EditorWindow;

// "修改": with an icon in resultBox (the main window's 图片框2), clears the
// finished flag, (re)starts mainTimer at 1000 ms and opens the editor, or
// restores and activates the one already open, history and all. Without an
// icon it only says so. Returns the editor window, or null.
EditorWindow* openEditor(AppState& app, EditorState& editor, const ui::PictureBox& resultBox, QTimer& mainTimer);

// Each tick of mainTimer: once "完成" has been pressed, resultBox shows the
// edited icon and the timer stops.
void pollEditorFinished(AppState& app, ui::PictureBox& resultBox, QTimer& mainTimer);

// Wires the main window's "修改" and its timer 时钟1 to the two handlers
// above, on the window's own records and controls.
void attachEditor(ui::MainWindow& mainWindow);

// The editor window while it is open, else null.
EditorWindow* openEditorWindow();

}  // namespace yz::editor
