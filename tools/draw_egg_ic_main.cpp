// Draws the egg: a speckled egg with an XML tag mark.
//
//   xsc-draw-egg-ic OUT.png               the About window's picture, on a pale sky, 185 by 185
//                                         pixels (src/app/resources/egg_ic.png)
//   xsc-draw-egg-ic --icon SIZE OUT.png   the program's icon: the egg alone on a transparent
//                                         square of SIZE pixels (the build draws the usual sizes)
//
// Only shapes, no text, so it needs no fonts and no display, and every size is drawn from the
// shapes rather than scaled from another picture. The speckles come from a fixed linear
// congruential sequence: the same program draws the same picture.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int kSide = 185;
// The part of the 185-pixel drawing an icon shows: the egg and its shadow, centred.
constexpr QRectF kIconArea(12.5, 16, 160, 160);
constexpr int kLargestIcon = 1024;

// The egg's outline: narrow at the top, widest a little below the middle.
QPainterPath EggOutline() {
    QPainterPath egg;
    egg.moveTo(92.5, 24);
    egg.cubicTo(121, 24, 145, 68, 145, 108);
    egg.cubicTo(145, 142, 122, 162, 92.5, 162);
    egg.cubicTo(63, 162, 40, 142, 40, 108);
    egg.cubicTo(40, 68, 64, 24, 92.5, 24);
    return egg;
}

void DrawSky(QPainter& painter) {
    QLinearGradient sky(0, 0, 0, kSide);
    sky.setColorAt(0.0, QColor(0xd4, 0xe3, 0xf4));
    sky.setColorAt(1.0, QColor(0xf6, 0xf8, 0xfc));
    painter.fillRect(QRect(0, 0, kSide, kSide), sky);
}

void DrawShadow(QPainter& painter) {
    QRadialGradient shadow(QPointF(92.5, 166), 48);
    shadow.setColorAt(0.0, QColor(40, 50, 70, 110));
    shadow.setColorAt(1.0, QColor(40, 50, 70, 0));
    painter.save();
    painter.translate(92.5, 166);
    painter.scale(1.0, 0.18);
    painter.translate(-92.5, -166);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(92.5, 166), 48, 48);
    painter.restore();
}

void DrawShell(QPainter& painter, const QPainterPath& egg) {
    QRadialGradient shell(QPointF(92.5, 100), 80, QPointF(74, 66));
    shell.setColorAt(0.0, QColor(0xff, 0xfd, 0xf4));
    shell.setColorAt(0.55, QColor(0xf3, 0xe4, 0xc6));
    shell.setColorAt(1.0, QColor(0xcf, 0xb5, 0x8a));
    painter.setPen(QPen(QColor(0x9c, 0x82, 0x5a), 1.5));
    painter.setBrush(shell);
    painter.drawPath(egg);
}

void DrawSpeckles(QPainter& painter, const QPainterPath& egg) {
    std::uint32_t state = 168;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(range));
    };
    painter.save();
    painter.setClipPath(egg);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(40 + next(106), 24 + next(138));
        const double radius = 0.8 + next(20) / 10.0;
        painter.setBrush(QColor(0x8a, 0x63, 0x3a, 60 + next(90)));
        painter.drawEllipse(at, radius, radius * 0.8);
    }
    painter.restore();
}

// "</>" in strokes, on the egg's belly.
void DrawTagMark(QPainter& painter) {
    QPen pen(QColor(0x3d, 0x5a, 0x80), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({QPointF(76, 100), QPointF(62, 114), QPointF(76, 128)}));
    painter.drawLine(QPointF(99, 96), QPointF(86, 132));
    painter.drawPolyline(QPolygonF({QPointF(109, 100), QPointF(123, 114), QPointF(109, 128)}));
}

// Everything but the sky, in the 185-pixel drawing's coordinates.
void DrawEgg(QPainter& painter) {
    const QPainterPath egg = EggOutline();
    DrawShadow(painter);
    DrawShell(painter, egg);
    DrawSpeckles(painter, egg);
    DrawTagMark(painter);
}

// The About picture: the whole drawing on its sky, opaque.
QImage DrawPicture() {
    QImage picture(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSky(painter);
    DrawEgg(painter);
    painter.end();
    return picture.convertToFormat(QImage::Format_RGB32);
}

// The icon: the egg without the sky, its area scaled to `side` pixels.
QImage DrawIcon(int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / kIconArea.width(), side / kIconArea.height());
    painter.translate(-kIconArea.topLeft());
    DrawEgg(painter);
    painter.end();
    return icon;
}

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s OUT.png\n       %s --icon SIZE OUT.png   (SIZE 16 to %d)\n", program,
                 program, kLargestIcon);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QImage image;
    if (argc == 2) {
        image = DrawPicture();
    } else if (argc == 4 && std::strcmp(argv[1], "--icon") == 0) {
        const int side = std::atoi(argv[2]);
        if (side < 16 || side > kLargestIcon) return Usage(argv[0]);
        image = DrawIcon(side);
    } else {
        return Usage(argv[0]);
    }
    const char* out = argv[argc - 1];
    if (!image.save(QString::fromLocal8Bit(out), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], out);
        return 1;
    }
    return 0;
}
