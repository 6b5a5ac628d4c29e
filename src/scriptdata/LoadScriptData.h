#pragma once

namespace xsc {

class BinaryStream;
class HaloPcMap;
struct ScriptCompilier;

// Reads the scenario's script fields into the compiler state: where the node data and the string
// data lie, how large they are, and the slot count field. Nothing is written. Throws Error when
// no map is loaded or a field lies outside the file.
void LoadScriptData(const HaloPcMap& map, ScriptCompilier& state);
// The same, through the map's stream that the command opened.
void LoadScriptData(const HaloPcMap& map, ScriptCompilier& state, BinaryStream& in);

}  // namespace xsc
