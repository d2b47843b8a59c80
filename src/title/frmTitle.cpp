#include "title/frmTitle.h"

#include <algorithm>

#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Fatal.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"
#include "platform/window/Application.h"
#include "platform/window/MessageBox.h"
#include "title/modMouseSetting.h"

namespace {

constexpr const char* kTitle = "Quadrix";
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int32_t kFrameMs = 20;
// A deadline further ahead than a frame and this is left over from a jump of the clock.
constexpr int32_t kGiveUpMs = 10;
// The painting's line at 1280 pixels wide, where the looser row below the block was laid out.
constexpr int32_t kRowLine = 4;

struct Place {
    int32_t left, top, width, height;
};

// Hands over to the game window, which shows the title again when its game ends.
void OpenGame() {
    MainForm().Load();
}

void Style(platform::CaptionedControl& control, const char* caption, double size, bool bold) {
    control.Caption = caption;
    control.FontName = "Small Fonts";
    control.FontSize = size;
    control.FontBold = bold;
}

}  // namespace

frmTitle::frmTitle() : Form("frmTitle") {
    Caption = kTitle;
    // The painting covers the window each time it moves, and the about picture, the one
    // control that moves or hides, repaints the window when it does (ShowAbout).
    ControlsOnImage = true;
    mModeButtons = {&cmdCasual,  &cmdDont, &cmdElectric,   &cmdFinal,  &cmdFun,     &cmdMini,
                    &cmdNoRules, &cmdOuch, &cmdRidiculous, &cmdSpeedy, &cmdVertigo, &cmdWork};
    Add(tmrMain);
    tmrMain.OnTimer = [this] { tmrMain_Timer(); };
    // Font sizes in mode order; "Vertigo" starts as its "V" and is written downwards at load.
    constexpr double kSizes[kGameModeCount] = {10, 10, 7, 18, 12, 7, 10, 10, 18, 7, 8, 10};
    for (int i = 0; i < kGameModeCount; ++i) {
        const auto mode = static_cast<GameMode>(i);
        std::string caption;
        for (const char c : ModeCaption(mode))
            caption += c == '&' ? "&&" : std::string(1, c);
        if (mode == GameMode::Vertigo) caption.resize(1);
        platform::CommandButton& button = ModeButton(mode);
        Style(button, caption.c_str(), kSizes[i], true);
        button.OnClick = [this, mode] { ModeClick(mode); };
        Add(button);
    }
    const std::pair<platform::CheckBox*, const char*> options[] = {
        {&chkLevel2, "Ouch"},   {&chkDisrupt, "Anarchy"}, {&chkSolid, "Solid"},
        {&chkPieces, "Pieces"}, {&chkSpeed, "Speed"},
    };
    for (const auto& [box, caption] : options) {
        Style(*box, caption, 7, true);
        box->ForeColor = kWhite;
        box->OnClick = [this] { ApplyOptions(); };
        Add(*box);
    }
    hscMouse.Min = 0;
    hscMouse.Max = 199;
    hscMouse.LargeChange = 10;
    hscMouse.SetValue(kMouseDefault);
    hscMouse.OnChange = [this] { gMouse = hscMouse.Value(); };
    Add(hscMouse);
    Style(cmdAbout, "About...", 7, true);
    cmdAbout.OnClick = [this] { ShowAbout(!picAboutUs.Visible); };
    Add(cmdAbout);
    picAboutUs.Visible = false;
    picAboutUs.OnClick = [this] { ShowAbout(false); };
    Add(picAboutUs);
}

frmTitle& TitleForm() {
    static frmTitle form;
    return form;
}

void frmTitle::Form_Load() {
    // As laid out: the loop starts only from an activation.
    tmrMain.SetEnabled(false);
    tmrMain.SetInterval(0);
    Move(0, 0, gScreenWidth, gScreenHeight);
    const std::string images = platform::ProgramFolder() + "/images/";
    kelSprite3 picture;
    picture.Initialize(true, -1, -1, kelSprite3::kNoColor, images + "Title.gif", kGreen);
    // The lines follow the width (4 at 1280), but only as thick as lets the block and the row
    // below it fit the screen, and never thinner than a pixel: a screen of 0-pixel lines
    // would paint cells of no size for ever.
    mCellLines = 7;
    for (mLine = std::max(1, Int(gScreenWidth / 256.0 * 0.8));; --mLine) {
        mCell = mLine * mCellLines;
        PlaceLogo(picture);
        LayOut(LogoSize(picture.Height()));
        if (mLine == 1 || ControlsFit()) break;
    }
    const int32_t w = LogoSize(picture.Width()), h = LogoSize(picture.Height());
    mLogo.Initialize(true, w, h, kelSprite3::kNoColor, "", kGreen);
    ::StretchBlt(mLogo.MainHDC(), 0, 0, w, h, picture.MainHDC(), 0, 0, picture.Width(),
                 picture.Height(), SRCCOPY);
    ::StretchBlt(mLogo.MaskHDC(), 0, 0, w, h, picture.MaskHDC(), 0, 0, picture.Width(),
                 picture.Height(), SRCCOPY);
    picture.Terminate();
    // A window loaded again (a test's) starts its painting as the first one did.
    mPainting.X = mPainting.Y = 0;
    mDriftX = mDriftY = 0;
    mDrawn.image = nullptr;
    // The about picture box keeps its copy of the picture: the file's is not kept besides. The
    // box, framed smaller at each activation, stays inside the picture.
    kelSprite3 about;
    about.Initialize(false, -1, -1, kelSprite3::kNoColor, images + "About.bmp",
                     kelSprite3::kNoColor);
    about.BitBlt(picAboutUs.hDC(), nullptr, 0, 0);
    for (platform::CheckBox* box : {&chkLevel2, &chkDisrupt, &chkSolid, &chkPieces, &chkSpeed})
        box->BackColor = RGB(128, 32, 32);
    ApplyOptions();
    SetCursorPos(Nearest(gScreenWidth / 2.0), Nearest(gScreenHeight / 3.0 + 100));
    std::string downwards;
    for (const char c : ModeCaption(GameMode::Vertigo))
        downwards += (downwards.empty() ? "" : "\r\n") + std::string(1, c);
    cmdVertigo.Caption = downwards;
    // The value the program's start loaded, or the game before this showing played with.
    hscMouse.SetValue(gMouse);
}

int32_t frmTitle::LogoSize(int32_t pictureSize) const {
    return Nearest(pictureSize / 3.0 * mLine);
}

void frmTitle::PlaceLogo(const kelSprite3& picture) {
    mLogo.X = Int((ScaleWidth() - LogoSize(picture.Width())) / 2.0);
    mLogo.Y = Int((ScaleHeight() - LogoSize(picture.Height())) * 0.15);
    const int32_t x = Nearest(mLogo.X), y = Nearest(mLogo.Y);
    mGridOffsetX = x - Int(static_cast<double>(x) / mCell) * mCell;
    mGridOffsetY = y - Int(static_cast<double>(y) / mCell) * mCell;
}

std::vector<const platform::Control*> frmTitle::PlayerControls() const {
    std::vector<const platform::Control*> controls;
    for (const platform::Control* c : Controls()) {
        if (c != &tmrMain && c != &picAboutUs) controls.push_back(c);
    }
    return controls;
}

bool frmTitle::ControlsFit() const {
    for (const platform::Control* c : PlayerControls()) {
        if (c->Left() < 0 || c->Top() < 0 || c->Left() + c->Width() > ScaleWidth() ||
            c->Top() + c->Height() > ScaleHeight())
            return false;
    }
    return true;
}

void frmTitle::LayOut(int32_t logoHeight) {
    // Each control of the block placed from an earlier one, in cells.
    const std::pair<platform::Control*, Place> block[] = {
        {&cmdVertigo, {0, 0, 2, 12}}, {&cmdMini, {3, 2, 2, 2}},       {&cmdFun, {6, 0, 16, 2}},
        {&cmdCasual, {23, 0, 7, 2}},  {&cmdRidiculous, {4, 5, 4, 4}}, {&cmdWork, {11, 3, 19, 4}},
        {&cmdOuch, {9, 8, 8, 4}},     {&chkLevel2, {20, 9, 4, 2}},    {&cmdAbout, {26, 8, 4, 2}},
        {&cmdDont, {26, 11, 4, 4}},   {&cmdNoRules, {0, 13, 14, 2}},  {&hscMouse, {15, 13, 10, 2}},
    };
    for (const auto& [control, c] : block)
        control->Move(c.left * mCell, c.top * mCell, c.width * mCell, c.height * mCell);
    // The looser row below keeps its laid-out place, in twips, as drawn for 4-pixel lines; it
    // grows and shrinks with the block, so the two never meet.
    const std::pair<platform::Control*, Place> row[] = {
        {&cmdSpeedy, {420, 7860, 1515, 855}},  {&cmdElectric, {3300, 7860, 1215, 735}},
        {&cmdFinal, {5700, 7860, 1395, 675}},  {&chkSolid, {540, 8820, 2055, 615}},
        {&chkSpeed, {2940, 8820, 2055, 615}},  {&chkDisrupt, {7500, 7740, 2055, 615}},
        {&chkPieces, {7740, 8700, 2055, 615}},
    };
    const int32_t t = platform::kTwipsPerPixel * kRowLine;
    for (const auto& [control, p] : row) {
        control->Move(p.left * mLine / t, p.top * mLine / t, p.width * mLine / t,
                      p.height * mLine / t);
    }
    picAboutUs.Move(0, 0, 300, 500);

    // The block centred on whole cells and at least a cell below the logo; its buttons grow by
    // a line so that they cover the grid line between cells too.
    const int32_t dontRight = cmdDont.Left() + cmdDont.Width();
    const int32_t x0 =
        Int(Int((ScaleWidth() - dontRight) / 2.0) / static_cast<double>(mCell)) * mCell;
    const int32_t y0 =
        Int(Nearest(mLogo.Y + logoHeight + mCell) / static_cast<double>(mCell)) * mCell;
    for (platform::Control* c : Controls()) {
        c->Move(c->Left() + mGridOffsetX + x0, c->Top() + mGridOffsetY + y0, c->Width() + mLine,
                c->Height() + mLine);
    }
}

void frmTitle::Form_Activate() {
    ApplyOptions();
    Paint();
    TurnDrift();
    // Back from a game, the new painting fills the window from the first frame.
    if (mImageReleased) DrawPainting();
    mImageReleased = false;
    Refresh();
    mFrame = 0;
    tmrMain.SetInterval(1);
    tmrMain.SetEnabled(true);
    PlaceAbout();
}

void frmTitle::Paint() {
    const int32_t w = ScaleWidth(), h = ScaleHeight();
    mPainting.Terminate();
    mPainting.Initialize(false, (Int(static_cast<double>(w) / mCell) + 1) * mCell,
                         (Int(static_cast<double>(h) / mCell) + 1) * mCell, kWhite, "",
                         kelSprite3::kNoColor);
    const int32_t pw = mPainting.Width(), ph = mPainting.Height();
    // Lines at the grid's first and last whole cell, and others at random.
    const auto across = [&](int32_t y) { mPainting.DrawRectangle(0, y, pw, y + mLine, kBlack); };
    const auto down = [&](int32_t x) { mPainting.DrawRectangle(x, 0, x + mLine, ph, kBlack); };
    across(mGridOffsetY);
    across(mGridOffsetY + Int(static_cast<double>(h) / mCell - 1) * mCell);
    for (int32_t y = 0; y <= h; y += mCell) {
        if (Rnd() < 0.15) across(mGridOffsetY + y);
    }
    down(mGridOffsetX);
    down(mGridOffsetX + Int(static_cast<double>(w) / mCell - 1) * mCell);
    for (int32_t x = 0; x <= w; x += mCell) {
        if (Rnd() < 0.15) down(mGridOffsetX + x);
    }
    // Three panels, each filling the white area around a random white point. Three fills never
    // cover every area the fixed lines make on a screen, so the search ends; on a painting of a
    // cell or two, where the fixed lines fall outside, a panel with no white left is skipped.
    const HDC dc = mPainting.MainHDC();
    for (const COLORREF colour : {RGB(0, 0, 255), RGB(255, 0, 0), RGB(255, 255, 0)}) {
        if (!WhiteWithin(pw - mLine, ph - mLine)) break;
        int32_t x = 0, y = 0;
        do {
            x = Nearest(Int(Rnd() * pw - 2 * mLine) + mLine);
            y = Nearest(Int(Rnd() * ph - 2 * mLine) + mLine);
        } while (mPainting.GetPixel(x, y) != static_cast<kelSprite3::Color>(kWhite));
        HBRUSH brush = CreateSolidBrush(colour);
        HGDIOBJ old = SelectObject(dc, brush);
        ExtFloodFill(dc, x, y, kBlack, FLOODFILLBORDER);
        SelectObject(dc, old);
        DeleteObject(brush);
    }
    mPaintingRows.Take(*dc->bitmap);
    mDrawn.image = nullptr;
}

bool frmTitle::WhiteWithin(int32_t width, int32_t height) const {
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (mPainting.GetPixel(x, y) == static_cast<kelSprite3::Color>(kWhite)) return true;
        }
    }
    return false;
}

void frmTitle::PlaceAbout() {
    const double left = (gScreenWidth - 295) / 2.0, top = (gScreenHeight - 495) / 2.0;
    const int32_t w = Int(290.0 / mCell) * mCell + mLine, h = Int(490.0 / mCell) * mCell + mLine;
    picAboutUs.Move(Int(left / mCell) * mCell + mGridOffsetX,
                    Int(top / mCell) * mCell + mGridOffsetY, w, h);
    FrameRectangle(picAboutUs.hDC(), 0, 0, w, h, kBlack, 1);
}

void frmTitle::TurnDrift() {
    const int32_t way = Rnd() < 0.5 ? -1 : 1;
    if (mDriftX != 0) {
        mDriftX = 0;
        mDriftY = way;
    } else {
        mDriftY = 0;
        mDriftX = way;
    }
}

void frmTitle::tmrMain_Timer() {
    if (platform::Application::Get().FormCount() > 2) {
        platform::MsgBox("frmTitle should be invisible!", platform::MessageBoxButtons::OK, kTitle);
    }
    tmrMain.SetEnabled(false);
    mState = 0;
    mQuit = false;
    mLooping = true;
    while (mState != 4) {
        ++mFrame;
        gJoystick->Check();
        gJoystick->JoystickMouse();
        gKeyboard->Check();
        if (mFrame % 5 == 1) DrawFrame();
        if (mFrame >= 20 * mCellLines) {
            TurnDrift();
            mFrame = 0;
        }
        platform::DoEvents();
        WaitForFrame(mNextFrameTime, kFrameMs, kGiveUpMs);
        if (!mQuit && gKeyboard->KeyUp(VK_ESCAPE) &&
            platform::MsgBox("Are you done provoking me?", platform::MessageBoxButtons::YesNo,
                             "Vask asks...") == platform::MessageBoxAnswer::Yes)
            Quit();
        if (gJoystick->ButtonDown(6) || gJoystick->ButtonDown(7))
            chkLevel2.SetValue(chkLevel2.Value() == 1 ? 0 : 1);
    }
    mLooping = false;
    // Only a Yes quits: Escape released in the frame of a mode click while the player said No
    // still starts the game.
    if (mQuit) {
        Unload();
        return;
    }
    mPainting.Terminate();
    // A game covers the window: its image need not be kept meanwhile.
    ReleaseImage();
    mDrawn.image = nullptr;
    mPaintingRows.Forget();
    mImageReleased = true;
    OpenGame();
}

void frmTitle::ShowAbout(bool visible) {
    picAboutUs.Visible = visible;
    // Controls are drawn onto the window's image: a hidden picture leaves its pixels there.
    if (mLooping) DrawPainting();
}

void frmTitle::DrawPainting() {
    const int32_t pw = mPainting.Width(), ph = mPainting.Height();
    const int32_t x = Nearest(mPainting.X), y = Nearest(mPainting.Y);
    const int32_t sx = x < 0 ? 1 : -1, sy = y < 0 ? 1 : -1;
    const HDC dc = hDC();
    mPainting.BitBlt(dc, nullptr, x, y);
    mPainting.BitBlt(dc, nullptr, x + sx * pw, y);
    mPainting.BitBlt(dc, nullptr, x, y + sy * ph);
    mPainting.BitBlt(dc, nullptr, x + sx * pw, y + sy * ph);
    mLogo.BitBlt(dc, nullptr, Nearest(mLogo.X), Nearest(mLogo.Y));
    mDrawn = {dc->bitmap, dc->bitmap->width, dc->bitmap->height, x, y};
}

bool frmTitle::MovePainting() {
    // The about picture moves with the painting and leaves its old place to be painted.
    if (!mDrawn.image || picAboutUs.Visible || WholePainting) return false;
    const HDC dc = hDC();
    Bitmap& image = *dc->bitmap;
    const int32_t x = Nearest(mPainting.X), y = Nearest(mPainting.Y);
    if (&image != mDrawn.image || image.width != mDrawn.width || image.height != mDrawn.height ||
        !mPaintingRows.Move(image, mDrawn.x, mDrawn.y, x, y))
        return false;
    // Over its last self where the painting stayed: the same pixels, as for the controls.
    mLogo.BitBlt(dc, nullptr, Nearest(mLogo.X), Nearest(mLogo.Y));
    mDrawn.x = x;
    mDrawn.y = y;
    return true;
}

void frmTitle::DrawFrame() {
    const int32_t pw = mPainting.Width(), ph = mPainting.Height();
    mPainting.X += mDriftX * mLine;
    if (mPainting.X > pw)
        mPainting.X -= pw;
    else if (mPainting.X < 0)
        mPainting.X += pw;
    mPainting.Y += mDriftY * mLine;
    if (mPainting.Y > ph)
        mPainting.Y -= ph;
    else if (mPainting.Y < 0)
        mPainting.Y += ph;
    if (!MovePainting()) DrawPainting();
    picAboutUs.Move(picAboutUs.Left() + mDriftX * mLine, picAboutUs.Top() + mDriftY * mLine);
    Refresh();
}

void frmTitle::ModeClick(GameMode mode) {
    if (mode == GameMode::Final) {
        cmdFinal.FontBold = false;
        cmdFinal.FontSize = 14;
        cmdFinal.Caption = "Loading...";
        Refresh();  // the old buttons repainted themselves at once
    }
    if (OnGameChosen) OnGameChosen(GameChoice{mode, mFlags});
    ApplyMode(mode, mLevel);
    mState = 4;
}

void frmTitle::ApplyOptions() {
    cmdFinal.FontBold = true;
    cmdFinal.FontSize = 18;
    cmdFinal.Caption = "FIN";
    OptionFlags flags;
    flags.ouch = chkLevel2.Value() == 1;
    flags.anarchy = chkDisrupt.Value() == 1;
    flags.solid = chkSolid.Value() == 1;
    flags.speed = chkSpeed.Value() == 1;
    flags.pieces = chkPieces.Value() == 1;
    const OptionEffect effect = ApplyOptionFlags(flags);
    mLevel = effect.level;
    mFlags = flags;
    for (platform::Control* c : Controls()) {
        if (auto* button = dynamic_cast<platform::CommandButton*>(c)) {
            button->BackColor = effect.buttonColor;
            button->Flat = true;
        }
    }
    cmdAbout.BackColor = kWhite;
    cmdFinal.BackColor = RGB(255, 255, 0);
    // A click shows at once; loading and activating show the window themselves.
    if (mLooping) Refresh();
}

void frmTitle::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    if (!mLooping || mode == platform::UnloadMode::Code) return;
    // Unloading under the running loop would pull the window from beneath it: end the loop
    // instead, as a Yes to the question does, and it unloads the window itself.
    cancel = true;
    Quit();
}

void frmTitle::Quit() {
    mState = 4;
    mQuit = true;
}

void frmTitle::Form_Unload() {
    SaveMouseSetting();
}
