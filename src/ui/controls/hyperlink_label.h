#pragma once

// Hyperlink label: underlined text with no link target, in one colour
// normally, another under the mouse and a third once it has been pressed.
// The defaults are the classic link colours: red 0, green 0, blue 255;
// visited red 128, green 0, blue 0; under the mouse red 49, green 106,
// blue 197. A left press raises leftPressed() and marks it visited.

#include <QLabel>

namespace yz::ui {

class HyperlinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit HyperlinkLabel(const QString& text = {}, QWidget* parent = nullptr);

    void setColours(const QColor& normal, const QColor& visited, const QColor& hover);
    bool visited() const { return visited_; }
    bool hovered() const { return hovered_; }
    // The colour the text is drawn in now.
    QColor currentColour() const;

signals:
    void leftPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refresh();

    QColor normal_{0, 0, 255};
    QColor visitedColour_{128, 0, 0};
    QColor hover_{49, 106, 197};
    bool visited_ = false;
    bool hovered_ = false;
};

}  // namespace yz::ui
