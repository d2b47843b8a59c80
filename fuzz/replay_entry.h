// One fuzz input through the replay reader. A refused file must say which file and line; an
// accepted one must come back the same after writing it out and reading it again. Shared by
// the libFuzzer target and the corpus replay test.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "program/Replay.h"

namespace replayfuzz {

inline bool SameChoice(const GameChoice& a, const GameChoice& b) {
    return a.mode == b.mode && a.flags.ouch == b.flags.ouch && a.flags.anarchy == b.flags.anarchy &&
           a.flags.solid == b.flags.solid && a.flags.pieces == b.flags.pieces &&
           a.flags.speed == b.flags.speed;
}

// Returns the number of events of an accepted file, -1 for a refused one.
inline long ParseBytes(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReplayFile replay;
    std::string error;
    if (!ParseReplay(text, "fuzz.qxr", replay, error)) {
        if (error.rfind("fuzz.qxr:", 0) != 0) std::abort();
        return -1;
    }
    if (!error.empty() || !replay.choice.mode || replay.width < 1 || replay.height < 1)
        std::abort();
    ReplayFile again;
    if (!ParseReplay(FormatReplay(replay), "again.qxr", again, error)) std::abort();
    if (!SameChoice(again.choice, replay.choice) || again.width != replay.width ||
        again.height != replay.height || again.seed != replay.seed || again.mouse != replay.mouse ||
        again.passes != replay.passes || again.hash != replay.hash || again.body != replay.body ||
        again.script.events.size() != replay.script.events.size())
        std::abort();
    return static_cast<long>(replay.script.events.size());
}

}  // namespace replayfuzz
