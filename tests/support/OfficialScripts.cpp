#include "support/OfficialScripts.h"

#include <cstring>
#include <string>

namespace xsc::test {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::int32_t kStringData = 840;
// Texts: "begin" 0, "camera_set" 6, "point_2" 17, "sleep" 25, "uicam" 31; the zero tail from 37.
constexpr char kTexts[] = "begin\0camera_set\0point_2\0sleep\0uicam";
constexpr std::uint32_t kZeroTail = 40;

std::uint32_t Id(int slot) { return static_cast<std::uint32_t>(0xE373 + slot) << 16 | static_cast<std::uint32_t>(slot); }

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct Slot {
    int slot;
    std::uint16_t index, type, flags;
    std::uint32_t next, text, value;
};

}  // namespace

OfficialScripts WriteOfficialScripts(Bytes& map, const mapgen::MapLayout& l) {
    const auto x = static_cast<std::size_t>(l.scenarioOffset);
    const auto st = static_cast<std::size_t>(l.stringDataOffset);
    const auto nodes = static_cast<std::size_t>(l.nodeDataOffset);
    const std::uint16_t camera = 247, sleep = 19, point = 13, shortType = 7;
    const std::uint32_t point2 = 4, uicam = 0;  // indices of the map's camera points
    const Slot slots[] = {
        {4, camera, 4, 8, Id(8), kZeroTail, Id(5)},          {5, camera, 2, 9, Id(6), 6, 0},
        {6, point, point, 9, Id(7), 17, point2},              {7, shortType, shortType, 9, kNone, kZeroTail + 1, 0xFFFF0190},
        {8, sleep, 4, 8, Id(11), kZeroTail + 2, Id(9)},       {9, sleep, 2, 9, Id(10), 25, 0},
        {10, shortType, shortType, 9, kNone, kZeroTail + 3, 0xFFFF00C8},
        {11, camera, 4, 8, kNone, kZeroTail + 4, Id(12)},     {12, camera, 2, 9, Id(13), 6, 0},
        {13, point, point, 9, Id(14), 31, uicam},             {14, shortType, shortType, 9, kNone, kZeroTail + 5, 0xFFFF0064},
        {15, 0, 4, 8, kNone, kZeroTail + 6, Id(16)},          {16, 0, 2, 9, Id(4), 0, 0},
        {17, shortType, shortType, 9, kNone, kZeroTail + 7, 0xFFFF00C8},
    };
    // Freed slots keep stale fields behind their salt of 0.
    for (int free = 0; free < 4; ++free) {
        const std::size_t at = nodes + 0x38 + 20 * static_cast<std::size_t>(free);
        std::memset(map.data() + at, 0, 20);
        Put16(map, at + 4, free == 0 ? 1 : 0);
        Put16(map, at + 6, free == 0 ? 0 : 1);
    }
    for (const Slot& s : slots) {
        const std::size_t at = nodes + 0x38 + 20 * static_cast<std::size_t>(s.slot);
        Put16(map, at, static_cast<std::uint16_t>(Id(s.slot) >> 16));
        Put16(map, at + 2, s.index);
        Put16(map, at + 4, s.type);
        Put16(map, at + 6, s.flags);
        Put32(map, at + 8, s.next);
        Put32(map, at + 12, s.text);
        Put32(map, at + 16, s.value);
    }
    const std::int32_t used = 18;
    std::memcpy(map.data() + nodes, "script node", 12);
    Put16(map, nodes + 0x2C, 0);  // first free slot
    Put16(map, nodes + 0x2E, static_cast<std::uint16_t>(used));
    Put16(map, nodes + 0x30, 14);
    Put16(map, nodes + 0x32, static_cast<std::uint16_t>(0xE373 + used));
    Put32(map, nodes + 0x34, 0);

    std::memset(map.data() + st, 0, 1024);
    std::memcpy(map.data() + st, kTexts, sizeof kTexts);
    OfficialScripts o{l.stringDataOffset + kStringData, l.stringDataOffset + kStringData + 92, used};
    const std::string script = "ring_loop", global = "ring_delay";
    std::memcpy(map.data() + o.scriptRecord, script.data(), script.size());
    Put16(map, static_cast<std::size_t>(o.scriptRecord) + 0x20, 2);  // continuous
    Put16(map, static_cast<std::size_t>(o.scriptRecord) + 0x22, 4);  // void
    Put32(map, static_cast<std::size_t>(o.scriptRecord) + 0x24, Id(15));
    std::memcpy(map.data() + o.globalRecord, global.data(), global.size());
    Put16(map, static_cast<std::size_t>(o.globalRecord) + 0x20, shortType);
    Put32(map, static_cast<std::size_t>(o.globalRecord) + 0x28, Id(17));

    const auto address = [&l](std::int64_t offset) { return static_cast<std::uint32_t>(offset + l.magic); };
    Put32(map, x + 0x488, kStringData);
    Put32(map, x + 0x49C, 1);
    Put32(map, x + 0x4A0, address(o.scriptRecord));
    Put32(map, x + 0x4A8, 1);
    Put32(map, x + 0x4AC, address(o.globalRecord));
    return o;
}

}  // namespace xsc::test
