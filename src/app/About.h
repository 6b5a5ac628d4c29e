#pragma once
// The About window: the egg picture on the left, a credit text on the right. Fixed size, not
// modal, and at most one at a time: it exists only while it is open.

#include <QWidget>

class QLabel;

namespace xsc {

class Canvas;

class About : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 424;
    static constexpr int kHeight = 185;

    // Shows the open About window, or creates and shows one when none is open. `owner` is the
    // window it belongs to: it closes with the program, not before.
    static About* Open(QWidget* owner);
    // The open About window, or nullptr.
    static About* Current();

    // "xsc <version>", what it does, the credits and a thanks line.
    static QString CreditText();

    Canvas* Canvas1 = nullptr;
    QLabel* StaticText1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    explicit About(QWidget* owner);
    void Layout();
    void CreateControls();
    void Event_Open();

    bool opened_ = false;
};

}  // namespace xsc
