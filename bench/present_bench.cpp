// What a frame costs on its way to the screen through the SDL back end: the full-screen
// present the game makes every pass, the letterboxed window of Alt+Enter, and for comparison
// SDL's default accelerated renderer with a streaming texture. Needs a display; under Xvfb:
//   Xvfb :99 -screen 0 1920x1080x24 &  DISPLAY=:99 build/.../bench/present_bench
// Reports the median and the 99th percentile of single presents, paced at 16 ms ticks as the
// game presents and back to back. With --play-fin=SECONDS it instead plays "FIN" at 16 ms ticks
// on the SDL back end for that long, presents included, and prints the CPU it used, the
// present's share of a pass and a whole-picture fill measured in the same run. --narrow keeps
// the frame's conversion and scaling to SSE2.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "AllocationCounter.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/raster/gdi.h"
#include "platform/sdl/SdlBackend.h"
#include "program/Program.h"
#include "title/modModeArgs.h"

namespace {

platform::SdlBackend* Open(bool sharedMemory) {
    try {
        platform::SdlOptions options;
        options.sharedMemory = sharedMemory;
        auto* sdl = new platform::SdlBackend(options);
        sdl->Screen();  // the game asks at start-up, which fixes the size it plays at
        return sdl;
    } catch (const platform::SdlError& e) {
        std::fprintf(stderr, "present_bench: %s\n", e.what());
        return nullptr;
    }
}

// The back end as the game opens it: X11 shared memory where there is some.
platform::SdlBackend* Sdl() {
    static std::unique_ptr<platform::SdlBackend> backend(Open(true));
    return backend.get();
}

// A frame that changes every time, as the game's does.
void Paint(Bitmap& frame, uint32_t n) {
    for (int32_t y = 0; y < frame.height; ++y) {
        uint32_t* row = frame.row(y);
        for (int32_t x = 0; x < frame.width; ++x)
            row[x] = RGB(x + n, y, (x ^ y) + n);
    }
}

struct NullSink : platform::EventSink {
    void MouseButton(int, bool, POINT) override {}
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string&, platform::UnloadMode) override {}
};

double NowUs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Times each call of present alone and reports the median and the 99th percentile, and the
// median of the thread's own processor time in it: the rest is waiting, mostly for the X
// server, which the kernel may run on the presenting core as soon as the frame is sent. A
// scaled frame is shared with a helper thread, so the processor time of all the program's
// threads is reported too. With a tick (state.range(0), ms) the presents come at that pace,
// as the game's passes do, so the X server has finished the last frame; 0: back to back.
template <typename PresentFn>
void TimePresents(benchmark::State& state, Bitmap& frame, PresentFn present) {
    using Clock = std::chrono::steady_clock;
    const auto tick = std::chrono::milliseconds(state.range(0));
    std::vector<double> ms, cpu, all;
    ms.reserve(1 << 16);
    cpu.reserve(1 << 16);
    all.reserve(1 << 16);
    uint32_t n = 0;
    uint64_t allocations = 0;
    auto due = Clock::now();
    for (auto _ : state) {
        state.PauseTiming();
        Paint(frame, ++n);
        due += tick;
        std::this_thread::sleep_until(due);
        state.ResumeTiming();
        const uint64_t before = gAllocations.load();
        const double all0 = NowUs(CLOCK_PROCESS_CPUTIME_ID);
        const double cpu0 = NowUs(CLOCK_THREAD_CPUTIME_ID);
        const auto t0 = Clock::now();
        present();
        const auto t1 = Clock::now();
        cpu.push_back((NowUs(CLOCK_THREAD_CPUTIME_ID) - cpu0) / 1e3);
        all.push_back((NowUs(CLOCK_PROCESS_CPUTIME_ID) - all0) / 1e3);
        allocations += gAllocations.load() - before;
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["cpu_median_ms"] = Median(cpu);
    state.counters["cpu_all_median_ms"] = Median(all);
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["allocs"] = static_cast<double>(allocations);
}

// Presents a frame of the game's screen size; in a window of another size it is scaled.
// oneToOne: a frame of the window's own size, as a game started in a window has.
void Presents(benchmark::State& state, platform::SdlBackend* sdl, bool fullscreen,
              bool oneToOne = false) {
    if (!sdl) return state.SkipWithError("no display");
    sdl->SetFullscreen(fullscreen);
    NullSink sink;
    platform::ScreenSize size = sdl->Screen();
    // The window system takes a moment to give the window its new size.
    int w = 0, h = 0;
    for (int i = 0; i < 100; ++i) {
        sdl->PumpEvents(sink);
        SDL_GetWindowSizeInPixels(sdl->Window(), &w, &h);
        if ((w == size.width && h == size.height) == fullscreen) break;
        SDL_WaitEventTimeout(nullptr, 10);
    }
    if (oneToOne) SDL_GetWindowSizeInPixels(sdl->Window(), &size.width, &size.height);
    Bitmap frame(size.width, size.height, false);
    // As a game hands it over: the form's image and the playfield's picture over most of it.
    Bitmap picture(size.width * 3 / 4, size.height, false);
    platform::FrameParts parts{&frame, &picture, size.width / 8, 0};
    TimePresents(state, frame, [&] {
        sdl->Present(parts);
        sdl->PumpEvents(sink);
    });
    SDL_GetWindowSizeInPixels(sdl->Window(), &w, &h);
    sdl->SetFullscreen(true);
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height) + " into " +
                   std::to_string(w) + "x" + std::to_string(h));
}

void BM_PresentFullScreen(benchmark::State& state) {
    Presents(state, Sdl(), true);
}
// Paced: a fixed count, as the timed part is a small share of each 16 ms.
BENCHMARK(BM_PresentFullScreen)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_PresentFullScreen)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(4.0);

// SDL's own frame buffer (the window surface): the path where X11 shared memory is missing.
void BM_PresentSdlFrameBuffer(benchmark::State& state) {
    std::unique_ptr<platform::SdlBackend> sdl(Open(false));
    Presents(state, sdl.get(), true);
}
BENCHMARK(BM_PresentSdlFrameBuffer)->Arg(16)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(4.0);

// The window of Alt+Enter during a game: the frame scaled down to fit, letterboxed.
void BM_PresentScaled(benchmark::State& state) {
    Presents(state, Sdl(), false);
}
BENCHMARK(BM_PresentScaled)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(4.0);

// A game played in a window (--windowed): one frame pixel per window pixel.
void BM_PresentWindowed(benchmark::State& state) {
    Presents(state, Sdl(), false, true);
}
BENCHMARK(BM_PresentWindowed)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(4.0);

// What one pass over every pixel of the picture costs on this machine now: the yardstick a
// present is held to (it may cost at most one such fill more than the pass itself).
void BM_WholePictureFill(benchmark::State& state) {
    platform::SdlBackend* sdl = Sdl();
    if (!sdl) return state.SkipWithError("no display");
    const platform::ScreenSize size = sdl->Screen();
    Bitmap frame(size.width, size.height, false);
    uint32_t n = 0;
    TimePresents(state, frame, [&] { std::fill(frame.pixels.begin(), frame.pixels.end(), ++n); });
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}
BENCHMARK(BM_WholePictureFill)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(600);

// SDL's default renderer (on Xvfb: OpenGL through Mesa's software rasteriser), no vsync.
void BM_PresentRenderer(benchmark::State& state) {
    platform::SdlBackend* sdl = Sdl();
    if (!sdl) return state.SkipWithError("no display");
    const platform::ScreenSize size = sdl->Screen();
    SDL_Window* window =
        SDL_CreateWindow("renderer", 0, 0, size.width, size.height, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_XBGR8888,
                                     SDL_TEXTUREACCESS_STREAMING, size.width, size.height)
                 : nullptr;
    if (texture) {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer, &info);
        state.SetLabel(info.name);
        Bitmap frame(size.width, size.height, false);
        TimePresents(state, frame, [&] {
            SDL_UpdateTexture(texture, nullptr, frame.pixels.data(), frame.width * 4);
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
            SDL_PumpEvents();
        });
    } else {
        state.SkipWithError(SDL_GetError());
    }
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
}
BENCHMARK(BM_PresentRenderer)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(4.0);

// The SDL back end with the processor time of each present noted (the game's thread: the
// present runs on it, start to end).
class TimedPresents : public platform::BackendDecorator {
  public:
    using BackendDecorator::BackendDecorator;
    void Present(const platform::FrameParts& frame) override {
        const double t0 = NowUs(CLOCK_THREAD_CPUTIME_ID);
        inner_->Present(frame);
        presentUs.push_back(NowUs(CLOCK_THREAD_CPUTIME_ID) - t0);
    }
    std::vector<double> presentUs;
};

// "FIN" as the game plays it, full screen through the SDL back end, at 16 ms ticks, counted
// from the end of its first pass (its set-up is not play); then, in the same run and at the
// same pace, as many whole-picture fills of the screen's size. The present is held to one
// fill: a pass with its present may cost one fill more than without.
int PlayFin(double seconds) {
    TimedPresents* timed = nullptr;
    try {
        auto backend =
            std::make_unique<TimedPresents>(platform::MakeSdlBackend(platform::SdlOptions{}));
        timed = backend.get();
        platform::InstallBackend(std::move(backend));
    } catch (const platform::SdlError& e) {
        std::fprintf(stderr, "present_bench: %s\n", e.what());
        return 1;
    }
    platform::SetProgramFolder(QUADRIX_SOURCE_DIR);
    StartProgram();
    quadrix::SharedRandom().Seed(1);
    GameChoice choice;
    choice.mode = GameMode::Final;
    ApplyChoice(choice);
    gFrameMs = 16;
    frmMain& form = MainForm();
    double wall0 = 0, cpu0 = 0, passStart = 0;
    bool started = false;
    std::vector<double> passUs;
    passUs.reserve(1 << 14);
    timed->presentUs.reserve(1 << 14);
    form.OnPassEnd = [&] {
        gFrameMs = 16;
        const double now = NowUs(CLOCK_THREAD_CPUTIME_ID);
        if (!started) {
            started = true;
            timed->presentUs.clear();  // the title's, the loading's and the first pass's
            wall0 = NowUs(CLOCK_MONOTONIC);
            cpu0 = NowUs(CLOCK_PROCESS_CPUTIME_ID);
            passStart = now;
            return;
        }
        passUs.push_back(now - passStart);
        passStart = now;
        if (NowUs(CLOCK_MONOTONIC) - wall0 >= seconds * 1e6) form.mState = GameState::Over;
    };
    PlayGame();
    form.OnPassEnd = nullptr;
    const double wall = NowUs(CLOCK_MONOTONIC) - wall0;
    const double cpu = NowUs(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const size_t passes = passUs.size();

    Bitmap picture(gScreenWidth, gScreenHeight, false);
    std::vector<double> fillUs;
    uint32_t n = 0;
    for (size_t i = 0; i < std::max<size_t>(passes, 100); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        const double t0 = NowUs(CLOCK_THREAD_CPUTIME_ID);
        std::fill(picture.pixels.begin(), picture.pixels.end(), ++n);
        benchmark::ClobberMemory();
        fillUs.push_back(NowUs(CLOCK_THREAD_CPUTIME_ID) - t0);
    }
    const double present = Median(timed->presentUs) / 1e3, fill = Median(fillUs) / 1e3;
    const double pass = Median(passUs) / 1e3;
    std::printf("FIN at 16 ms ticks with present, %dx%d: %.1f%% of a core (%zu passes in %.1f s)\n",
                gScreenWidth, gScreenHeight, 100.0 * cpu / wall, passes, wall / 1e6);
    std::printf(
        "FIN pass with present: median %.3f ms; present median %.3f ms = %.2f x a "
        "whole-picture fill (median %.3f ms, %zu fills); processor time of the game's "
        "thread\n",
        pass, present, fill > 0 ? present / fill : 0.0, fill, fillUs.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        // The narrower vectors (SSE2) only, for comparison.
        if (std::strcmp(argv[i], "--narrow") == 0) {
            platform::UseWideVectors(false);
            std::swap(argv[i], argv[argc - 1]);
            --argc;
            --i;
            continue;
        }
        if (std::strncmp(argv[i], "--play-fin=", 11) == 0) return PlayFin(std::atof(argv[i] + 11));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
