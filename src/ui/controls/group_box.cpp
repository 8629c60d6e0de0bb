#include "ui/controls/group_box.h"

#include <QPainter>

#include "ui/controls/labels.h"

namespace yz::ui {

GroupBox::GroupBox(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setFocusPolicy(Qt::NoFocus);
}

void GroupBox::setTitle(const QString& title) {
    title_ = title;
    update();
}

void GroupBox::setTitleColour(const QColor& colour) { setTextColour(this, colour); }

void GroupBox::setTitleAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame = rect().adjusted(0, top, -1, -1);

    // Etched: a shadow line with a highlight line one pixel inside it.
    const QColor shadow = palette().color(QPalette::Mid);
    const QColor light = palette().color(QPalette::Light);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(light);
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    painter.setPen(shadow);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));

    if (title_.isEmpty()) return;
    const int textWidth = metrics.horizontalAdvance(title_);
    const int gap = 2;
    int x = 8;
    if (alignment_ & Qt::AlignHCenter) x = (width() - textWidth) / 2;
    else if (alignment_ & Qt::AlignRight) x = width() - 8 - textWidth;
    const QRect textRect(x, 0, textWidth, metrics.height());
    painter.fillRect(textRect.adjusted(-gap, 0, gap, 0), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
}

}  // namespace yz::ui
