#include "About.h"

#include <QLabel>
#include <QPalette>
#include <QPointer>

#include "Canvas.h"
#include "EggPicture.h"

namespace xsc {
namespace {

// The one open About window; empty while none is open (it deletes itself when closed).
QPointer<About> openAbout;

constexpr QRect kCanvasRect(0, 0, 185, 185);
constexpr QRect kCreditRect(187, 0, 237, 185);
// Keeps the text off the window's edges and the picture; inside the label's own rectangle.
constexpr QMargins kCreditMargins(6, 10, 10, 10);

}  // namespace

About* About::Open(QWidget* owner) {
    if (!openAbout) openAbout = new About(owner);
    openAbout->show();
    openAbout->raise();
    openAbout->activateWindow();
    return openAbout;
}

About* About::Current() { return openAbout; }

QString About::CreditText() {
    return tr("xsc %1\n"
              "Compiles scripts in the game's own language or in XML into maps of Halo for the PC.\n"
              "\n"
              "Written by the xsc developers.\n"
              "Built with Qt %2.\n"
              "Egg picture drawn for xsc.\n"
              "\n"
              "Thanks for scripting with xsc!")
        .arg(QStringLiteral(XSC_VERSION), QString::fromLatin1(qVersion()));
}

About::About(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    Layout();
    CreateControls();
}

void About::Layout() {
    setWindowTitle(tr("About"));
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void About::CreateControls() {
    Canvas1 = new Canvas(this);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->setGeometry(kCanvasRect);

    StaticText1 = new QLabel(CreditText(), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(kCreditRect);
    StaticText1->setWordWrap(true);
    StaticText1->setContentsMargins(kCreditMargins);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = StaticText1->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    StaticText1->setPalette(palette);
}

void About::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!opened_) {
        opened_ = true;
        Event_Open();
    }
}

void About::Event_Open() { Canvas1->SetBackdrop(egg_ic()); }

}  // namespace xsc
