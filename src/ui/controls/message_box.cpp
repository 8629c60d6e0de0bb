#include "ui/controls/message_box.h"

#include <QMessageBox>

namespace yz::ui {

void showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("信息："), text, QMessageBox::Ok, nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace yz::ui
