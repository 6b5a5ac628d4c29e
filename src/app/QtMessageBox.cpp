#include "MessageBox.h"

#include <QMessageBox>
#include <QWidget>

namespace xsc {
namespace {

QString TitleOf(const QWidget* parent) { return parent ? parent->windowTitle() : QString(); }

}  // namespace

void QtMessageBox::MsgBox(const QString& text) { QMessageBox::information(parent_, TitleOf(parent_), text); }

void QtMessageBox::ErrorBox(const QString& text) { QMessageBox::warning(parent_, TitleOf(parent_), text); }

}  // namespace xsc
