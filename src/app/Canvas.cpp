#include "Canvas.h"

#include <QPainter>

namespace xsc {

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);  // erases its background before each paint
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::SetBackdrop(const QImage& picture) {
    backdrop_ = picture;
    update();
}

void Canvas::paintEvent(QPaintEvent*) {
    if (backdrop_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), backdrop_);
}

}  // namespace xsc
