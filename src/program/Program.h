// The program's top: its start, the title or a chosen game, and the message loop.
#pragma once

struct GameChoice;

// The program's start up to its first window: seeds the random source from the clock, asks
// for 1 ms timer resolution, lets writes past a file size limit fail instead of killing the
// program, measures the screen, creates the three shared devices and installs the recording
// session's hooks on the forms.
void StartProgram();
// The entry point: StartProgram, the stored mouse setting, then the title window, modeless. The
// program runs while one of its forms is loaded.
void Main();

// The whole run on the installed back end, as the game program makes it: Main, or the chosen
// game straight away when choice has a mode, then the message loop until the last form is
// gone. An error that escapes ends the program through platform::Fatal (status 1).
void RunProgram(const GameChoice& choice);

// Back to a fresh program's state for tools, tests and benchmarks that start several runs in
// one process: no form loaded, the game form as first made, the settings record and screen
// metrics zero, no shared keyboard or joystick (they belong to whoever made them).
void ResetProgramState();
