// The steering's arithmetic for one pass of mouse steering (an angle and a direction), with our
// own arctangent, sine and cosine, and the same with the C library's for comparison.
#include <benchmark/benchmark.h>

#include <cmath>

#include "main/modMain.h"

namespace {

// Cursor offsets around a circle, so every sector and octant of the reductions is taken.
template <typename Pass>
void OverOffsets(benchmark::State& state, Pass pass) {
    int i = 0;
    for (auto _ : state) {
        const double dx = (i * 37) % 401 - 200, dy = (i * 53) % 301 - 150;
        double ux = 0, uy = 0;
        benchmark::DoNotOptimize(pass(dx, dy, ux, uy));
        benchmark::DoNotOptimize(ux + uy);
        ++i;
    }
}

void BM_MouseSteering(benchmark::State& state) {
    OverOffsets(state, [](double dx, double dy, double& ux, double& uy) {
        GetDirection(dx, dy, 0, 0, ux, uy);
        return GetAngle(dx, dy);
    });
}
BENCHMARK(BM_MouseSteering);

void BM_MouseSteeringCLibrary(benchmark::State& state) {
    OverOffsets(state, [](double dx, double dy, double& ux, double& uy) {
        const double a = dx == 0 ? M_PI / 2 : std::fabs(std::atan(dy / dx));
        ux = std::cos(a);
        uy = std::sin(a);
        return dx == 0 ? a : std::fabs(std::atan(dy / dx));
    });
}
BENCHMARK(BM_MouseSteeringCLibrary);

}  // namespace

BENCHMARK_MAIN();
