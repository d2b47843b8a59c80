// Replay files and the game's side of recording and playing them back.
//
// A replay is text: a header, the script lines of what the game read from its devices (the
// headless script format, see platform/headless/HeadlessScript.h) and an end line:
//   quadrix-replay 1              format version
//   program 1.1                   the program that recorded it
//   mode cmdFinal anarchy solid   the mode button and the ticked options
//   screen 1280x1024
//   seed 1234567
//   mouse 100                     the title's mouse setting, which steering reads
//   key down W                    ... window-0 lines (the game's load), then
//   at pass 17 cursor 640 500     ... lines for the game's passes
//   end passes 812 hash 0123456789abcdef
// The hash is platform::FrameHash of the playfield after the last pass.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/headless/HeadlessScript.h"
#include "title/modModeArgs.h"

inline constexpr int kReplayFormat = 1;

struct ReplayFile {
    GameChoice choice;
    int32_t mouse = 100;
    int32_t width = 0, height = 0;
    uint64_t seed = 0;
    std::string body;                 // the script lines, as written
    platform::HeadlessScript script;  // the same, parsed (filled by ParseReplay)
    uint64_t passes = 0;
    uint64_t hash = 0;
};

std::string FormatReplay(const ReplayFile& replay);
// False on anything but a complete replay of this format and program version, with the file
// name, the line and the reason in error.
bool ParseReplay(const std::string& text, const std::string& fileName, ReplayFile& out,
                 std::string& error);
bool ReadReplayFile(const std::string& path, ReplayFile& out, std::string& error);

// Writes a temporary file in the same folder, flushes it to disk and renames it over path,
// so a reader sees the old file or the new one, never half of one. Makes the folder.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
// $XDG_DATA_HOME/quadrix/last.qxr, else ~/.local/share/quadrix/last.qxr; "" without a home.
std::string LastReplayPath();

// Where the recordings of this run go: an explicit file (--record) and/or last.qxr. Either
// needs a ReplayRecorder installed as the back end.
void SetReplayTargets(const std::string& recordPath, bool keepLast);
// The game about to be set up: seeds the shared random source with a fresh seed (or the one
// given, for a playback) before the mode draws from it, and notes the choice for the header.
void ChooseGame(const GameChoice& choice, std::optional<uint64_t> seed = std::nullopt);
// The session's side of a game: the game form's load, the start of its loop and its end.
void GameLoading();
void GameLoopStarts();
void GameEnded(uint64_t passes, uint64_t hash);
// Puts those on the game form and ChooseGame on the title's mode buttons (StartProgram does).
void InstallSessionHooks();

struct GameOutcome {
    uint64_t passes = 0;
    uint64_t hash = 0;
    std::string recorded;  // the replay text when the game was recorded, else ""
};
// The last game's end, or nothing before one ended.
const std::optional<GameOutcome>& LastGameOutcome();
