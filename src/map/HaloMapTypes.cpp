#include "map/HaloMapTypes.h"

namespace xsc::HaloMapTypes {

const FileType& HaloMap() {
    static const FileType type{"Halo map", ".map", "???", "???"};
    return type;
}

}  // namespace xsc::HaloMapTypes
