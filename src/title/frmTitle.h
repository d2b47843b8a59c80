// The title window: the first window of the program and the one every game returns to. A
// drifting grid painting under the logo, the twelve mode buttons, the options, the mouse
// setting and the about picture; its loop runs in the first tick of its timer and ends by
// starting a game or by quitting.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/kelSprite3.h"
#include "platform/window/CheckBox.h"
#include "platform/window/CommandButton.h"
#include "platform/window/Form.h"
#include "platform/window/HScrollBar.h"
#include "platform/window/PictureBox.h"
#include "platform/window/Timer.h"
#include "title/PaintingRows.h"
#include "title/modModeArgs.h"
#include "title/modModes.h"

class frmTitle : public platform::Form {
  public:
    frmTitle();

    platform::Timer tmrMain{"tmrMain"};
    platform::CommandButton cmdCasual{"cmdCasual"};
    platform::CommandButton cmdDont{"cmdDont"};
    platform::CommandButton cmdElectric{"cmdElectric"};
    platform::CommandButton cmdFinal{"cmdFinal"};
    platform::CommandButton cmdFun{"cmdFun"};
    platform::CommandButton cmdMini{"cmdMini"};
    platform::CommandButton cmdNoRules{"cmdNoRules"};
    platform::CommandButton cmdOuch{"cmdOuch"};
    platform::CommandButton cmdRidiculous{"cmdRidiculous"};
    platform::CommandButton cmdSpeedy{"cmdSpeedy"};
    platform::CommandButton cmdVertigo{"cmdVertigo"};
    platform::CommandButton cmdWork{"cmdWork"};
    platform::CheckBox chkLevel2{"chkLevel2"};
    platform::CheckBox chkDisrupt{"chkDisrupt"};
    platform::CheckBox chkSolid{"chkSolid"};
    platform::CheckBox chkPieces{"chkPieces"};
    platform::CheckBox chkSpeed{"chkSpeed"};
    // Mouse sensitivity, 0 to 199: shows gMouse and sets it when moved.
    platform::HScrollBar hscMouse{"hscMouse"};
    platform::CommandButton cmdAbout{"cmdAbout"};
    platform::PictureBox picAboutUs{"picAboutUs"};

    // Each move of the painting drawn whole rather than as what it changed: the two agree.
    bool WholePainting = false;

    // A mode button's choice, before the mode is applied; the program's top installs it.
    std::function<void(const GameChoice&)> OnGameChosen;

    void Form_Load() override;
    void Form_Activate() override;
    // A close request while the loop runs ends the loop as a Yes to the question would.
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    // Stores the mouse setting.
    void Form_Unload() override;
    // Ends the loop as a Yes to the question does: the window then unloads itself, which
    // stores the mouse setting and, with no other window, ends the program.
    void Quit();

    // The check boxes into the settings record and the level; the buttons show the result.
    void ApplyOptions();
    platform::CommandButton& ModeButton(GameMode mode) {
        return *mModeButtons[static_cast<size_t>(mode)];
    }

    // What the loop and the layout worked out, for tests and tools.
    int32_t State() const { return mState; }
    int32_t Level() const { return mLevel; }
    int32_t LineThickness() const { return mLine; }
    int32_t CellSize() const { return mCell; }
    int32_t GridOffsetX() const { return mGridOffsetX; }
    int32_t GridOffsetY() const { return mGridOffsetY; }
    const kelSprite3& Logo() const { return mLogo; }
    const kelSprite3& Painting() const { return mPainting; }
    bool LoopRunning() const { return mLooping; }
    // The controls a player uses: every one but the timer and the about picture.
    std::vector<const platform::Control*> PlayerControls() const;

  private:
    void tmrMain_Timer();
    void ModeClick(GameMode mode);
    void TurnDrift();
    // A side of the logo for the current line, from the picture's.
    int32_t LogoSize(int32_t pictureSize) const;
    // The logo's place and the grid offsets for the current line.
    void PlaceLogo(const kelSprite3& picture);
    void LayOut(int32_t logoHeight);
    bool ControlsFit() const;
    void Paint();
    // Whether the painting has a white pixel in [0, width) x [0, height).
    bool WhiteWithin(int32_t width, int32_t height) const;
    // The painting where it stands and the logo over it: the whole window's image.
    void DrawPainting();
    // The same, from the image as the last drawing left it, writing only what the painting's
    // move changed; false where the image may hold anything else.
    bool MovePainting();
    void DrawFrame();
    void ShowAbout(bool visible);
    void PlaceAbout();

    std::array<platform::CommandButton*, kGameModeCount> mModeButtons{};

    int32_t mState = 0;
    int32_t mLevel = 1;
    OptionFlags mFlags;
    int32_t mLine = 0;
    int32_t mCellLines = 7;
    int32_t mCell = 0;
    kelSprite3 mLogo;
    kelSprite3 mPainting;
    PaintingRows mPaintingRows;
    // Where the last drawing put the painting, and into which image of what size; no image
    // when the image may since hold anything else.
    struct Drawn {
        const Bitmap* image = nullptr;
        int32_t width = 0, height = 0, x = 0, y = 0;
    } mDrawn;
    int32_t mGridOffsetX = 0;
    int32_t mGridOffsetY = 0;
    int32_t mDriftX = 0;
    int32_t mDriftY = 0;
    int32_t mFrame = 0;
    int32_t mNextFrameTime = 0;
    bool mLooping = false;
    bool mImageReleased = false;  // handed back for a game; the next activation draws it anew
    bool mQuit = false;           // the player (or a close request) said Yes to quitting
};

// The single title-form instance.
frmTitle& TitleForm();
