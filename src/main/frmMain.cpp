#include "main/frmMain.h"

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/modMain.h"
#include "platform/Fatal.h"
#include "platform/Numbers.h"
#include "platform/clock/Clock.h"
#include "platform/input/Cursor.h"
#include "platform/window/Application.h"
#include "playfield/Backdrop.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"
#include "title/frmTitle.h"

namespace {
// Around the playfield; the game leaves it to us.
constexpr COLORREF kFormColor = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The old object gets its Terminate just before its replacement is made and initialised.
template <typename T>
T& Replace(std::unique_ptr<T>& slot) {
    if (slot) {
        slot->Terminate();
        slot.reset();
    }
    slot = std::make_unique<T>();
    return *slot;
}
}  // namespace

frmMain::frmMain() : Form("frmMain"), mBackdrop(std::make_unique<Backdrop>()) {
    Caption = "Quadrix";
    Add(picMain);
    Add(tmrMain);
    tmrMain.OnTimer = [this] { tmrMain_Timer(); };
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    if (Hooks.loading) Hooks.loading();
    // Keys and buttons held as the game starts make no edge at its first pass.
    if (gKeyboard) gKeyboard->Settle();
    if (gJoystick) gJoystick->Settle();
    if (OnLoad) OnLoad();
    GetCursorPos(&mSavedCursor);
    if (!CompleteSettings()) platform::Fatal("The playfield of this game mode is too large.");
    Move(0, 0, gScreenWidth, gScreenHeight);
    SetBackColor(kFormColor);

    const int32_t w = gColumns * gCellWidth + gLineWidth;
    const int32_t h = gRows * gCellHeight + gLineHeight;
    picMain.Move(Int((ScaleWidth() - w) / 2.0), Int((ScaleHeight() - h) / 2.0), w, h);
    picMain.SetBackColor(kWhite);

    mBackdrop->Forget();
    Replace(mWell).Initialize();
    Replace(mWalls).Initialize(
        Nearest(Int(gWallsPerColumn + 1) * static_cast<double>(gRows) * gWallLength +
                Int(gWallsPerRow + 1) * static_cast<double>(gColumns) * gWallLength));
    Replace(mMan).Initialize();
    Replace(mBoxes).Initialize(50);
    mStateCounter = -1;

    tmrMain.SetInterval(1);
    tmrMain.SetEnabled(true);
}

void frmMain::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    // A close from outside ends the game at the loop's next pass, which unloads from code.
    if (mode != platform::UnloadMode::Code) {
        cancel = true;
        mState = GameState::Over;
    }
}

void frmMain::Form_Unload() {
    TitleForm().Show();
}

frmMain& MainForm() {
    static frmMain form;
    return form;
}

void PlayGame() {
    frmMain& form = MainForm();
    form.Load();
    // The whole game runs inside the first tick of the form's timer.
    while (form.Loaded()) {
        Sleep(1);
        platform::DoEvents();
    }
}

void ResetMainForm() {
    frmMain& form = MainForm();
    form.mState = GameState::Playing;
    form.mStateCounter = 0;
    form.mWell.reset();
    form.mBackdrop->Forget();
    form.mWalls.reset();
    form.mMan.reset();
    form.mBoxes.reset();
    form.mSavedCursor = POINT{};
    form.mCursor = POINT{};
    form.SetNextFrameTime(0);
    form.tmrMain.SetEnabled(false);
}
