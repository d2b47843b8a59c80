// The program's top: its start, the title or a chosen game, and the message loop.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class Backend;
}
struct GameChoice;
struct PlaybackVerdict;
struct ReplayFile;

// The program's start up to its first window: seeds the random source from the clock, asks
// for 1 ms timer resolution, lets writes past a file size limit fail instead of killing the
// program, measures the screen, creates the three shared devices and installs the recording
// session's hooks on the forms.
void StartProgram();
// The entry point: StartProgram, the stored mouse setting, then the title window, modeless. The
// program runs while one of its forms is loaded. A title seed replaces the clock's (a test's
// title screen, drawn the same every time).
void Main(std::optional<uint64_t> titleSeed = std::nullopt);

// The whole run on the installed back end, as the game program makes it: Main, or the chosen
// game straight away when choice has a mode, then the message loop until the last form is
// gone. An error that escapes ends the program through platform::Fatal (status 1).
void RunProgram(const GameChoice& choice, std::optional<uint64_t> titleSeed = std::nullopt);

// The game program's back end, installed behind the recorder that keeps every game as
// last.qxr and, when recordPath is not empty, in that file too.
void InstallRecording(std::unique_ptr<platform::Backend> backend, const std::string& recordPath);
// Plays the replay back on the given back end (installed behind the player, its frames at the
// recorded screen size) and says how it ended.
PlaybackVerdict PlayBackOn(std::unique_ptr<platform::Backend> backend, const ReplayFile& replay);

// Back to a fresh program's state for tools, tests and benchmarks that start several runs in
// one process: no form loaded, the game form as first made, the settings record and screen
// metrics zero, no shared keyboard or joystick (they belong to whoever made them).
void ResetProgramState();
