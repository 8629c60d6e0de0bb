#include "ui/controls/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace yz::ui {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted by paintEvent, border included.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setPicture(ByteBuffer bytes) {
    picture_ = std::move(bytes);
    invalidate();
}

void PictureBox::setBorder(bool border) {
    if (border_ == border) return;
    border_ = border;
    invalidate();
}

QRect PictureBox::clientRect() const { return border_ ? rect().adjusted(1, 1, -1, -1) : rect(); }

void PictureBox::invalidate() {
    drawingValid_ = false;
    update();
}

const QImage& PictureBox::drawing() {
    if (!drawingValid_) {
        const QRect client = clientRect();
        if (client.width() > 0 && client.height() > 0) {
            rgb_ = imaging::renderPicture(picture_, client.width(), client.height(), imaging::kButtonFace).image;
            image_ = QImage(rgb_.rgb.data(), rgb_.width, rgb_.height, rgb_.width * 3, QImage::Format_RGB888);
        } else {
            rgb_ = {};
            image_ = QImage();
        }
        drawingValid_ = true;
    }
    return image_;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (border_) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QImage& image = drawing();
    if (!image.isNull()) painter.drawImage(clientRect().topLeft(), image);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidate();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() - clientRect().topLeft();
    emit mouseMoved(p.x(), p.y());
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() - clientRect().topLeft();
    if (event->button() == Qt::LeftButton)
        emit leftPressed(p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        emit rightPressed(p.x(), p.y());
    else
        QWidget::mousePressEvent(event);
}

}  // namespace yz::ui
