#include "ui/controls/colour_picker.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QToolButton>
#include <array>

namespace yz::ui {

namespace {

// The sixteen classic system colours: two rows of eight.
constexpr std::array<ColourRef, 16> kPalette{
    colourRef(0, 0, 0),       colourRef(128, 0, 0),   colourRef(0, 128, 0),   colourRef(128, 128, 0),
    colourRef(0, 0, 128),     colourRef(128, 0, 128), colourRef(0, 128, 128), colourRef(128, 128, 128),
    colourRef(192, 192, 192), colourRef(255, 0, 0),   colourRef(0, 255, 0),   colourRef(255, 255, 0),
    colourRef(0, 0, 255),     colourRef(255, 0, 255), colourRef(0, 255, 255), colourRef(255, 255, 255),
};

QString swatchName(ColourRef c) {
    return QString::asprintf("swatch%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
}

}  // namespace

ColourPicker::ColourPicker(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QPushButton::clicked, this, &ColourPicker::showPalette);
}

std::span<const ColourRef> ColourPicker::paletteColours() { return kPalette; }

void ColourPicker::setColour(ColourRef colour) {
    colour_ = colour;
    update();
}

void ColourPicker::confirm(ColourRef colour) {
    setColour(colour);
    emit colourPicked(colour);
}

void ColourPicker::showPalette() {
    auto* popup = new QFrame(this, Qt::Popup);
    popup->setObjectName(QStringLiteral("colourPalette"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* grid = new QGridLayout(popup);
    grid->setContentsMargins(3, 3, 3, 3);
    grid->setSpacing(1);
    const int columns = 8;
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
        const ColourRef c = kPalette[i];
        auto* swatch = new QToolButton(popup);
        swatch->setObjectName(swatchName(c));
        QPixmap fill(14, 14);
        fill.fill(toQColor(c));
        swatch->setIcon(QIcon(fill));
        swatch->setIconSize(QSize(14, 14));
        swatch->setAutoRaise(true);
        swatch->setFixedSize(20, 20);
        connect(swatch, &QToolButton::clicked, this, [this, popup, c] {
            popup->close();
            confirm(c);
        });
        grid->addWidget(swatch, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    }
    auto* other = new QPushButton(QStringLiteral("其他颜色…"), popup);
    other->setObjectName(QStringLiteral("otherColours"));
    connect(other, &QPushButton::clicked, this, [this, popup] {
        popup->close();
        // The dialog runs its own event loop: start it once the popup's
        // click has finished and the popup is gone.
        QTimer::singleShot(0, this, &ColourPicker::chooseInDialog);
    });
    grid->addWidget(other, static_cast<int>(kPalette.size()) / columns, 0, 1, columns);
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

void ColourPicker::chooseInDialog() {
    QColorDialog dialog(toQColor(colour_), window());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted) confirm(fromQColor(dialog.selectedColor()));
}

void ColourPicker::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int arrowWidth = 12;
    const QRect swatch = rect().adjusted(5, 5, -5 - arrowWidth, -5);
    painter.fillRect(swatch, toQColor(colour_));
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));

    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(swatch.right() + 3, (height() - 8) / 2, arrowWidth - 4, 8);
    painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);
}

}  // namespace yz::ui
