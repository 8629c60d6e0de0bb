#pragma once

// The two lines of operating instructions opened from the editor's
// "操作说明" link. It has no behaviour of its own.

#include <QWidget>

namespace yz::ui {
class Label;
}

namespace yz::editor {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    HelpWindow();

    ui::Label* 标签1 = nullptr;
};

// Opens the help window, or brings the one already open to the front: there
// is never more than one.
HelpWindow* openHelp();

}  // namespace yz::editor
