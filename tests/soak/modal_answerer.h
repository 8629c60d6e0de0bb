#pragma once

// Answers every modal box and dialog the program opens, as soon as it is
// shown: the program's messages with OK (recording their text), the file
// dialog's question before replacing a file with Yes, and file and colour
// dialogs with the answer planned for them before the action. Anything else,
// or a dialog nobody planned for, is closed and recorded as a problem, so a
// long run never hangs on a box waiting for a click.
//
// Event driven rather than polled: a random use opens thousands of boxes,
// and each answer then costs one pass of the event loop, not a timer period.

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <optional>

namespace yz::soak {

class ModalAnswerer : public QObject {
public:
    struct Message {
        QString text;
        bool plain = false;  // caption "信息：", OK only, no icon, no owner, application modal
    };

    ModalAnswerer() { qApp->installEventFilter(this); }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    // The next file dialog: type path and accept, or cancel when empty.
    void planFile(const QString& path) { file_ = path; }
    // Whether the planned file dialog has not appeared; clears the plan.
    bool dropFilePlan() {
        const bool unused = file_.has_value();
        file_.reset();
        return unused;
    }
    // The next colour dialog: confirm this colour.
    void planColour(const QColor& colour) { colour_ = colour; }
    bool colourPlanPending() const { return colour_.has_value(); }
    bool dropColourPlan() {
        const bool unused = colour_.has_value();
        colour_.reset();
        return unused;
    }

    std::vector<Message> takeMessages() { return std::exchange(messages_, {}); }
    int takeReplaceQuestions() { return std::exchange(replaceQuestions_, 0); }
    QStringList takeProblems() { return std::exchange(problems_, {}); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow() || !widget->isModal()) return false;
        // Shown from within exec(): the answer runs once its loop is going.
        QPointer<QWidget> box(widget);
        QMetaObject::invokeMethod(
            this, [this, box] { answer(box); }, Qt::QueuedConnection);
        return false;
    }

private:
    void answer(const QPointer<QWidget>& widget) {
        if (widget.isNull() || !widget->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(widget.data())) return answerBox(box);
        if (auto* dialog = qobject_cast<QFileDialog*>(widget.data())) return answerFileDialog(dialog);
        if (auto* dialog = qobject_cast<QColorDialog*>(widget.data())) return answerColourDialog(dialog);
        problems_ << QStringLiteral("unexpected modal window %1").arg(QString::fromUtf8(widget->metaObject()->className()));
        widget->close();
    }

    void answerBox(QMessageBox* box) {
        const auto buttons = box->buttons();
        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
            // The save dialog asking before it replaces a file.
            ++replaceQuestions_;
            yes->click();
            return;
        }
        const bool okOnly = buttons.size() == 1 && box->standardButton(buttons.front()) == QMessageBox::Ok;
        messages_.push_back({box->text(), okOnly && box->windowTitle() == QStringLiteral("信息：") &&
                                              box->icon() == QMessageBox::NoIcon && box->parentWidget() == nullptr &&
                                              box->windowModality() == Qt::ApplicationModal});
        if (okOnly)
            buttons.front()->click();
        else
            box->reject();
    }

    void answerFileDialog(QFileDialog* dialog) {
        if (!file_) {
            problems_ << QStringLiteral("a file dialog nobody planned for");
            dialog->reject();
            return;
        }
        const QString path = *std::exchange(file_, std::nullopt);
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr) {
            problems_ << QStringLiteral("file dialog without its name box");
            dialog->reject();
            return;
        }
        // Typed, as a user does; accept() may ask before replacing a file,
        // which this answerer answers from within it. A user's typing in
        // the focused box clears the list's selection (the file chosen
        // last, which the dialog preselects); with no focus here,
        // selectFile clears it, or the dialog would return that file.
        dialog->selectFile(path);
        edit->setText(path);
        QPointer<QFileDialog> guard(dialog);
        static_cast<QDialog*>(dialog)->accept();
        if (guard && guard->isVisible()) {
            problems_ << QStringLiteral("file dialog stayed open after choosing %1").arg(path);
            guard->reject();
        }
    }

    void answerColourDialog(QColorDialog* dialog) {
        if (!colour_) {
            problems_ << QStringLiteral("a colour dialog nobody planned for");
            dialog->reject();
            return;
        }
        dialog->setCurrentColor(*std::exchange(colour_, std::nullopt));
        dialog->accept();
    }

    std::optional<QString> file_;
    std::optional<QColor> colour_;
    std::vector<Message> messages_;
    int replaceQuestions_ = 0;
    QStringList problems_;
};

}  // namespace yz::soak
