#include "title/frmTitle.h"

#include <algorithm>
#include <charconv>

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
#include "platform/settings/SettingsStore.h"
#include "platform/window/Application.h"
#include "platform/window/MessageBox.h"

namespace {

constexpr const char* kTitle = "Quadrix";
constexpr int32_t kMouseDefault = 100;
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int32_t kFrameMs = 20;
// A deadline further ahead than a frame and this is left over from a jump of the clock.
constexpr int32_t kGiveUpMs = 10;

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
    mModeButtons = {&cmdCasual,  &cmdDont, &cmdElectric,   &cmdFinal,  &cmdFun,     &cmdMini,
                    &cmdNoRules, &cmdOuch, &cmdRidiculous, &cmdSpeedy, &cmdVertigo, &cmdWork};
    Add(tmrMain);
    tmrMain.OnTimer = [this] { tmrMain_Timer(); };
    const struct {
        GameMode mode;
        const char* caption;
        double size;
    } modes[] = {
        {GameMode::Casual, "Casual", 10},
        {GameMode::Dont, "Don't", 10},
        {GameMode::Electric, "Electric Youth", 7},
        {GameMode::Final, "FIN", 18},
        {GameMode::Fun, "Junk Food", 12},
        {GameMode::Mini, "", 7},
        {GameMode::NoRules, "Broken Promises", 10},
        {GameMode::Ouch, "Soylent Green", 10},
        {GameMode::Ridiculous, "60", 18},
        {GameMode::Speedy, "Fast && Faded", 7},
        {GameMode::Vertigo, "V", 8},
        {GameMode::Work, "Complete Nutritional Meal including 8 Essential Vitamins", 10},
    };
    for (const auto& m : modes) {
        platform::CommandButton& button = ModeButton(m.mode);
        Style(button, m.caption, m.size, true);
        button.OnClick = [this, mode = m.mode] { ModeClick(mode); };
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
    Add(hscMouse);
    Style(cmdAbout, "About...", 7, true);
    cmdAbout.OnClick = [this] { picAboutUs.Visible = !picAboutUs.Visible; };
    Add(cmdAbout);
    picAboutUs.Visible = false;
    picAboutUs.OnClick = [this] { picAboutUs.Visible = false; };
    Add(picAboutUs);
}

frmTitle& TitleForm() {
    static frmTitle form;
    return form;
}

std::string MouseSettingApp() {
    return std::string(kTitle) + "_" + std::to_string(kVersionMajor) + "_" +
           std::to_string(kVersionMinor);
}

int32_t MouseSettingFromText(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) return kMouseDefault;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || value < 0 || value > 199) return kMouseDefault;
    return value;
}

void frmTitle::Form_Load() {
    // As laid out: the loop starts only from an activation.
    tmrMain.SetEnabled(false);
    tmrMain.SetInterval(0);
    // The lines follow the width (4 at 1280), but never outgrow the height as on a 5:4 screen:
    // on a wide screen the block and the row below it would not fit and would overlap.
    mLine = Int(std::min(gScreenWidth / 256.0 * 0.8, gScreenHeight * 4.0 / 1024));
    mCellLines = 7;
    mCell = mLine * mCellLines;
    Move(0, 0, gScreenWidth, gScreenHeight);
    LoadLogo();
    LayOut();
    for (platform::CheckBox* box : {&chkLevel2, &chkDisrupt, &chkSolid, &chkPieces, &chkSpeed})
        box->BackColor = RGB(128, 32, 32);
    ApplyOptions();
    SetCursorPos(Nearest(gScreenWidth / 2.0), Nearest(gScreenHeight / 3.0 + 100));
    cmdVertigo.Caption = "V\r\ne\r\nr\r\nt\r\ni\r\ng\r\no";
    LoadMouseSetting();
}

void frmTitle::LoadLogo() {
    const std::string images = platform::ProgramFolder() + "/images/";
    {
        kelSprite3 picture;
        picture.Initialize(true, -1, -1, kelSprite3::kNoColor, images + "Title.gif", kGreen);
        const int32_t w = Nearest(picture.Width() / 3.0 * mLine);
        const int32_t h = Nearest(picture.Height() / 3.0 * mLine);
        mLogo.Initialize(true, w, h, kelSprite3::kNoColor, "", kGreen);
        ::StretchBlt(mLogo.MainHDC(), 0, 0, w, h, picture.MainHDC(), 0, 0, picture.Width(),
                     picture.Height(), SRCCOPY);
        ::StretchBlt(mLogo.MaskHDC(), 0, 0, w, h, picture.MaskHDC(), 0, 0, picture.Width(),
                     picture.Height(), SRCCOPY);
        picture.Terminate();
    }
    mLogo.X = Int((ScaleWidth() - mLogo.Width()) / 2.0);
    mLogo.Y = Int((ScaleHeight() - mLogo.Height()) * 0.15);
    const int32_t x = Nearest(mLogo.X), y = Nearest(mLogo.Y);
    mGridOffsetX = x - Int(static_cast<double>(x) / mCell) * mCell;
    mGridOffsetY = y - Int(static_cast<double>(y) / mCell) * mCell;
    mAbout.Initialize(false, -1, -1, kelSprite3::kNoColor, images + "About.bmp",
                      kelSprite3::kNoColor);
}

void frmTitle::LayOut() {
    // Each control of the block placed from an earlier one, in cells.
    const std::pair<platform::Control*, Place> block[] = {
        {&cmdVertigo, {0, 0, 2, 12}}, {&cmdMini, {3, 2, 2, 2}},       {&cmdFun, {6, 0, 16, 2}},
        {&cmdCasual, {23, 0, 7, 2}},  {&cmdRidiculous, {4, 5, 4, 4}}, {&cmdWork, {11, 3, 19, 4}},
        {&cmdOuch, {9, 8, 8, 4}},     {&chkLevel2, {20, 9, 4, 2}},    {&cmdAbout, {26, 8, 4, 2}},
        {&cmdDont, {26, 11, 4, 4}},   {&cmdNoRules, {0, 13, 14, 2}},  {&hscMouse, {15, 13, 10, 2}},
    };
    for (const auto& [control, c] : block)
        control->Move(c.left * mCell, c.top * mCell, c.width * mCell, c.height * mCell);
    // The looser row below keeps its laid-out place, in twips.
    const std::pair<platform::Control*, Place> row[] = {
        {&cmdSpeedy, {420, 7860, 1515, 855}},  {&cmdElectric, {3300, 7860, 1215, 735}},
        {&cmdFinal, {5700, 7860, 1395, 675}},  {&chkSolid, {540, 8820, 2055, 615}},
        {&chkSpeed, {2940, 8820, 2055, 615}},  {&chkDisrupt, {7500, 7740, 2055, 615}},
        {&chkPieces, {7740, 8700, 2055, 615}},
    };
    constexpr int32_t t = platform::kTwipsPerPixel;
    for (const auto& [control, p] : row)
        control->Move(p.left / t, p.top / t, p.width / t, p.height / t);
    picAboutUs.Move(0, 0, 300, 500);

    // The block centred on whole cells and at least a cell below the logo; its buttons grow by
    // a line so that they cover the grid line between cells too.
    const int32_t dontRight = cmdDont.Left() + cmdDont.Width();
    const int32_t x0 =
        Int(Int((ScaleWidth() - dontRight) / 2.0) / static_cast<double>(mCell)) * mCell;
    const int32_t y0 =
        Int(Nearest(mLogo.Y + mLogo.Height() + mCell) / static_cast<double>(mCell)) * mCell;
    for (platform::Control* c : Controls()) {
        c->Move(c->Left() + mGridOffsetX + x0, c->Top() + mGridOffsetY + y0, c->Width() + mLine,
                c->Height() + mLine);
    }
}

void frmTitle::Form_Activate() {
    ApplyOptions();
    Paint();
    TurnDrift();
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
    // cover every area the fixed lines make, so the search ends.
    const HDC dc = mPainting.MainHDC();
    for (const COLORREF colour : {RGB(0, 0, 255), RGB(255, 0, 0), RGB(255, 255, 0)}) {
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
}

void frmTitle::PlaceAbout() {
    const double left = (gScreenWidth - 295) / 2.0, top = (gScreenHeight - 495) / 2.0;
    const int32_t w = Int(290.0 / mCell) * mCell + mLine, h = Int(490.0 / mCell) * mCell + mLine;
    picAboutUs.Move(Int(left / mCell) * mCell + mGridOffsetX,
                    Int(top / mCell) * mCell + mGridOffsetY, w, h);
    mAbout.BitBlt(picAboutUs.hDC(), nullptr, 0, 0);
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
                             "Vask asks...") == platform::MessageBoxAnswer::Yes) {
            mState = 4;
            mQuit = true;
        }
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
    OpenGame();
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
    const int32_t x = Nearest(mPainting.X), y = Nearest(mPainting.Y);
    const int32_t sx = x < 0 ? 1 : -1, sy = y < 0 ? 1 : -1;
    const HDC dc = hDC();
    mPainting.BitBlt(dc, nullptr, x, y);
    mPainting.BitBlt(dc, nullptr, x + sx * pw, y);
    mPainting.BitBlt(dc, nullptr, x, y + sy * ph);
    mPainting.BitBlt(dc, nullptr, x + sx * pw, y + sy * ph);
    mLogo.BitBlt(dc, nullptr, Nearest(mLogo.X), Nearest(mLogo.Y));
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

void frmTitle::LoadMouseSetting() {
    std::string problem;
    const std::string text = platform::GetSetting(MouseSettingApp(), "Main", "Mouse",
                                                  std::to_string(kMouseDefault), &problem);
    if (!problem.empty()) platform::Warn(problem);
    hscMouse.SetValue(MouseSettingFromText(text));
}

void frmTitle::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    if (!mLooping || mode == platform::UnloadMode::Code) return;
    // Unloading under the running loop would pull the window from beneath it: end the loop
    // instead, as a Yes to the question does, and it unloads the window itself.
    cancel = true;
    mState = 4;
    mQuit = true;
}

void frmTitle::Form_Unload() {
    // A save that fails loses only this run's value: say so and let the program end.
    std::string error;
    if (!platform::SaveSetting(MouseSettingApp(), "Main", "Mouse", std::to_string(hscMouse.Value()),
                               &error))
        platform::Warn(error);
}
