#pragma once
// The script field: a plain multi-line text field in which Tab never types a tab character.
// Tab moves the focus on; with no other control to go to, it does nothing, as the field does
// not accept tabs.

#include <QPlainTextEdit>

namespace xsc {

class ScriptField : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ScriptField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace xsc
