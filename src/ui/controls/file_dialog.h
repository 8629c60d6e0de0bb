#pragma once

// One open/save dialog object whose settings stay on it between uses, as the
// main window shares it between opening a picture and saving the icon.
//
//   setKind(Open | Save)
//   setFilter("description|patterns[|description|patterns...]"), patterns
//       separated by ";" (e.g. "图片文件（*.ico）|*.ico"); the user sees
//       exactly the descriptions.
//   setDefaultExtension(text)  any non-empty text turns completion on: a name
//       typed without an extension gets the extension of the selected
//       filter's first pattern. Empty turns it off.
//   fileName()   the full path chosen last (empty at first); it is offered
//       as the initial name whenever either kind of dialog opens.
//   show(parent) runs the dialog modally; true when the user confirmed a
//       non-empty name, which then replaces fileName(). A cancel changes
//       nothing.
//
// An open dialog accepts only an existing file; a save dialog asks before
// replacing an existing file. There is no read-only box. The dialog is Qt's
// own (never the desktop's), so it looks the same everywhere and tests can
// drive it: it is the application's active modal widget while shown.

#include <QString>
#include <QStringList>

class QWidget;

namespace yz::ui {

class FileDialog {
public:
    enum class Kind { Open, Save };

    void setKind(Kind kind) { kind_ = kind; }
    Kind kind() const { return kind_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    QString filter() const { return filter_; }
    void setDefaultExtension(const QString& extension) { defaultExtension_ = extension; }
    QString defaultExtension() const { return defaultExtension_; }
    void setFileName(const QString& path) { fileName_ = path; }
    QString fileName() const { return fileName_; }

    bool show(QWidget* parent);

    // The filter in Qt's syntax, one "description (patterns)" per entry.
    static QStringList qtNameFilters(const QString& filter);

private:
    Kind kind_ = Kind::Open;
    QString filter_;
    QString defaultExtension_;
    QString fileName_;
};

}  // namespace yz::ui
