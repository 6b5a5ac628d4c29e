#pragma once
// The message boxes the window shows. Behind an interface so the tests can read what would have
// been shown instead of a human dismissing a dialog.

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
};

// Modal toolkit message boxes over `parent`, titled with the parent's title.
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
    void MsgBox(const QString& text) override;
    void ErrorBox(const QString& text) override;

private:
    QWidget* parent_;
};

}  // namespace xsc
