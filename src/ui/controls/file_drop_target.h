#pragma once

// File drop target for a whole window: once registered, a file dropped
// anywhere on the window, over any of its controls, raises filesDropped.
// Only drops that consist of local files are taken; text, HTML and links to
// anything that is not a local file are refused (the cursor shows no-drop).
//
//   FileDropTarget(window)   nothing is registered yet.
//   registerOnWindow()       routes the window's drag and drop events here.
//   setAcceptFiles(bool)     whether file drops are taken at all.
//   filesDropped(text)       the one path dropped, or, for several files
//                            dropped together, every path followed by "\r\n";
//                            raised from the event loop just after the drop.
//
// Qt delivers a drag to the nearest widget under the cursor that accepts
// drops; no child of the window may accept drops, so that the window gets
// them all.

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

namespace yz::ui {

class FileDropTarget : public QObject {
    Q_OBJECT

public:
    explicit FileDropTarget(QWidget* window);

    void registerOnWindow();
    void setAcceptFiles(bool accept) { acceptFiles_ = accept; }
    bool acceptsFiles() const { return acceptFiles_; }

    // The event's text for these data, or an empty string when they are not
    // a drop of local files only.
    static QString dropText(const QMimeData* data);

signals:
    void filesDropped(const QString& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool registered_ = false;
    bool acceptFiles_ = false;
};

}  // namespace yz::ui
