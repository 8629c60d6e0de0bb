#include "ui/controls/hyperlink_label.h"

#include <QMouseEvent>

#include "ui/controls/labels.h"

namespace yz::ui {

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    refresh();
}

void HyperlinkLabel::setColours(const QColor& normal, const QColor& visited, const QColor& hover) {
    normal_ = normal;
    visitedColour_ = visited;
    hover_ = hover;
    refresh();
}

QColor HyperlinkLabel::currentColour() const {
    if (hovered_) return hover_;
    return visited_ ? visitedColour_ : normal_;
}

void HyperlinkLabel::refresh() { setTextColour(this, currentColour()); }

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    visited_ = true;
    refresh();
    emit leftPressed();
}

void HyperlinkLabel::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    refresh();
    QLabel::enterEvent(event);
}

void HyperlinkLabel::leaveEvent(QEvent* event) {
    hovered_ = false;
    refresh();
    QLabel::leaveEvent(event);
}

}  // namespace yz::ui
