#include "AnchoredPane.h"

#include <algorithm>

namespace xsc {
namespace {

// One axis: locked to both ends it stretches by the growth, to the far end only it moves by it.
void AnchorAxis(int& start, int& length, bool nearLocked, bool farLocked, int growth) {
    if (nearLocked && farLocked) {
        length += growth;
    } else if (farLocked) {
        start += growth;
    }
}

}  // namespace

QRect AnchoredRect(const QRect& designed, Qt::Edges anchors, const QSize& designSize, const QSize& now) {
    int x = designed.x();
    int y = designed.y();
    int width = designed.width();
    int height = designed.height();
    AnchorAxis(x, width, anchors.testFlag(Qt::LeftEdge), anchors.testFlag(Qt::RightEdge),
               now.width() - designSize.width());
    AnchorAxis(y, height, anchors.testFlag(Qt::TopEdge), anchors.testFlag(Qt::BottomEdge),
               now.height() - designSize.height());
    return QRect(x, y, std::max(width, 0), std::max(height, 0));
}

AnchoredPane::AnchoredPane(const QSize& designSize, QWidget* parent)
    : QWidget(parent), designSize_(designSize) {
    resize(designSize);
}

void AnchoredPane::Place(QWidget* control, const QRect& designed, Qt::Edges anchors) {
    placements_.push_back({control, designed, anchors});
    control->setGeometry(AnchoredRect(designed, anchors, designSize_, size()));
}

void AnchoredPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceAll();
}

void AnchoredPane::PlaceAll() {
    for (const Placement& placement : placements_) {
        if (placement.control) {
            placement.control->setGeometry(
                AnchoredRect(placement.designed, placement.anchors, designSize_, size()));
        }
    }
}

}  // namespace xsc
