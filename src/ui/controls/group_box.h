#pragma once

// Group box: an etched frame with an optional caption set into its top edge.
// Children are placed at fixed positions in the box's own coordinates; the
// frame's top line runs through the middle of the caption's line height
// whether or not there is a caption, as a classic group box draws it.
//
//   GroupBox(title, parent)
//   setTitleColour(QColor), setTitleAlignment(Qt::AlignLeft | Qt::AlignHCenter)

#include <QWidget>

namespace yz::ui {

class GroupBox : public QWidget {
public:
    explicit GroupBox(const QString& title = {}, QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& title);
    void setTitleColour(const QColor& colour);
    void setTitleAlignment(Qt::Alignment alignment);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};

}  // namespace yz::ui
