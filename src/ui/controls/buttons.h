#pragma once

// Check box and slider with the settings every window of the program uses.
//
// CheckBox: an automatic check box. A click toggles it first and then emits
// QCheckBox::clicked, so a click handler connected to clicked() sees the new
// state; setChecked() from the program emits no clicked().
//
// Slider: horizontal, no tick marks, arrow and page keys step by 1. Its
// change event is QSlider::valueChanged, raised on every movement.

#include <QCheckBox>
#include <QSlider>

namespace yz::ui {

class CheckBox : public QCheckBox {
public:
    explicit CheckBox(const QString& text = {}, QWidget* parent = nullptr);
    void setTextColour(const QColor& colour);
};

class Slider : public QSlider {
public:
    Slider(int minimum, int maximum, QWidget* parent = nullptr);
};

}  // namespace yz::ui
