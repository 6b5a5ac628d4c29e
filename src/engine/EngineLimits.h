#pragma once
// Limits of the game's script engine that a compile does not enforce but a map must respect.

#include <cstdint>

namespace xsc::engine {

// Node slots the engine's script node table holds in every PC build.
inline constexpr std::int64_t kEngineSlotLimit = 19001;
// Calls nested deeper than this may overflow the script stack: release builds do not check it,
// and it overflows somewhere between 10 and 16 levels, depending on the calls.
inline constexpr int kSafeCallDepth = 10;
// Script records and scenario globals the engine's tables hold at run time.
inline constexpr std::int64_t kEngineScriptLimit = 512;
inline constexpr std::int64_t kEngineGlobalLimit = 128;
// Bytes of script string data (texts, their zero bytes and the 1024 zero bytes behind them) the
// engine reads.
inline constexpr std::int64_t kEngineStringDataLimit = 262144;

}  // namespace xsc::engine
