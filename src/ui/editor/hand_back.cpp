#include "ui/editor/hand_back.h"

#include <QPointer>
#include <QTimer>

#include "app/app_state.h"
#include "ui/controls/message_box.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/tool_window.h"
#include "ui/main/main_window.h"

namespace yz::editor {

namespace {

// At most one editor at a time; the pointer clears itself when the window
// closes and deletes itself.
QPointer<EditorWindow>& theEditor() {
    static QPointer<EditorWindow> editor;
    return editor;
}

}  // namespace

EditorWindow* openEditorWindow() { return theEditor().data(); }

EditorWindow* openEditor(AppState& app, EditorState& editor, const ui::PictureBox& resultBox, QTimer& mainTimer) {
    if (resultBox.picture().empty()) {
        ui::showMessage(QStringLiteral("请先生成ICO图片"));
        return nullptr;
    }
    app.editorFinished = 0;
    mainTimer.start(1000);

    QPointer<EditorWindow>& open = theEditor();
    if (open.isNull()) {
        open = new EditorWindow(app, editor);
        centreOnScreen(*open);
        open->show();
    } else if (open->isMinimized()) {
        open->showNormal();
    }
    open->raise();
    open->activateWindow();
    return open;
}

void pollEditorFinished(AppState& app, ui::PictureBox& resultBox, QTimer& mainTimer) {
    if (app.editorFinished != 1) return;
    resultBox.setPicture(app.iconBytes);
    mainTimer.stop();
}

void attachEditor(ui::MainWindow& mainWindow) {
    ui::MainWindow* main = &mainWindow;
    main->onEditClicked = [main] {
        openEditor(main->state(), main->editorState(), *main->图片框2, *main->时钟1);
    };
    main->onClockTick = [main] { pollEditorFinished(main->state(), *main->图片框2, *main->时钟1); };
}

}  // namespace yz::editor
