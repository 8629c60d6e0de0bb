// The size, key colour and tolerance options.

#include "ui/main/main_window.h"

namespace yz::ui {

// The toolkit has already toggled the clicked box; whatever its new state,
// the other box is cleared and the clicked box's size selected, so both can
// end up unchecked.
void MainWindow::clickSize48() {
    选择框2->setChecked(false);
    selectIconSize(state_, 48);
}

void MainWindow::clickSize16() {
    选择框1->setChecked(false);
    selectIconSize(state_, 16);
}

void MainWindow::pickKeyColour() {
    const ColourRef colour = 颜色选择器1->colour();
    state_.keyColour.red = redOf(colour);
    state_.keyColour.green = greenOf(colour);
    state_.keyColour.blue = blueOf(colour);
    // The next generation keys on the picked colour, not on the picture.
    选择框3->setChecked(false);
}

void MainWindow::changeTolerance() {
    透明标签1->setText(QString::number(滑块条1->value()));
    state_.tolerance = 滑块条1->value();
}

}  // namespace yz::ui
