#include "ui/controls/file_drop_target.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace yz::ui {

FileDropTarget::FileDropTarget(QWidget* window) : QObject(window), window_(window) {}

void FileDropTarget::registerOnWindow() {
    if (registered_) return;
    registered_ = true;
    window_->setAcceptDrops(true);
    window_->installEventFilter(this);
}

QString FileDropTarget::dropText(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    QStringList paths;
    for (const QUrl& url : urls) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (path.isEmpty()) return {};
        paths << QDir::toNativeSeparators(path);
    }
    if (paths.isEmpty()) return {};
    if (paths.size() == 1) return paths.front();
    QString text;
    for (const QString& path : paths) text += path + QStringLiteral("\r\n");
    return text;
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (acceptFiles_ && !dropText(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString text = acceptFiles_ ? dropText(drop->mimeData()) : QString();
        if (text.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // Raised once the drop itself has completed, so that a handler that
        // shows a message does not keep the drag source waiting.
        QMetaObject::invokeMethod(
            this, [this, text] { emit filesDropped(text); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace yz::ui
