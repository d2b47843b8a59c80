// One fuzz input through the replay reader and, when accepted, a playback of it. A refused file
// must say which file and line; an accepted one must come back the same after writing it out
// and reading it again, and play on the headless back end at the smallest screen, for at most
// kFuzzPasses passes, to an end that says how it went. Shared by the libFuzzer target and the
// corpus replay test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "main/GameSettings.h"
#include "main/frmMain.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/window/Application.h"
#include "program/Program.h"
#include "program/Replay.h"

namespace replayfuzz {

inline constexpr uint64_t kFuzzPasses = 200;

inline bool SameChoice(const GameChoice& a, const GameChoice& b) {
    return a.mode == b.mode && a.flags.ouch == b.flags.ouch && a.flags.anarchy == b.flags.anarchy &&
           a.flags.solid == b.flags.solid && a.flags.pieces == b.flags.pieces &&
           a.flags.speed == b.flags.speed;
}

// The game, from the program's start, played back at the smallest screen to its end or
// maxPasses, with `real` as what the real devices do meanwhile (a player's Escape, a close).
inline PlaybackVerdict Play(ReplayFile replay, const std::string& programFolder, uint64_t maxPasses,
                            const platform::HeadlessScript& real = {}) {
    replay.passes = std::min(replay.passes, maxPasses);
    replay.width = kMinReplayWidth;
    replay.height = kMinReplayHeight;
    platform::SetProgramFolder(programFolder);
    auto headless = std::make_unique<platform::Headless>();
    headless->SetScreenSize(replay.width, replay.height);
    headless->Load(real);
    auto player = std::make_unique<platform::ReplayPlayer>(
        std::move(headless), replay.script, platform::ScreenSize{replay.width, replay.height});
    platform::ReplayPlayer& played = *player;
    platform::InstallBackend(std::move(player));
    ResetProgramState();
    const PlaybackVerdict verdict = PlayBack(replay, played);
    const std::optional<GameOutcome>& outcome = LastGameOutcome();
    if (!outcome || outcome->passes == 0 || outcome->passes > replay.passes || verdict.text.empty())
        std::abort();
    platform::Application::Get().Reset();
    ResetMainForm();
    platform::UseHeadless();
    platform::SetProgramFolder("");
    return verdict;
}

// Returns the number of events of an accepted file, -1 for a refused one; plays accepted ones
// when given the program folder.
inline long ParseBytes(const uint8_t* data, size_t size, const std::string& programFolder = "") {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReplayFile replay;
    std::string error;
    if (!ParseReplay(text, "fuzz.qxr", replay, error)) {
        if (error.rfind("fuzz.qxr:", 0) != 0) std::abort();
        return -1;
    }
    if (!error.empty() || !replay.choice.mode || replay.width < kMinReplayWidth ||
        replay.height < kMinReplayHeight || replay.passes == 0)
        std::abort();
    ReplayFile again;
    if (!ParseReplay(FormatReplay(replay), "again.qxr", again, error)) std::abort();
    if (!SameChoice(again.choice, replay.choice) || again.width != replay.width ||
        again.height != replay.height || again.seed != replay.seed || again.mouse != replay.mouse ||
        again.passes != replay.passes || again.hash != replay.hash || again.body != replay.body ||
        again.checks != replay.checks || again.script.events.size() != replay.script.events.size())
        std::abort();
    if (!programFolder.empty()) Play(std::move(replay), programFolder, kFuzzPasses);
    return static_cast<long>(again.script.events.size());
}

}  // namespace replayfuzz
