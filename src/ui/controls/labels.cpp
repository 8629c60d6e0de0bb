#include "ui/controls/labels.h"

#include <QMouseEvent>
#include <QPainter>

namespace yz::ui {

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

TransparentLabel::TransparentLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(false);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
}

Label::Label(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);  // paintEvent fills with backgroundColour()
}

void Label::setBackgroundColour(ColourRef colour) {
    background_ = colour;
    update();
}

void Label::setBorder(Border border) {
    border_ = border;
    switch (border) {
    case Border::None:
        setFrameStyle(QFrame::NoFrame);
        setContentsMargins(0, 0, 0, 0);
        break;
    case Border::Single:
        // Drawn by paintEvent as a plain black line, as a classic WS_BORDER.
        setFrameStyle(QFrame::NoFrame);
        setContentsMargins(1, 1, 1, 1);
        break;
    case Border::Framed:
        // Margins first: QFrame keeps its frame in the contents margins, so
        // clearing them afterwards would push the frame outside the label.
        setContentsMargins(0, 0, 0, 0);
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
        break;
    }
    update();
}

void Label::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), toQColor(background_));
        if (border_ == Border::Single) {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    QLabel::paintEvent(event);
}

void Label::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        emit leftPressed(p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        emit rightPressed(p.x(), p.y());
    else
        QLabel::mousePressEvent(event);
}

}  // namespace yz::ui
