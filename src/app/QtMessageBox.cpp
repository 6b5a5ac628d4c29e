#include "MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace xsc {
namespace {

// About what a box of the smallest screens the program runs on (768 pixels high) holds.
constexpr int kShownLines = 25;

QString TitleOf(const QWidget* parent) { return parent ? parent->windowTitle() : QString(); }

// A box with `text`, its first lines shown and the whole text in the details when it is long.
void SetText(QMessageBox& box, const QString& text) {
    const QString shown = ShownPart(text, kShownLines);
    box.setText(shown);
    if (shown != text) box.setDetailedText(text);
}

void ShowNotice(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, TitleOf(parent), QString(), QMessageBox::Ok, parent);
    SetText(box, text);
    box.exec();
}

}  // namespace

QString ShownPart(const QString& text, int lines) {
    const QStringList all = text.split(QLatin1Char('\n'));
    if (all.size() <= lines) return text;
    QStringList shown = all.mid(0, lines - 1);
    shown << QCoreApplication::translate("MessageBox", "(%1 more lines: Show Details...)").arg(all.size() - shown.size());
    return shown.join(QLatin1Char('\n'));
}

void QtMessageBox::MsgBox(const QString& text) { ShowNotice(parent_, QMessageBox::Information, text); }

void QtMessageBox::ErrorBox(const QString& text) { ShowNotice(parent_, QMessageBox::Warning, text); }

// Cancel is the default and the Escape button: Enter pressed out of habit compiles nothing.
bool QtMessageBox::Question(const QString& text, const QString& proceed, const QString& cancel) {
    QMessageBox box(QMessageBox::Warning, TitleOf(parent_), QString(), QMessageBox::NoButton, parent_);
    SetText(box, text);
    QPushButton* proceedButton = box.addButton(proceed, QMessageBox::AcceptRole);
    QPushButton* cancelButton = box.addButton(cancel, QMessageBox::RejectRole);
    box.setDefaultButton(cancelButton);
    box.setEscapeButton(cancelButton);
    box.exec();
    return box.clickedButton() == proceedButton;
}

}  // namespace xsc
