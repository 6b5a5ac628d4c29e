#pragma once
// The content area of a window whose controls are placed at fixed design positions and locked
// to some of its edges. A control locked to two opposite edges grows with the pane; locked to
// the far edge only, it moves with it; otherwise it stays where it was designed.

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace xsc {

// Where a control designed at `designed` in a pane of `designSize` goes when the pane is `now`.
QRect AnchoredRect(const QRect& designed, Qt::Edges anchors, const QSize& designSize, const QSize& now);

class AnchoredPane : public QWidget {
public:
    explicit AnchoredPane(const QSize& designSize, QWidget* parent = nullptr);

    // Places `control` (a child of this pane) at `designed`, locked to `anchors`.
    void Place(QWidget* control, const QRect& designed, Qt::Edges anchors);

    QSize sizeHint() const override { return designSize_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Placement {
        QPointer<QWidget> control;
        QRect designed;
        Qt::Edges anchors;
    };
    void PlaceAll();

    QSize designSize_;
    std::vector<Placement> placements_;
};

}  // namespace xsc
