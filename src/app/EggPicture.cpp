#include "EggPicture.h"

#include <optional>

#include <QtGlobal>

// Resources compiled into a static library register themselves only when something refers to
// them; this reference keeps them in the program. It must sit outside any namespace.
static void InitAppResources() { Q_INIT_RESOURCE(xsc_app); }

namespace xsc {
namespace {

// The cached picture (the program's one picture cache). A QImage needs no display to be
// released, so it may outlive the application object.
std::optional<QImage> permapic;

}  // namespace

const QImage& egg_ic() {
    if (!permapic) {
        InitAppResources();
        permapic = QImage(QStringLiteral(":/egg_ic.png"));
    }
    return *permapic;
}

}  // namespace xsc
