#include "graphics/kelForm.h"

#include <algorithm>

#include "platform/fonts/Fonts.h"
#include "platform/window/Application.h"

namespace {

constexpr float kTwipsPerPixel = 15;

}  // namespace

kelForm::kelForm() : platform::Form("kelForm") {
    Caption = "Form2";
    // The form as laid out, 4680 x 3195 twips; it is never shown.
    Move(0, 0, 312, 213);
    imgMain.SetName("imgMain");
    imgMain.Visible = false;
    Add(imgMain);
    lstSongs.SetName("lstSongs");
    lstSongs.Visible = false;
    Add(lstSongs);
    tmrMain.SetName("tmrMain");
    tmrMain.SetInterval(1000);
    tmrMain.SetEnabled(false);
    tmrMain.OnTimer = [this] { tmrMain_Timer(); };
    Add(tmrMain);
    RealiseFont();
}

kelForm::~kelForm() {
    tmrMain.SetEnabled(false);
    if (mFont != nullptr) {
        SelectObject(hDC(), GetStockObject(SYSTEM_FONT));
        DeleteObject(mFont);
    }
}

kelForm& kelForm::Instance() {
    // Never destroyed: it may be touched until the very end of the program.
    static kelForm* form = new kelForm;
    if (!form->Loaded()) form->Load();
    return *form;
}

void kelForm::Form_Load() {
    tmrMain.SetEnabled(true);
}

void kelForm::Form_Unload() {
    tmrMain.SetEnabled(false);
    // A form loaded again starts from its laid-out properties.
    ScaleMode = ScaleModes::Twips;
    mFontName = "MS Sans Serif";
    mFontSize = 8.25;
    mFontBold = false;
    mFontItalic = false;
    RealiseFont();
}

void kelForm::tmrMain_Timer() {
    const auto& loaded = platform::Application::Get().LoadedForms();
    if (loaded.size() == 1 && loaded.front() == this) Unload();
}

void kelForm::RealiseFont() {
    const LOGFONTA logfont = platform::MakeLogFont(mFontName, mFontSize, mFontBold, mFontItalic);
    HFONT font = CreateFontIndirectA(&logfont);
    SelectObject(hDC(), font);
    if (mFont != nullptr) DeleteObject(mFont);
    mFont = font;
}

void kelForm::SetFontName(const std::string& pName) {
    mFontName = pName;
    RealiseFont();
}

void kelForm::SetFontSize(double pSize) {
    mFontSize = pSize;
    RealiseFont();
}

void kelForm::SetFontBold(bool pBold) {
    mFontBold = pBold;
    RealiseFont();
}

void kelForm::SetFontItalic(bool pItalic) {
    mFontItalic = pItalic;
    RealiseFont();
}

void kelForm::SetFont(const std::string& pName, double pSize, bool pBold, bool pItalic) {
    mFontName = pName;
    mFontSize = pSize;
    mFontBold = pBold;
    mFontItalic = pItalic;
    RealiseFont();
}

float kelForm::TextWidth(const std::string& pText) const {
    int32_t widest = 0;
    size_t start = 0;
    while (true) {
        const size_t end = pText.find('\n', start);
        std::string line = pText.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        widest = std::max(widest, platform::MeasureText(mFont->logfont, line).width);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const float pixels = static_cast<float>(widest);
    return ScaleMode == ScaleModes::Twips ? pixels * kTwipsPerPixel : pixels;
}

float kelForm::TextHeight(const std::string& pText) const {
    const int32_t lines = 1 + static_cast<int32_t>(std::count(pText.begin(), pText.end(), '\n'));
    const float pixels =
        static_cast<float>(platform::MeasureText(mFont->logfont, "").height) * lines;
    return ScaleMode == ScaleModes::Twips ? pixels * kTwipsPerPixel : pixels;
}

HBITMAP kelForm::LoadPicture(const std::string& pPath, std::string* pError) {
    // A failed load keeps the control's old picture: drop it first so a bad file gives none.
    imgMain.Clear();
    if (!imgMain.LoadPicture(pPath, pError)) return nullptr;
    return imgMain.Picture();
}

void kelForm::ReleasePicture() {
    imgMain.Clear();
}
