// Replay files and the game's side of recording and playing them back.
//
// A replay is text: a header, the script lines of what the game read from its devices (the
// headless script format, see platform/headless/HeadlessScript.h) and an end line:
//   quadrix-replay 2              format version (1: the same without check lines)
//   program 1.1                   the program that recorded it
//   mode cmdFinal anarchy solid   the mode button and the ticked options
//   screen 1280x1024
//   seed 1234567
//   mouse 100                     the title's mouse setting, which steering reads
//   key down W                    ... window-0 lines (the game's load), then
//   at pass 17 cursor 640 500     ... lines for the game's passes
//   check pass 256 hash ... state 0 counter 256 x 27 y 477 hit 0 walls 1380 sum 7 boxes 0
//   end passes 812 hash 0123456789abcdef
// The hashes are platform::FrameHash of the playfield; a check line follows every 256th pass
// with the game's state after it, so a playback can say where it first went another way.
// The reader takes only what the recorder writes (see ParseReplay).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessScript.h"
#include "platform/headless/ReplayBackend.h"
#include "title/modModeArgs.h"

inline constexpr int kReplayFormat = 2;
inline constexpr uint64_t kCheckEvery = 256;
// A 7500-pass game with the mouse moving every pass takes 400 KB, and no line the recorder
// writes reaches 200 characters even with every number at its widest.
inline constexpr size_t kMaxReplayBytes = 16u << 20;
inline constexpr size_t kMaxReplayLine = 200;
inline constexpr uint64_t kMaxReplayPasses = 10000000;  // 46 hours at 60 passes a second
// The screens the game is made for.
inline constexpr int32_t kMinReplayWidth = 640, kMinReplayHeight = 480;
inline constexpr int32_t kMaxReplayWidth = 7680, kMaxReplayHeight = 4320;

// The game's state after a pass: the playfield's hash and what the pass trace shows.
struct ReplayCheckpoint {
    uint64_t pass = 0;
    uint64_t hash = 0;
    int32_t state = 0, counter = 0, x = 0, y = 0;
    bool hit = false;
    int32_t walls = 0;
    uint32_t wallSum = 0;
    int32_t boxes = 0;
    bool operator==(const ReplayCheckpoint&) const = default;
};

// The state after the pass just played (the pass number is the caller's).
ReplayCheckpoint CurrentCheckpoint(uint64_t pass);
// "hash ... boxes N": the check line after "check pass N ".
std::string CheckpointText(const ReplayCheckpoint& c);

struct ReplayFile {
    GameChoice choice;
    int32_t mouse = 100;
    int32_t width = 0, height = 0;
    uint64_t seed = 0;
    int format = kReplayFormat;
    std::string body;                 // the script and check lines, as written
    platform::HeadlessScript script;  // the same, parsed (filled by ParseReplay)
    std::vector<ReplayCheckpoint> checks;
    uint64_t passes = 0;
    uint64_t hash = 0;
};

std::string FormatReplay(const ReplayFile& replay);
// False on anything the recorder of this program version would not have written (format 1
// or 2), with "FILE:LINE: reason" in error.
bool ParseReplay(const std::string& text, const std::string& fileName, ReplayFile& out,
                 std::string& error);
// ParseReplay on a regular file of at most kMaxReplayBytes.
bool ReadReplayFile(const std::string& path, ReplayFile& out, std::string& error);

// platform::WriteFileAtomically, with the path in the error.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
// $XDG_DATA_HOME/quadrix/last.qxr, else ~/.local/share/quadrix/last.qxr; "" without a home.
std::string LastReplayPath();

// Where the recordings of this run go: an explicit file (--record) and/or last.qxr. Either
// needs a ReplayRecorder installed as the back end.
void SetReplayTargets(const std::string& recordPath, bool keepLast);
// The game about to be set up: seeds the shared random source with a fresh seed (or the one
// given, for a playback) before the mode draws from it, and notes the choice for the header.
void ChooseGame(const GameChoice& choice, std::optional<uint64_t> seed = std::nullopt);
// The session's side of a game: the game form's load, the start of its loop, each pass's end
// and its end.
void GameLoading();
void GameLoopStarts();
void GamePassEnded(uint64_t pass);
void GameEnded(uint64_t passes, uint64_t hash);
// Puts those on the game form and ChooseGame on the title's mode buttons (StartProgram does).
void InstallSessionHooks();

// A playback about to start: its passes after the recorded count are not played, and its
// state is compared with the recording's check lines.
void ExpectPlayback(const ReplayFile& replay);

struct GameOutcome {
    uint64_t passes = 0;
    uint64_t hash = 0;
    std::string recorded;  // the replay text when the game was recorded, else ""
    // Of a playback: the first check line that differs, as "first differs at pass N: state
    // ..., recorded ...", else "".
    std::string firstDifference;
    uint64_t differsAt = 0;  // its pass
    // False when a place the session keeps recordings in could not be written (said on stderr).
    bool kept = true;
};
// The last game's end, or nothing before one ended.
const std::optional<GameOutcome>& LastGameOutcome();

// How a playback ended, as one sentence, and whether it ended as recorded.
struct PlaybackVerdict {
    bool same = false;
    std::string text;
};
PlaybackVerdict JudgePlayback(const ReplayFile& replay, bool stopped);
// The replay's game from the program's start, on the installed player, and its verdict.
PlaybackVerdict PlayBack(const ReplayFile& replay, const platform::ReplayPlayer& player);
