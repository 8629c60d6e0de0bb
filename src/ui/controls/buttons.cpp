#include "ui/controls/buttons.h"

#include "ui/controls/labels.h"

namespace yz::ui {

CheckBox::CheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CheckBox::setTextColour(const QColor& colour) { yz::ui::setTextColour(this, colour); }

Slider::Slider(int minimum, int maximum, QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(minimum, maximum);
    setTickPosition(QSlider::NoTicks);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
}

}  // namespace yz::ui
