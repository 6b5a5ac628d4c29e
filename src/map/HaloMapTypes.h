#pragma once
// The one file type a map chooser offers: "Halo map", ".map".

#include <string>

namespace xsc {

struct FileType {
    std::string Name;
    std::string Extension;
    std::string MacType;
    std::string MacCreator;
    // The chooser's filter text: "Halo map (*.map)".
    std::string FilterText() const { return Name + " (*" + Extension + ")"; }
};

namespace HaloMapTypes {
// Always the same object, created on first use.
const FileType& HaloMap();
}  // namespace HaloMapTypes

}  // namespace xsc
