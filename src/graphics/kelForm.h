// The hidden auxiliary form other parts borrow: its image control loads pictures and its font
// is what surfaces and bitmap fonts measure with. Its timer unloads it once it is the last
// loaded form, so that it never keeps the program alive.
#pragma once

#include <string>

#include "platform/raster/gdi.h"
#include "platform/window/Form.h"
#include "platform/window/ImageControl.h"
#include "platform/window/ListBox.h"
#include "platform/window/Timer.h"

class kelForm : public platform::Form {
  public:
    kelForm();
    ~kelForm() override;

    // The one auxiliary form; touching it loads it (again, after it unloaded itself).
    static kelForm& Instance();

    platform::ImageControl imgMain;
    platform::ListBox lstSongs;  // laid out, never used
    platform::Timer tmrMain;

    // Units of TextWidth / TextHeight: twips (15 per pixel) as laid out, or pixels.
    enum class ScaleModes { Twips, Pixels };
    ScaleModes ScaleMode = ScaleModes::Twips;

    // Setting any part of the font realises it and selects it into the form's context.
    void SetFontName(const std::string& pName);
    const std::string& FontName() const { return mFontName; }
    void SetFontSize(double pSize);
    double FontSize() const { return mFontSize; }
    void SetFontBold(bool pBold);
    bool FontBold() const { return mFontBold; }
    void SetFontItalic(bool pItalic);
    bool FontItalic() const { return mFontItalic; }
    void SetFont(const std::string& pName, double pSize, bool pBold, bool pItalic);

    // Size of pText in the current font and scale: the widest line, and the line height times
    // the number of lines.
    float TextWidth(const std::string& pText) const;
    float TextHeight(const std::string& pText) const;

    // Loads a picture file into the image control and returns its bitmap, which stays the
    // control's until ReleasePicture; nullptr when the file gives no picture, with *pError (if
    // given) saying why.
    HBITMAP LoadPicture(const std::string& pPath, std::string* pError = nullptr);
    void ReleasePicture();

    void Form_Load() override;
    void Form_Unload() override;
    void tmrMain_Timer();

  private:
    void RealiseFont();

    std::string mFontName = "MS Sans Serif";
    double mFontSize = 8.25;
    bool mFontBold = false;
    bool mFontItalic = false;
    HFONT mFont = nullptr;
};
