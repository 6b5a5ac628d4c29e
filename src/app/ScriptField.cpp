#include "ScriptField.h"

#include <QKeyEvent>

namespace xsc {

ScriptField::ScriptField(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }

void ScriptField::keyPressEvent(QKeyEvent* event) {
    // The focus chain has already had its chance to take Tab; what reaches here would be typed.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace xsc
