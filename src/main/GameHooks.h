// Where the program's top joins each game (recording it, playing one back): the game form calls
// whichever are set, and the top installs them at start, so the form never reaches up to it.
#pragma once

#include <cstdint>
#include <functional>

struct GameHooks {
    // As the form loads, before its set-up draws from the random source or reads a device.
    std::function<void()> loading;
    std::function<void()> loopStarts;
    // After each pass, with the passes played so far; it may end the game (mState).
    std::function<void(uint64_t pass)> passEnded;
    // The passes played and the hash of the playfield's last frame.
    std::function<void(uint64_t passes, uint64_t hash)> ended;
};
