#include "main/modMain.h"

#include <cmath>

#include "platform/Maths.h"
#include "platform/clock/Clock.h"
#include "platform/input/Cursor.h"

namespace {
// The old program's own constants, kept so angles land on the same side of every boundary.
constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;
}  // namespace

void CursorShow() {
    int count = ShowCursor(1);
    while (count < 1)
        count = ShowCursor(1);
}

void CursorHide() {
    int count = ShowCursor(0);
    while (count > -1)
        count = ShowCursor(0);
}

double GetAngle(double x, double y) {
    double a = (x == 0) ? kPi / 2 : std::fabs(platform::Atan(y / x));
    if (x < 0) a = kPi - a;
    if (y > 0) a = kTwoPi - a;
    return a;
}

void GetDirection(double x1, double y1, double x2, double y2, double& ux, double& uy) {
    const double d = x1 - x2;
    const double a = (d == 0) ? kPi / 2 : std::fabs(platform::Atan((y1 - y2) / d));
    ux = platform::Cos(a);
    if (x1 < x2) ux = -ux;
    uy = platform::Sin(a);
    if (y1 < y2) uy = -uy;
}

void WaitForFrame(int32_t& nextFrameTime, int32_t tickMs, int32_t giveUpMs) {
    using platform::ClockDiff;
    const auto next = static_cast<uint32_t>(nextFrameTime);
    for (;;) {
        const uint32_t t1 = timeGetTime();
        const uint32_t t2 = timeGetTime();
        // A target far ahead is left over from a longer tick or a jump of the clock.
        if (ClockDiff(next, t2) >= tickMs + giveUpMs || ClockDiff(t1, next) >= 0) break;
        // The second reading may already be past the deadline: never ask for a negative sleep.
        const int32_t rest = ClockDiff(next, t2);
        if (rest > 0) Sleep(static_cast<uint32_t>(rest));
    }
    nextFrameTime = static_cast<int32_t>(timeGetTime() + static_cast<uint32_t>(tickMs));
}
