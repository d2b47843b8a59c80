// One playing pass of the game form for every mode and the densest option sets: input,
// steering, the fill, the well, the boxes, the man's moves, the wall sub-steps with pushes,
// all drawing and the border; everything but showing the frame and the wait. Heap allocations
// inside the timed passes are counted with a replaced global operator new.
// A whole-picture fill through the playfield's own context is the floor a pass is set against:
// at the end the "FIN" passes are printed as multiples of it (stderr with JSON output).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/raster/gdi.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"
#include "program/Program.h"
#include "title/modModes.h"

namespace {

struct Config {
    GameMode mode;
    int32_t level;
    bool solid;
    bool anarchy;
    int32_t width;
    int32_t height;
};

// Sets a game up as the title screen and the game form's set-up do.
void SetUpGame(const Config& c, clsKeyboard& keyboard, clsJoystick& joystick) {
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(c.width, c.height);
    ResetProgramState();
    gScreenWidth = c.width;
    gScreenHeight = c.height;
    quadrix::SharedRandom().Seed(1234);
    OptionFlags flags;
    flags.ouch = c.level == 2;
    flags.solid = c.solid;
    flags.anarchy = c.anarchy;
    ApplyOptionFlags(flags);
    ApplyMode(c.mode, c.level);
    keyboard.Initialize();
    gKeyboard = &keyboard;
    joystick.Initialize(0);  // none attached: every button reads as up
    gJoystick = &joystick;
    platform::SetProgramFolder(QUADRIX_SOURCE_DIR);

    frmMain& form = MainForm();
    form.Load();
    form.tmrMain.SetEnabled(false);  // the passes are run here, one by one
    const int32_t w = form.picMain.ScaleWidth();
    const int32_t h = form.picMain.ScaleHeight();
    // A few boxes of different ages, as after some deaths.
    for (int32_t i = 0; i < 10; ++i) {
        // One draw a statement, so every compiler draws them in this order.
        const int32_t x = Int(Rnd() * w);
        const int32_t y = Int(Rnd() * h);
        form.mBoxes->Add(x, y, RandomColor());
        for (int32_t k = 0; k < i * 20; ++k)
            form.mBoxes->Move();
    }
    form.mState = GameState::Playing;
    form.mStateCounter = 100;
}

// One pass of the game form (input, steering, the state's work, the border); a death or a win
// restarts the man so that every pass is a playing pass.
void Pass() {
    frmMain& form = MainForm();
    form.PassWork();
    if (form.mState != GameState::Playing) {
        form.mState = GameState::Playing;
        form.mMan->Initialize();
    }
}

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void BM_PlayingPass(benchmark::State& state, Config c) {
    clsKeyboard keyboard;
    clsJoystick joystick;
    SetUpGame(c, keyboard, joystick);
    auto& headless = static_cast<platform::Headless&>(platform::CurrentBackend());
    // Steer up and right, towards the goal, turning now and then.
    int32_t tick = 0;
    for (int i = 0; i < 20; ++i)
        Pass();  // warm-up
    // Single passes' CPU times for the spread; reserved up front, so no allocation is counted.
    std::vector<double> passMs;
    passMs.reserve(1 << 16);
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        ++tick;
        headless.SetKey('D', (tick / 7) % 3 != 0);
        headless.SetKey('W', (tick / 5) % 2 == 0);
        headless.SetKey('S', (tick / 11) % 4 == 0);
        const double t0 = ThreadCpuMs();
        Pass();
        benchmark::ClobberMemory();
        if (passMs.size() < passMs.capacity()) passMs.push_back(ThreadCpuMs() - t0);
    }
    const uint64_t allocations = gAllocations.load() - before;
    state.counters["allocs_per_pass"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(tick));
    state.counters["walls"] = MainForm().mWalls->LiveCount();
    if (!passMs.empty()) {
        std::sort(passMs.begin(), passMs.end());
        state.counters["pass_p50_ms"] = passMs[passMs.size() / 2];
        state.counters["pass_p99_ms"] =
            passMs[std::min(passMs.size() - 1, passMs.size() * 99 / 100)];
    }
    ResetProgramState();
}

// One fill of a whole screen-sized picture in a memory context, with the call the game fills
// its playfield with.
void BM_Fill(benchmark::State& state, int32_t w, int32_t h) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF color = 0;
    for (auto _ : state) {
        FillRectangle(dc, 0, 0, w, h, color);
        color = (color + 0x010203) & 0xFFFFFF;
        benchmark::ClobberMemory();
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

void Register() {
    struct Named {
        const char* name;
        GameMode mode;
        int32_t level;
        bool solid;
        bool anarchy;
    };
    const Named games[] = {
        {"FIN", GameMode::Final, 1, false, false},
        {"FIN_Solid", GameMode::Final, 1, true, false},
        {"FIN_Anarchy", GameMode::Final, 1, false, true},
        {"FIN_Solid_Anarchy", GameMode::Final, 1, true, true},
        {"JunkFood2", GameMode::Fun, 2, false, false},
    };
    auto add = [](const std::string& name, Config c) {
        benchmark::RegisterBenchmark(name.c_str(), BM_PlayingPass, c)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    // Every mode at both levels on the larger screen.
    for (int m = 0; m < kGameModeCount; ++m) {
        const auto mode = static_cast<GameMode>(m);
        for (int32_t level : {1, 2}) {
            add("Mode/" + std::string(ModeControlName(mode)) + "/" + std::to_string(level) +
                    "/1920x1080",
                Config{mode, level, false, false, 1920, 1080});
        }
    }
    const int32_t screens[][2] = {{1920, 1080}, {1280, 1024}};
    for (const auto& s : screens) {
        const std::string size = std::to_string(s[0]) + "x" + std::to_string(s[1]);
        benchmark::RegisterBenchmark(("Fill/" + size).c_str(), BM_Fill, s[0], s[1])
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
        // Every mode at level 1 on the smaller screen too.
        if (s[0] != 1920) {
            for (int m = 0; m < kGameModeCount; ++m) {
                const auto mode = static_cast<GameMode>(m);
                add("Mode/" + std::string(ModeControlName(mode)) + "/1/" + size,
                    Config{mode, 1, false, false, s[0], s[1]});
            }
        }
        for (const Named& g : games) {
            const std::string name = std::string("PlayingPass/") + g.name + "/" +
                                     std::to_string(s[0]) + "x" + std::to_string(s[1]);
            add(name, Config{g.mode, g.level, g.solid, g.anarchy, s[0], s[1]});
        }
    }
}

// Passes on the reporter it is given and keeps every median CPU time, in milliseconds.
template <typename Base>
class KeepMedians : public Base {
  public:
    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
        for (const auto& r : runs) {
            if (r.aggregate_name == "median" && r.time_unit == benchmark::kMillisecond)
                medians[r.run_name.function_name] = r.GetAdjustedCPUTime();
        }
        Base::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

// The "FIN" passes against the fill of the same screen.
void PrintRatios(const std::map<std::string, double>& medians, FILE* to) {
    for (const auto& [name, ms] : medians) {
        if (name.rfind("PlayingPass/FIN", 0) != 0) continue;
        const std::string size = name.substr(name.rfind('/') + 1);
        const auto fill = medians.find("Fill/" + size);
        if (fill == medians.end() || fill->second <= 0) continue;
        std::fprintf(to, "%-36s median %.3f ms = %.2f x fill (%.3f ms)\n", name.c_str(), ms,
                     ms / fill->second, fill->second);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    bool json = false;
    for (int i = 1; i < argc; ++i)
        json = json || std::strcmp(argv[i], "--benchmark_format=json") == 0;
    benchmark::Initialize(&argc, argv);
    if (json) {
        KeepMedians<benchmark::JSONReporter> reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintRatios(reporter.medians, stderr);
    } else {
        KeepMedians<benchmark::ConsoleReporter> reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintRatios(reporter.medians, stdout);
    }
    benchmark::Shutdown();
    return 0;
}
