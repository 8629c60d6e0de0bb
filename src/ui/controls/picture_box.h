#pragma once

// Picture box: holds a whole image file and shows it stretched to fill its
// client area over the button-face colour.
//
//   setPicture(bytes)  stores a copy and repaints; any bytes are accepted,
//                      undecodable ones simply draw nothing but the fill.
//   picture()          exactly the bytes last set (empty before any).
//   setBorder(true)    a single-line border; the client area (where the
//                      picture is drawn and mouse positions are measured) is
//                      then the inside of it, 2 pixels smaller each way.
//   mouseMoved / leftPressed / rightPressed carry client coordinates.
//
// The drawing is what the picture renderer makes of the bytes at the
// client size, shown pixel for pixel: no further scaling by Qt, so what the
// box displays is exactly what the converter computes for the same file.

#include <QImage>
#include <QWidget>

#include "imaging/byte_buffer.h"
#include "imaging/render.h"

namespace yz::ui {

class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(ByteBuffer bytes);
    const ByteBuffer& picture() const { return picture_; }

    void setBorder(bool border);
    bool hasBorder() const { return border_; }

    // The area inside the border, in the widget's own coordinates.
    QRect clientRect() const;

signals:
    void mouseMoved(int x, int y);
    void leftPressed(int x, int y);
    void rightPressed(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void invalidate();
    const QImage& drawing();

    ByteBuffer picture_;
    bool border_ = false;
    // The rendered picture at the current client size; rgb_ owns the pixels
    // that image_ wraps.
    imaging::RgbImage rgb_;
    QImage image_;
    bool drawingValid_ = false;
};

}  // namespace yz::ui
