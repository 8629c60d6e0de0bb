// "生成": from the picture as 图片框1 displays it to the icon in 图片框2.

#include <QImage>

#include "icon/generation.h"
#include "ui/controls/message_box.h"
#include "ui/main/main_window.h"

namespace yz::ui {

ByteBuffer MainWindow::snapshotOfSourceBox(int size) {
    // Rendered from the parent, so that the hint label lying over the
    // picture box is captured with it while it is shown. One image pixel per
    // widget pixel whatever the screen's scaling, and no colour management:
    // the capture holds exactly the colours painted.
    const QRect area = 图片框1->geometry();
    QImage painted(area.size(), QImage::Format_RGB32);
    painted.setDevicePixelRatio(1);
    painted.fill(QColor::fromRgb(kButtonFaceRgb));
    图片框1->parentWidget()->render(&painted, QPoint(), QRegion(area),
                                    QWidget::DrawWindowBackground | QWidget::DrawChildren);

    imaging::RgbImage capture(area.width(), area.height(), imaging::kButtonFace);
    for (int y = 0; y < capture.height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
        std::uint8_t* out = capture.rgb.data() + static_cast<std::size_t>(y) * capture.width * 3;
        for (int x = 0; x < capture.width; ++x) {
            out[3 * x] = static_cast<std::uint8_t>(qRed(line[x]));
            out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(line[x]));
            out[3 * x + 2] = static_cast<std::uint8_t>(qBlue(line[x]));
        }
    }
    return icon::snapshotOf(capture, size);
}

void MainWindow::generateIcon() {
    if (图片框1->picture().empty()) {
        showMessage(QStringLiteral("请先加入需要生成的图片"));
        return;
    }
    // storeGeneration refuses a snapshot of the wrong length and then
    // changes nothing, so a failed capture never leaves an invalid icon.
    if (storeGeneration(state_, snapshotOfSourceBox(state_.iconSize), 选择框3->isChecked()))
        图片框2->setPicture(state_.iconBytes);
}

}  // namespace yz::ui
