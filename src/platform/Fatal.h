// The one way out for an error the program cannot go on from.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace platform {

// Restores the desktop, runs the exit steps, shows the text (a message box where the back end
// has one, and on stderr always) and ends the process with status 1. Nothing else is cleaned
// up: the objects of a game half way through are not to be trusted to destruct.
[[noreturn]] void Fatal(const std::string& text);
// The same for an exception that reached the top: its text, or "out of memory".
[[noreturn]] void Fatal(const std::exception& error);

// For a fault the program goes on from: the text on stderr, nothing else.
void Warn(const std::string& text);

// What is worth keeping on the way out through Fatal (the game being recorded, the screenshots
// still being written), registered by the layer that owns it for as long as this object lives.
// Steps run once, in the order they were made, each on its own: one that fails does not stop
// the others. A step must not rely on the state that failed; a Fatal inside one skips the rest.
class ExitStep {
  public:
    explicit ExitStep(std::function<void()> step);
    ~ExitStep();
    ExitStep(const ExitStep&) = delete;
    ExitStep& operator=(const ExitStep&) = delete;

  private:
    uint64_t id_;
};

}  // namespace platform
