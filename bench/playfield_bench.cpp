// One playing pass of playfield work for the densest configurations: the fill, the well, the
// boxes, the man's moves, two wall sub-steps with pushes, all drawing and the border, as the
// game loop does it in play, minus input and presenting. Heap allocations inside the timed
// passes are counted with a replaced global operator new.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "AllocationCounter.h"
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/Random.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"
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
    platform::UseHeadless().SetScreenSize(c.width, c.height);
    gScreenWidth = c.width;
    gScreenHeight = c.height;
    quadrix::SharedRandom().Seed(1234);
    OptionFlags flags;
    flags.ouch = c.level == 2;
    flags.solid = c.solid;
    flags.anarchy = c.anarchy;
    ApplyOptionFlags(flags);
    ApplyMode(c.mode, c.level);
    CompleteSettings();

    frmMain& form = MainForm();
    const int32_t w = gColumns * gCellWidth + gLineWidth;
    const int32_t h = gRows * gCellHeight + gLineHeight;
    form.picMain.Move(Int((gScreenWidth - w) / 2.0), Int((gScreenHeight - h) / 2.0), w, h);
    form.picMain.SetBackColor(RGB(255, 255, 255));

    platform::SetProgramFolder(
        std::filesystem::path(__FILE__).parent_path().parent_path().string());
    form.mWell = std::make_unique<clsWell>();
    form.mWell->Initialize();
    form.mWalls = std::make_unique<clsWalls>();
    form.mWalls->Initialize(
        Nearest(Int(gWallsPerColumn + 1) * static_cast<double>(gRows) * gWallLength +
                Int(gWallsPerRow + 1) * static_cast<double>(gColumns) * gWallLength));
    form.mMan = std::make_unique<clsMan>();
    form.mMan->Initialize();
    form.mBoxes = std::make_unique<clsBoxes>();
    form.mBoxes->Initialize(50);
    // A few boxes of different ages, as after some deaths.
    for (int32_t i = 0; i < 10; ++i) {
        form.mBoxes->Add(Int(Rnd() * w), Int(Rnd() * h), RandomColor());
        for (int32_t k = 0; k < i * 20; ++k)
            form.mBoxes->Move();
    }
    form.mState = 0;
    form.mStateCounter = 100;

    keyboard.Initialize();
    gKeyboard = &keyboard;
    joystick.Initialize(0);  // none attached: every button reads as up
    gJoystick = &joystick;
}

// The playing state's work, with the border; a death or a win restarts the man so that every
// pass is a playing pass.
void Pass() {
    frmMain& form = MainForm();
    HDC dc = form.picMain.hDC();
    const int32_t w = form.picMain.ScaleWidth();
    const int32_t h = form.picMain.ScaleHeight();
    FillRectangle(dc, 0, 0, w, h, form.mMan->Hit ? gAltColor3 : gNormalColor3);
    form.mWell->DrawBackground();
    form.mBoxes->Move();
    form.mMan->Move();
    const int32_t n = Int(gSpeedFactor + 1);
    for (int32_t i = 1; i <= n; ++i) {
        form.mWalls->Move(i);
        form.mWalls->WallCollide(i);
        form.mMan->Move();
    }
    form.mWalls->DrawBackground();
    form.mMan->DrawBackground();
    form.mWalls->DrawForeground();
    form.mMan->DrawForeground();
    form.mBoxes->Draw();
    FrameRectangle(dc, 0, 0, w, h, form.mMan->Hit ? gAltColor4 : gNormalColor4, gLineWidth);
    if (form.mState != 0) {
        form.mState = 0;
        form.mMan->Initialize();
    }
}

void BM_PlayingPass(benchmark::State& state, Config c) {
    clsKeyboard keyboard;
    clsJoystick joystick;
    SetUpGame(c, keyboard, joystick);
    // Steer up and right, towards the goal, turning now and then.
    int32_t tick = 0;
    for (int i = 0; i < 20; ++i)
        Pass();  // warm-up
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        ++tick;
        keyboard.SetKeyHold('D', (tick / 7) % 3 != 0);
        keyboard.SetKeyHold('W', (tick / 5) % 2 == 0);
        keyboard.SetKeyHold('S', (tick / 11) % 4 == 0);
        Pass();
        benchmark::ClobberMemory();
    }
    const uint64_t allocations = gAllocations.load() - before;
    state.counters["allocs_per_pass"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(tick));
    state.counters["walls"] = MainForm().mWalls->LiveCount();
    gKeyboard = nullptr;
    gJoystick = nullptr;
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
    const int32_t screens[][2] = {{1920, 1080}, {1280, 1024}};
    for (const auto& s : screens) {
        for (const Named& g : games) {
            const std::string name = std::string("PlayingPass/") + g.name + "/" +
                                     std::to_string(s[0]) + "x" + std::to_string(s[1]);
            benchmark::RegisterBenchmark(name.c_str(), BM_PlayingPass,
                                         Config{g.mode, g.level, g.solid, g.anarchy, s[0], s[1]})
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
