// The screenshot key's pictures, encoded and written on a thread of their own so the game
// never waits for the disk.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Fatal.h"

namespace platform::sdl {

struct Shot {
    std::unique_ptr<uint32_t[]> pixels;  // COLORREF: red in the low byte
    int32_t width = 0, height = 0;
    std::tm when{};
};

// Writes a PNG of the shot into the pictures folder; says on stderr where, or why not.
bool WriteShot(const Shot& shot);

class ShotWriter {
  public:
    ShotWriter() = default;
    // Waits for every shot taken so far: none is lost at the end of the game.
    ~ShotWriter();
    ShotWriter(const ShotWriter&) = delete;
    ShotWriter& operator=(const ShotWriter&) = delete;

    // Hands a shot over; false (said on stderr) when too many are still waiting.
    bool Take(Shot&& shot);
    void Finish();

  private:
    void Start();
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Shot> queue_;
    bool stop_ = false;
    std::thread thread_;
    // A fatal error still writes the shots taken, and leaves no hidden half-written file.
    ExitStep finishOnFatal_{[this] { Finish(); }};
};

}  // namespace platform::sdl
