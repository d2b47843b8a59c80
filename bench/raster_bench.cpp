// The raster's hot paths as the game uses them: cell-sized fills and frames on a full-HD
// playfield (copy and merge-pen-not mixes), whole-picture fills, copies and stretches, pixel reads.
// Heap allocations inside the timed loops are counted with a replaced global operator new.
#include <benchmark/benchmark.h>

#include "AllocationCounter.h"
#include "graphics/modGraphic.h"
#include "platform/frame/FrameScaler.h"
#include "platform/raster/gdi.h"

namespace {

// A colour picture in its own memory context, as the playfield's.
struct Picture {
    Picture(int32_t w, int32_t h) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
    }
    ~Picture() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
};

// Walks cell positions over the picture so every call touches fresh rows.
template <typename Draw>
void OverCells(benchmark::State& state, int rop2, Draw draw) {
    Picture pic(1920, 1080);
    SetROP2(pic.dc, rop2);
    const auto cell = static_cast<int32_t>(state.range(0));
    const int32_t cols = 1920 / cell, rows = 1080 / cell;
    int32_t i = 0;
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        const int32_t x = (i % cols) * cell, y = ((i / cols) % rows) * cell;
        draw(pic.dc, x, y, cell, static_cast<COLORREF>(i * 2654435761u) & 0xFFFFFF);
        ++i;
    }
    benchmark::DoNotOptimize(pic.bmp->pixels.data());
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs/call"] =
        static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations());
}

void BM_FillRectangleCell(benchmark::State& state) {
    OverCells(state, R2_COPYPEN, [](HDC dc, int32_t x, int32_t y, int32_t c, COLORREF col) {
        FillRectangle(dc, x, y, x + c, y + c, col);
    });
}
BENCHMARK(BM_FillRectangleCell)->Arg(2)->Arg(12)->Arg(28);

void BM_FillRectangleCellMergePenNot(benchmark::State& state) {
    OverCells(state, R2_MERGEPENNOT, [](HDC dc, int32_t x, int32_t y, int32_t c, COLORREF col) {
        FillRectangle(dc, x, y, x + c, y + c, col);
    });
}
BENCHMARK(BM_FillRectangleCellMergePenNot)->Arg(12)->Arg(28);

void BM_FrameRectangleCell(benchmark::State& state) {
    OverCells(state, R2_MERGEPENNOT, [](HDC dc, int32_t x, int32_t y, int32_t c, COLORREF col) {
        FrameRectangle(dc, x, y, x + c, y + c, col, 2);
    });
}
BENCHMARK(BM_FrameRectangleCell)->Arg(12)->Arg(28);

void BM_FillWholePicture(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    Picture pic(w, h);
    COLORREF c = 0;
    for (auto _ : state)
        FillRectangle(pic.dc, 0, 0, w, h, c++);
    benchmark::DoNotOptimize(pic.bmp->pixels.data());
    state.SetBytesProcessed(state.iterations() * int64_t{w} * h * 4);
}
BENCHMARK(BM_FillWholePicture)->Args({1920, 1080})->Args({3840, 2160});

void BM_BitBltWholePicture(benchmark::State& state) {
    const auto rop = static_cast<DWORD>(state.range(0));
    Picture src(1920, 1080), dst(1920, 1080);
    const uint64_t before = gAllocations.load();
    for (auto _ : state)
        BitBlt(dst.dc, 0, 0, 1920, 1080, src.dc, 0, 0, rop);
    benchmark::DoNotOptimize(dst.bmp->pixels.data());
    state.SetBytesProcessed(state.iterations() * int64_t{1920} * 1080 * 4);
    state.counters["allocs/call"] =
        static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BitBltWholePicture)->Arg(SRCCOPY)->Arg(SRCAND)->Arg(0x00B8074A);

// The title logo is shrunk onto screens narrower than 1024 pixels, and pictures are stretched
// onto surfaces of their own size.
void BM_StretchBlt(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    Picture src(1024, 256), dst(w, h);
    for (auto _ : state)
        StretchBlt(dst.dc, 0, 0, w, h, src.dc, 0, 0, 1024, 256, SRCCOPY);
    benchmark::DoNotOptimize(dst.bmp->pixels.data());
    state.SetItemsProcessed(state.iterations() * int64_t{w} * h);
}
BENCHMARK(BM_StretchBlt)->Args({800, 200})->Args({1024, 256})->Args({2048, 512});

void BM_GetPixel(benchmark::State& state) {
    Picture pic(1920, 1080);
    uint32_t i = 0, sum = 0;
    for (auto _ : state) {
        sum += GetPixel(pic.dc, static_cast<int32_t>(i % 1920), static_cast<int32_t>(i % 1080));
        i += 7;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_GetPixel);

// A frame's way into the display image, without the display: one to one with red and blue
// swapped, and scaled into a window, with narrow (SSE2) and wide (AVX2) vectors side by side.
// Arguments: wide, frame width and height, display width and height.
void BM_FrameIntoDisplay(benchmark::State& state) {
    const bool before = platform::UseWideVectors(state.range(0) != 0);
    const auto fw = static_cast<int32_t>(state.range(1)), fh = static_cast<int32_t>(state.range(2));
    const auto dw = static_cast<int32_t>(state.range(3)), dh = static_cast<int32_t>(state.range(4));
    Bitmap base(fw, fh, false), picture(fw * 3 / 4, fh, false);
    for (size_t i = 0; i < base.pixels.size(); ++i)
        base.pixels[i] = static_cast<uint32_t>(i) * 2654435761u;
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = static_cast<uint32_t>(i) * 40503u;
    const platform::FrameParts parts{&base, &picture, fw / 8, 0};
    std::vector<uint32_t> display(static_cast<size_t>(dw) * dh);
    platform::FrameScaler scaler;
    for (auto _ : state) {
        if (dw == fw && dh == fh)
            platform::ConvertFrame(parts, display.data(), dw, platform::PixelOrder::RedHigh);
        else
            scaler.Draw(parts, display.data(), dw, dw, dh, platform::PixelOrder::RedHigh);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(platform::WideVectors() ? "wide" : "narrow") + " " +
                   std::to_string(fw) + "x" + std::to_string(fh) + " into " + std::to_string(dw) +
                   "x" + std::to_string(dh));
    platform::UseWideVectors(before);
}
BENCHMARK(BM_FrameIntoDisplay)
    ->ArgsProduct({{0, 1}, {1920}, {1080}, {1920}, {1080}})
    ->ArgsProduct({{0, 1}, {1920}, {1080}, {1600}, {900}})
    ->ArgsProduct({{0, 1}, {1280}, {1024}, {1024}, {768}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
