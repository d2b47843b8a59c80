// A timer control: while enabled with a non-zero interval, the message loop (or DoEvents)
// fires OnTimer once the interval has passed. It never fires again while its handler runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Control.h"

namespace platform {

class Timer : public Control {
  public:
    explicit Timer(std::string name = {}) : Control(std::move(name)) {}

    bool CanMove() const override { return false; }
    bool Draws() const override { return false; }

    // Setting either restarts the count.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetInterval(int32_t ms);
    int32_t Interval() const { return interval_; }

    std::function<void()> OnTimer;

    bool Running() const { return running_; }

  private:
    friend class Application;
    void Restart();

    bool enabled_ = false;
    int32_t interval_ = 0;
    uint32_t start_ = 0;
    bool running_ = false;
};

}  // namespace platform
