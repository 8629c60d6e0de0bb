// "保存": the icon 图片框2 holds, written to the file the user names.

#include "ui/controls/files.h"
#include "ui/controls/message_box.h"
#include "ui/main/main_window.h"

namespace yz::ui {

void MainWindow::saveIcon() {
    if (图片框2->picture().empty()) return;
    通用对话框1.setKind(FileDialog::Kind::Save);
    通用对话框1.setDefaultExtension(QStringLiteral("图片文件（*.ico）|*.ico"));
    通用对话框1.setFilter(QStringLiteral("图片文件（*.ico）|*.ico"));
    if (!通用对话框1.show(this)) return;
    // Read again: the editor's hand-back may have changed the picture while
    // the dialog was open.
    const ByteBuffer icon = 图片框2->picture();
    // Written beside the target and renamed over it when complete, so a
    // failed save leaves the old file as it was.
    if (!writeWholeFile(通用对话框1.fileName(), icon))
        showMessage(QStringLiteral("保存失败，请检查保存位置是否可以写入"));
}

}  // namespace yz::ui
