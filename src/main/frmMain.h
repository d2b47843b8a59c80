// The game form: one instance for the whole run, reused by every game. Loading it sets a game
// up; the first tick of its timer runs the whole game. Its public members are read and written
// by the playfield objects.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "main/GameHooks.h"
#include "platform/raster/gdi.h"
#include "platform/window/Form.h"
#include "platform/window/PictureBox.h"
#include "platform/window/Timer.h"

class clsWalls;
class clsMan;
class clsBoxes;
class clsWell;
class Backdrop;

// The game's states, stored in frmMain::mState as these numbers.
namespace GameState {
enum : int16_t { Playing = 0, Hit = 1, Won = 2, Over = 4 };
}

class frmMain : public platform::Form {
  public:
    frmMain();
    ~frmMain() override;

    // One of GameState's values.
    int16_t mState = GameState::Playing;
    int32_t mStateCounter = 0;
    std::unique_ptr<clsWalls> mWalls;
    std::unique_ptr<clsMan> mMan;
    std::unique_ptr<clsBoxes> mBoxes;

    // The playfield: all game drawing goes to picMain.hDC().
    platform::PictureBox picMain{"picMain"};
    // Only starts the game loop, once per game.
    platform::Timer tmrMain{"tmrMain"};

    clsWell* Well() const { return mWell.get(); }

    std::unique_ptr<clsWell> mWell;
    // The fill and the well of the pass under way, until the walls paint them.
    std::unique_ptr<Backdrop> mBackdrop;
    POINT mSavedCursor{};
    POINT mCursor{};

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_Unload() override;
    // The first tick runs the whole game and returns when it is over.
    void tmrMain_Timer();

    // Input, steering, the state's work and the border: everything of a pass but showing the
    // frame, dispatching events, the wait and the exit test.
    void PassWork();
    void ApplyJoystickSteering();
    void ApplyMouseSteering();
    // The screen centre the mouse steering pulls towards; taken once as the loop starts.
    void CentreFromScreen();
    POINT Centre() const { return POINT{mCentreX, mCentreY}; }

    // When the next pass may start, on the 32-bit millisecond clock; kept from game to game.
    int32_t NextFrameTime() const { return mNextFrameTime; }
    void SetNextFrameTime(int32_t t) { mNextFrameTime = t; }

    // Installed by the program's top; kept from game to game.
    GameHooks Hooks;
    // Watchers of the loop (the simulator's trace and timing); the game itself sets none.
    std::function<void()> OnLoad;  // as a game's set-up begins
    std::function<void()> OnPassStart;
    std::function<void()> OnPassWorkDone;  // before the frame is shown
    std::function<void()> OnPassEnd;       // after the exit test

  private:
    void OnePass();
    void PlayingWork();
    void HitWork();
    void WonWork();
    void FillPlayfield(COLORREF color);
    void CentreCursor();

    int32_t mNextFrameTime = 0;
    int32_t mCentreX = 0;
    int32_t mCentreY = 0;
};

// The single game-form instance.
frmMain& MainForm();

// Loads the game form and dispatches events until its game is over, then returns without
// running the title that the game's end shows (tools, tests and benchmarks play this way).
void PlayGame();

// Frees the game objects and puts the game form's state back to its start, as a fresh run has
// it (tests and tools that play several games in one process).
void ResetMainForm();
