#pragma once

// Colour picker: a button showing the current colour. Pressing it drops down
// a palette of fixed colours (none of them transparent) and a "其他颜色…"
// button that opens the colour dialog.
//
//   colour()          the colour shown, 0x00BBGGRR.
//   setColour(c)      shows c; raises no event.
//   colourPicked(c)   raised every time the user confirms a colour, in the
//                     palette or in the dialog, even when it is the colour
//                     already shown. colour() is already c when it is raised.
//
// For tests and keyboard users the drop-down is a Qt::Popup whose swatches
// are QToolButtons named "swatch<RRGGBB>" (hex, upper case) and whose dialog
// button is named "otherColours"; the dialog is Qt's own QColorDialog, modal.

#include <QPushButton>
#include <span>

#include "ui/controls/colours.h"

namespace yz::ui {

class ColourPicker : public QPushButton {
    Q_OBJECT

public:
    explicit ColourPicker(QWidget* parent = nullptr);

    ColourRef colour() const { return colour_; }
    void setColour(ColourRef colour);

    // The drop-down's colours, in the order shown.
    static std::span<const ColourRef> paletteColours();

signals:
    void colourPicked(quint32 colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPalette();
    void chooseInDialog();
    void confirm(ColourRef colour);

    ColourRef colour_ = colourRef(0, 0, 0);
};

}  // namespace yz::ui
