// A message box that a request to end the program dismisses.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <thread>
#include <vector>

namespace platform::sdl {

// SDL shows its boxes from a process of their own (a fork of ours on X11, zenity on
// Wayland) and waits for it, whatever signal comes. While one of these lives, a request to
// end the program ends the processes of ours that were not there before, which closes the
// box and lets the wait return.
class BoxDismisser {
  public:
    BoxDismisser();
    ~BoxDismisser();
    BoxDismisser(const BoxDismisser&) = delete;
    BoxDismisser& operator=(const BoxDismisser&) = delete;

    // Whether a box's process was ended.
    bool Dismissed() const { return dismissed_; }

  private:
    void Watch();

    std::vector<pid_t> before_;  // our children when the box was asked for
    int stop_[2] = {-1, -1};
    std::atomic<bool> dismissed_{false};
    std::thread thread_;
};

}  // namespace platform::sdl
