// Taking a picture in: the open dialog and file drops.

#include "ui/controls/files.h"
#include "ui/controls/message_box.h"
#include "ui/main/main_window.h"

namespace yz::ui {

void MainWindow::openPicture() {
    通用对话框1.setKind(FileDialog::Kind::Open);
    通用对话框1.setFilter(QStringLiteral("图片文件（*.jpg;*.bmp）|*.jpg;*.bmp"));
    if (!通用对话框1.show(this)) return;
    // The name is not checked: the filter only narrows the list, and any
    // file the user names is taken. The hint stays over the new picture.
    图片框1->setPicture(readWholeFile(通用对话框1.fileName()));
}

void MainWindow::dropPicture(const QString& paths) {
    // Everything after the last "."; all of it when there is none. Several
    // files end in "\r\n" and so never match. The comparison is exact, so
    // "JPG" or "jpeg" are refused.
    const qsizetype dot = paths.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? paths : paths.mid(dot + 1);
    if (extension != QLatin1String("jpg") && extension != QLatin1String("bmp") && extension != QLatin1String("ico")) {
        showMessage(QStringLiteral("该文件不是图片文件或暂不支持该格式图片"));
        return;
    }
    图片框1->setPicture(readWholeFile(paths));
    透明标签2->hide();
}

}  // namespace yz::ui
