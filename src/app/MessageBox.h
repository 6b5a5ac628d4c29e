#pragma once
// The message boxes the window shows. Behind an interface so the tests can read what would have
// been shown, and give the answers, instead of a human dismissing a dialog.

class QString;
class QWidget;

namespace xsc {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // A plain notice ("done!").
    virtual void MsgBox(const QString& text) = 0;
    // A command that failed: what went wrong and what was (not) done.
    virtual void ErrorBox(const QString& text) = 0;
    // A warning that asks whether to go on: true when the user chooses `proceed`, false for
    // `cancel` (also when the box is closed or Escape is pressed).
    virtual bool Question(const QString& text, const QString& proceed, const QString& cancel) = 0;
};

// Modal toolkit message boxes over `parent`, titled with the parent's title. A text of many lines
// (a script with many errors) shows its first lines and the whole text as the box's details, so
// the box never grows taller than the screen.
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
    void MsgBox(const QString& text) override;
    void ErrorBox(const QString& text) override;
    bool Question(const QString& text, const QString& proceed, const QString& cancel) override;

private:
    QWidget* parent_;
};

// The part of a message box's text shown in the box: at most `lines` lines, then a line that says
// how many more the details hold. The whole text when it is no longer.
QString ShownPart(const QString& text, int lines);

}  // namespace xsc
