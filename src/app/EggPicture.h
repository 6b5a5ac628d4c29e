#pragma once
// The About window's picture, compiled into the program as the resource ":/egg_ic.png".

#include <QImage>

namespace xsc {

// Loaded on first use and kept until the program ends: every call returns the same image.
const QImage& egg_ic();

}  // namespace xsc
