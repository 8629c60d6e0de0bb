#include "ui/editor/help_window.h"

#include <QPointer>

#include "ui/controls/labels.h"
#include "ui/controls/look.h"
#include "ui/editor/tool_window.h"

namespace yz::editor {

HelpWindow::HelpWindow() {
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("砚舟"));
    makeToolWindow(*this, QSize(380, 90), false);

    标签1 = new ui::Label(QString(), this);
    标签1->setObjectName(QStringLiteral("标签1"));
    标签1->setGeometry(11, 5, 352, 48);
    标签1->setBorder(ui::Label::Border::Framed);
    标签1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    标签1->setWordWrap(true);
    标签1->setFont(ui::heiFont(16, false));
    标签1->setTextColour(Qt::black);
    标签1->setText(QStringLiteral("功能：可以透明色块，可以增加色块！\n快捷：鼠标右键快捷撤销"));
}

HelpWindow* openHelp() {
    // Lives as long as the window: cleared when it closes and deletes itself.
    static QPointer<HelpWindow> open;
    if (open.isNull()) {
        open = new HelpWindow;
        centreOnScreen(*open);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
}

}  // namespace yz::editor
