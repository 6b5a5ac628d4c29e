#include "SourceProgram.h"

#include <algorithm>
#include <string_view>

#include "engine/EngineLimits.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::bench {
namespace {

using scriptformat::kZeroIdentitySlot;

struct Statement {
    std::string text;
    int nodes;
};

// Statements as levels are written, with the nodes each makes; n varies the names.
Statement Pick(int k, int n) {
    const std::string i = std::to_string(n);
    switch (k % 6) {
        case 0: return {"  (sleep " + std::to_string(n % 300 + 1) + ")\n", 3};
        case 1: return {"  (ai_place enc_" + i + ")\n", 3};
        case 2: return {"  (camera_set cam_" + i + " 120)\n", 4};
        case 3: return {"  (sleep_until (volume_test_objects tv_" + i + " (players)) 15)\n", 8};
        case 4:
            return {"  (if (> (ai_living_count enc_" + i + ") 2)\n    (begin\n      (ai_magically_see_players enc_" + i +
                        ")\n      (print \"wave " + i + "\")\n    )\n  )\n",
                    16};
        default: return {"  (set cheat_jetpack (game_is_cooperative))\n", 5};
    }
}

// Statements of 3 and 4 nodes that make exactly `nodes` (6 or more, or 0, 3, 4).
std::string Fill(int nodes) {
    std::string text;
    while (nodes % 3 != 0) {
        text += "  (camera_set cam_fill 1)\n";
        nodes -= 4;
    }
    for (; nodes > 0; nodes -= 3) text += "  (sleep 1)\n";
    return text;
}

// The statements of a script, until it has 40 or its trailing filler reaches slot 7309
// (identity 0), which only a filler may take: then it ends with its trailing filler on it, or, when
// no statements make that many nodes (1, 2 or 5), just before it, so that the next script's
// leading fillers take it. `room`: the slots the program has left.
int Body(int first, int index, int room, std::string& text) {
    int body = 0;
    for (int k = 0; k < 40; ++k) {
        const int need = static_cast<int>(kZeroIdentitySlot) - (first + 4 + body + 2);
        if (need >= 0 && need <= 30) {
            const int nodes = need == 1 || need == 2 ? 0 : need == 5 ? 4 : need;
            text += Fill(nodes);
            return body + nodes;
        }
        const Statement s = Pick(k + index, index * 40 + k);
        if (room - (4 + body + s.nodes + 3) < 20) break;  // room for a last script
        text += s.text;
        body += s.nodes;
    }
    return body;
}

// Scripts of about 40 statements until the slots reach the engine's limit exactly (each script
// takes 7 slots around its body); the last one is filled to the limit.
}  // namespace

std::string ProgramAtTheNodeLimit(int reserved) {
    const int limit = static_cast<int>(engine::kEngineSlotLimit) - reserved;
    std::string text = "; " + std::to_string(limit) + " node slots\n";
    for (int script = 0, slots = 0; slots < limit; ++script) {
        text += "\n(script dormant part_" + std::to_string(script) + "\n";
        const int room = limit - slots;
        int body = 0;
        if (room - 7 <= 80) {
            body = room - 7;
            text += Fill(body);
        } else {
            body = Body(slots, script, room, text);
        }
        text += ")\n";
        slots += 4 + body + 3;
    }
    return text;
}

std::string CampaignSizedProgram(int lines) {
    // The globals first, as levels declare them: one node each, behind the scripts' slots.
    constexpr int kGlobals = 120;
    std::string text = "; the level's globals\n";
    for (int i = 0; i < kGlobals; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 3) {
            case 0: text += "(global short g_count_" + n + " " + n + ")\n"; break;
            case 1: text += "(global \"boolean\" g_done_" + n + " false)\n"; break;
            default: text += "(global real g_delay_" + n + " " + n + ".5)\n"; break;
        }
    }
    const std::string scripts = ProgramAtTheNodeLimit(kGlobals);
    // Comments between the statements, as level scripts have them, until the program has `lines`.
    const auto count = [](const std::string& t, std::string_view line) {
        int n = 0;
        for (std::size_t at = 0; at < t.size(); at = t.find('\n', at) + 1) n += t.compare(at, line.size(), line) == 0;
        return n;
    };
    const int missing = std::max(0, lines - count(text, "") - count(scripts, ""));
    const int statements = count(scripts, "  (");
    for (std::size_t at = 0, k = 0; at < scripts.size(); ) {
        const std::size_t end = scripts.find('\n', at) + 1;
        if (scripts.compare(at, 3, "  (") == 0) {
            const int comments = missing / statements + (static_cast<int>(k++) < missing % statements ? 1 : 0);
            for (int c = 0; c < comments; ++c) text += "  ; the players reach the next area: wake the encounters there\n";
        }
        text.append(scripts, at, end - at);
        at = end;
    }
    return text;
}

}  // namespace xsc::bench
