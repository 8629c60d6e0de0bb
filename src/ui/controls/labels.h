#pragma once

// The two label kinds.
//
// TransparentLabel: draws only its text, so whatever lies beneath it (a
// picture box, the window) shows through around the letters. One line,
// no word wrap; font, colour and alignment as set.
//
// Label: an opaque label with a background colour, an optional border and
// left/right press events.
//   setBackgroundColour(c)  c is 0x00BBGGRR, or kDefaultColour for the
//                           button face; backgroundColour() gives back the
//                           value last set, unchanged.
//   setTextColour(QColor)
//   setBorder(Border::None | Border::Single (1-pixel line) | Border::Framed
//             (sunken frame))
//   leftPressed / rightPressed carry the position inside the label.

#include <QLabel>

#include "ui/controls/colours.h"

namespace yz::ui {

void setTextColour(QWidget* widget, const QColor& colour);

class TransparentLabel : public QLabel {
public:
    explicit TransparentLabel(const QString& text = {}, QWidget* parent = nullptr);
    void setTextColour(const QColor& colour) { yz::ui::setTextColour(this, colour); }
};

class Label : public QLabel {
    Q_OBJECT

public:
    enum class Border { None, Single, Framed };

    explicit Label(const QString& text = {}, QWidget* parent = nullptr);

    void setBackgroundColour(ColourRef colour);
    ColourRef backgroundColour() const { return background_; }

    void setTextColour(const QColor& colour) { yz::ui::setTextColour(this, colour); }

    void setBorder(Border border);
    Border border() const { return border_; }

signals:
    void leftPressed(int x, int y);
    void rightPressed(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ColourRef background_ = kDefaultColour;
    Border border_ = Border::None;
};

}  // namespace yz::ui
