#pragma once
// A plain drawing surface that shows a picture as its backdrop, drawn from its top left corner
// over its erased background.

#include <QImage>
#include <QWidget>

namespace xsc {

class Canvas : public QWidget {
public:
    explicit Canvas(QWidget* parent = nullptr);

    const QImage& Backdrop() const { return backdrop_; }
    void SetBackdrop(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage backdrop_;
};

}  // namespace xsc
