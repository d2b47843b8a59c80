// Joystick and mouse turned into held W, A, S, D keys for the rest of the pass.
#include <cmath>

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"

namespace {

// Sector boundaries at odd multiples of pi/8, as the old program's literals: an angle on a
// boundary belongs to the sector above it.
constexpr double kBounds[] = {0.39269908169872375, 1.1780972450961713, 1.9634954084936187,
                              2.7488935718910663,  3.5342917352885137, 4.3196898986859615,
                              5.105088062083409,   5.890486225480856};
struct SectorKeys {
    int first;
    int second;  // 0: none
};
constexpr SectorKeys kSectors[] = {
    {'D', 0},   {'W', 'D'}, {'W', 0},   {'W', 'A'}, {'A', 0},
    {'S', 'A'}, {'S', 0},   {'S', 'D'}, {'D', 0},
};

void HoldSector(double angle) {
    int sector = 0;
    while (sector < 8 && angle >= kBounds[sector])
        ++sector;
    gKeyboard->SetKeyHold(kSectors[sector].first, true);
    if (kSectors[sector].second) gKeyboard->SetKeyHold(kSectors[sector].second, true);
}

// The source with the larger magnitude wins; on a tie the earlier one stays.
double Strongest(double a, double b, double c) {
    double v = a;
    if (b != 0 && std::fabs(b) > std::fabs(v)) v = b;
    if (c != 0 && std::fabs(c) > std::fabs(v)) v = c;
    return v;
}

double MouseSetting() {
    return gMouse;
}

}  // namespace

void frmMain::ApplyJoystickSteering() {
    const clsJoystick& j = *gJoystick;
    const double jx = Strongest(j.J1X(), j.J2X(), j.PadX()) * 200;
    const double jy = Strongest(j.J1Y(), j.J2Y(), j.PadY()) * 200;
    if (std::sqrt(jx * jx + jy * jy) > MouseSetting()) HoldSector(GetAngle(jx, jy));
}

void frmMain::ApplyMouseSteering() {
    const double v = MouseSetting();
    if (gKeyboard->KeyHold(VK_LBUTTON)) {
        SetCursorPos(mCentreX, mCentreY);
        return;
    }
    GetCursorPos(&mCursor);
    const double dx = static_cast<double>(mCursor.x) - mCentreX;
    const double dy = static_cast<double>(mCursor.y) - mCentreY;
    if (std::sqrt(dx * dx + dy * dy) <= v / 2) return;
    HoldSector(GetAngle(dx, dy));
    double ux = 0, uy = 0;
    GetDirection(mCursor.x, mCursor.y, mCentreX, mCentreY, ux, uy);
    const int32_t r = Int(v / 2 + 1);
    SetCursorPos(Nearest(mCentreX + r * ux), Nearest(mCentreY + r * uy));
}
