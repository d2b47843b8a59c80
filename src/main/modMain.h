// Process-wide state every part of the game shares: the settings record, screen metrics,
// the shared devices and four small helpers.
#pragma once

#include <cstdint>

#include "platform/clock/Clock.h"
#include "platform/raster/gdi.h"

class clsKeyboard;
class clsJoystick;
class clsVoices;

// The program's version: 1.1.
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;

// Settings record, in declaration order. Derived fields (gCellWidth, gCellHeight, the well
// rectangle) are recomputed by every game set-up.
inline int32_t gWellDecoration = 0;
inline int32_t gLineWidth = 0;
inline int32_t gCellWidthLines = 0;
inline int32_t gCellWidth = 0;
inline int32_t gLineHeight = 0;
inline int32_t gCellHeightLines = 0;
inline int32_t gCellHeight = 0;
inline int32_t gColumns = 0;
inline int32_t gRows = 0;
inline int32_t gWellMarginColumns = 0;
inline int32_t gWellMarginRows = 0;
inline int32_t gWallLength = 0;
inline double gWallsPerRow = 0;
inline double gWallsPerColumn = 0;
inline int32_t gWellLeft = 0;
inline int32_t gWellTop = 0;
inline int32_t gWellRight = 0;
inline int32_t gWellBottom = 0;
inline bool gRandomDirections = false;
inline int32_t gFrameMs = 0;
inline bool gElectric = false;
inline bool gAnarchy = false;
inline bool gSolid = false;
inline double gSpeedFactor = 0;
inline bool gPiecesOff = false;
inline COLORREF gNormalColor1 = 0;
inline COLORREF gNormalColor2 = 0;
inline COLORREF gNormalColor3 = 0;
inline COLORREF gNormalColor4 = 0;
inline COLORREF gAltColor1 = 0;
inline COLORREF gAltColor2 = 0;
inline COLORREF gAltColor3 = 0;
inline COLORREF gAltColor4 = 0;
inline int32_t gWallColorMode = 0;
inline COLORREF gWallLeftColorA = 0;
inline COLORREF gWallLeftColorB = 0;
inline COLORREF gWallRightColorA = 0;
inline COLORREF gWallRightColorB = 0;
inline COLORREF gWallUpColorA = 0;
inline COLORREF gWallUpColorB = 0;
inline COLORREF gWallDownColorA = 0;
inline COLORREF gWallDownColorB = 0;
inline COLORREF gManColor1 = 0;
inline COLORREF gManColor2 = 0;
inline COLORREF gManColor3 = 0;

// The mouse setting, 0 to 199: the dead zone of mouse and joystick steering. The title's
// scroll bar and a game started from the command line share it; the program's start loads it
// from the settings store and quitting stores it.
inline constexpr int32_t kMouseDefault = 100;
inline int32_t gMouse = kMouseDefault;

// Screen metrics, set once at start.
inline int32_t gScreenWidth = 0;
inline int32_t gScreenHeight = 0;

// Shared devices, created at start and never released.
inline clsKeyboard* gKeyboard = nullptr;
inline clsJoystick* gJoystick = nullptr;
inline clsVoices* gVoices = nullptr;

// Forces the cursor visible (resp. hidden) whatever the display counter held before.
void CursorShow();
void CursorHide();

// Angle of a screen vector (y down) in [0, 2π), counter-clockwise as seen on the screen.
double GetAngle(double x, double y);
// Unit vector from (x2, y2) towards (x1, y1).
void GetDirection(double x1, double y1, double x2, double y2, double& ux, double& uy);

// Frame pacing: sleeps until nextFrameTime, or not at all when that lies more than
// tickMs + giveUpMs ahead or has passed; then sets nextFrameTime to now + tickMs. Times are the
// 32-bit millisecond clock's, wrap-safe.
void WaitForFrame(int32_t& nextFrameTime, int32_t tickMs, int32_t giveUpMs);
