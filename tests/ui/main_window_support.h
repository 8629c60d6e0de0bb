#pragma once

// A fresh program for one test: the records, MainWindow created by the frame
// (creation step included) and shown.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>

#include "app/frame.h"
#include "ui_test_support.h"

namespace yz::test {

struct Session {
    app::Program program;

    Session() {
        app::createMainWindow(program);
        // Tests close windows freely; that must not end their event loops.
        program.mainWindow->onClosing = nullptr;
        program.mainWindow->show();
        if (!QTest::qWaitForWindowExposed(program.mainWindow.get())) qWarning("main window not exposed");
    }
    ui::MainWindow& window() { return *program.mainWindow; }
    AppState& state() { return program.state; }
};

inline QMimeData* filesData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// A drag entering over `over` (any control of the window) and, when the
// window takes it, the drop: Qt itself carries both to the widget that
// accepts drops. Returns whether the drag was taken.
inline bool dragAndDrop(QWidget* over, const QMimeData& data) {
    const QPoint at = over->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(over, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(over, &drop);
    return drop.isAccepted();
}

// Answers the next file dialog by choosing path, or by cancelling when path
// is empty; records the name the dialog offered at first.
inline std::shared_ptr<QString> answerFileDialog(const QString& path) {
    auto offered = std::make_shared<QString>();
    whenModal<QFileDialog>([offered, path](QFileDialog* dialog) {
        *offered = dialog->selectedFiles().value(0);
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        chooseInDialog(dialog, path);
    });
    return offered;
}

}  // namespace yz::test
