// Frame pacing on the machine's real clock: how late a sleep wakes after its tick, how late a pass
// starts after its deadline at 16, 50 and 100 ms ticks, and how much CPU a second of play on
// "FIN" costs at 16 ms ticks. Prints one table; takes about 15 seconds.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/clock/Clock.h"
#include "platform/clock/SystemClock.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "title/modModeArgs.h"

namespace {

// Headless in every way but time, which is the machine's; frames go nowhere, so the CPU
// figure is the game's own (the present is measured with the SDL back end).
class RealClock : public platform::Headless {
  public:
    uint32_t Now() override { return platform::SystemNowMs(); }
    void Sleep(uint32_t ms) override { platform::SystemSleepMs(ms); }
    void Present(const platform::FrameParts&) override {}
};

double NowUs(clockid_t clock = CLOCK_MONOTONIC) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

struct Spread {
    double p50, p99, max;
};
Spread Of(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

// A sleep ends on a tick of the millisecond clock: how late after that tick it wakes.
void SleepLateness() {
    std::vector<double> late;
    for (int i = 0; i < 1000; ++i) {
        const double tick = std::floor(NowUs() / 1000.0) + 1.0;
        platform::SystemSleepMs(1);
        late.push_back(NowUs() / 1000.0 - tick);
    }
    const Spread s = Of(late);
    std::printf("sleep to the next ms tick, late p50 %6.3f ms  p99 %6.3f ms  max %6.3f ms\n", s.p50,
                s.p99, s.max);
}

// The deadline is a whole millisecond of the clock; lateness is measured to the microsecond.
void PacingError(int32_t tick, int frames) {
    int32_t next = static_cast<int32_t>(platform::SystemNowMs());
    std::vector<double> late;
    for (int i = 0; i < frames; ++i) {
        const uint32_t deadline = static_cast<uint32_t>(next);
        WaitForFrame(next, tick, 10);
        // The millisecond clock is the monotonic clock's whole milliseconds, wrapped.
        const double startMs = std::fmod(NowUs() / 1000.0, 4294967296.0);
        if (i > 0) late.push_back(startMs - static_cast<double>(deadline));
    }
    const Spread s = Of(late);
    std::printf("pacing error at %3d ms ticks    p50 %6.3f ms  p99 %6.3f ms  max %6.3f ms\n", tick,
                s.p50, s.p99, s.max);
}

void FinCpu(double seconds) {
    ResetProgramState();
    StartProgram();
    quadrix::SharedRandom().Seed(1);
    GameChoice choice;
    choice.mode = GameMode::Final;
    ApplyChoice(choice);
    gFrameMs = 16;
    platform::SetProgramFolder(QUADRIX_SOURCE_DIR);
    frmMain& form = MainForm();
    const double wall0 = NowUs(), cpu0 = NowUs(CLOCK_PROCESS_CPUTIME_ID);
    int passes = 0;
    form.OnPassEnd = [&] {
        ++passes;
        gFrameMs = 16;
        if (NowUs() - wall0 >= seconds * 1e6) form.mState = GameState::Over;
    };
    PlayGame();
    form.OnPassEnd = nullptr;
    const double wall = NowUs() - wall0, cpu = NowUs(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    std::printf("FIN at 16 ms ticks, %dx%d      %.0f%% of a core (%d passes in %.1f s)\n",
                gScreenWidth, gScreenHeight, 100.0 * cpu / wall, passes, wall / 1e6);
}

}  // namespace

int main() {
    auto backend = std::make_unique<RealClock>();
    backend->SetScreenSize(1920, 1080);
    platform::InstallBackend(std::move(backend));
    SleepLateness();
    PacingError(16, 250);
    PacingError(50, 80);
    PacingError(100, 40);
    FinCpu(4.0);
    return 0;
}
