// An off-screen drawing surface: a colour bitmap in its own memory context, optionally paired
// with a mask surface (white = transparent, black = opaque), which makes it a sprite.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Numbers.h"
#include "platform/raster/gdi.h"

class kelSprite3 {
  public:
    // A colour parameter: a COLORREF (red in the low byte, top byte 0) held in a signed 32-bit
    // value, so that the two special values below fit beside every real colour.
    using Color = int32_t;
    // No colour: nothing is filled or outlined; as a transparent colour, take the picture's
    // top-left pixel.
    static constexpr Color kNoColor = -1;
    // The transparent pixel, as GetPixel reports it and DrawPixel takes it.
    static constexpr Color kTransparentPixel = -2;

    kelSprite3();
    ~kelSprite3();
    kelSprite3(const kelSprite3&) = delete;
    kelSprite3& operator=(const kelSprite3&) = delete;

    // Rebuilds the bitmaps (pTerminate), reloads the picture or refills the back colour, and
    // rebuilds the mask of a sprite.
    void Refresh(bool pTerminate);

    // The surface's font, realised on the auxiliary form.
    void Font(const std::string& pName, double pSize, bool pBold, bool pItalic);
    // Size of pText in the auxiliary form's current font and scale units.
    float FontWidth(const std::string& pText);
    float FontHeight(const std::string& pText);

    // kTransparentPixel where a sprite's mask is not black, else the main surface's pixel.
    Color GetPixel(int32_t pLeft, int32_t pTop) const;
    void DrawPixel(int32_t pLeft, int32_t pTop, Color pColor);
    void DrawLine(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor, int32_t pWidth);
    void DrawRectangle(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor);
    void DrawRectangleDeluxe(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor,
                             int32_t pBorderWidth, Color pBorderColor);
    void DrawEllipse(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor);
    void DrawEllipseDeluxe(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor,
                           int32_t pWidthBorder, Color pColorBorder);
    // For the program's own modules: a filled polygon through all the points.
    void DrawPolygon(const std::vector<POINT>& pPoints, Color pColor, int32_t pWidth,
                     Color pBorderColor);
    // pRight / pBottom below 1 mean Width - pLeft / Height - pTop; pFontWidth / pFontHeight
    // above 0 override the font's; pFontAngle is in radians.
    void DrawText(const std::string& pText, int32_t pLeft, int32_t pTop, Color pColor,
                  int32_t pStyle, double pFontAngle = 0, int32_t pRight = 0, int32_t pBottom = 0,
                  int32_t pFontWidth = 0, int32_t pFontHeight = 0);

    // Blits onto any context. pMaskHDC is nullptr, or the mask context of a destination
    // sprite, which then receives this surface's opaque pixels.
    void BitBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop);
    void BitBltDeluxe(HDC pDestHDC, HDC pMaskHDC, int32_t pDestLeft, int32_t pDestTop,
                      int32_t pDestWidth, int32_t pDestHeight, int32_t pSrcLeft, int32_t pSrcTop,
                      DWORD pPaint);
    void StretchBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop, int32_t pWidth,
                    int32_t pHeight);
    void StretchBltDeluxe(HDC pDestHDC, HDC pMaskHDC, int32_t pDestLeft, int32_t pDestTop,
                          int32_t pDestWidth, int32_t pDestHeight, int32_t pSrcLeft,
                          int32_t pSrcTop, int32_t pSrcWidth, int32_t pSrcHeight, DWORD pPaint);

    // pWidth -1 takes the size from the picture at pPath.
    void Initialize(bool pSprite, int32_t pWidth, int32_t pHeight, Color pBackColor,
                    const std::string& pPath, Color pTransparentColor);
    // Releases the bitmaps and the mask surface; the main context stays.
    void Terminate();

    HDC MainHDC() const { return mMainDC; }
    // nullptr when the surface is no sprite.
    HDC MaskHDC() const { return mMaskDC; }

    int32_t Width() const { return mWidth; }
    void SetWidth(int32_t pWidth) { Store(mWidth, pWidth, true); }
    int32_t Height() const { return mHeight; }
    void SetHeight(int32_t pHeight) { Store(mHeight, pHeight, true); }
    void Size(int32_t pWidth, int32_t pHeight);
    bool Sprite() const { return mSprite; }
    void SetSprite(bool pSprite) { Store(mSprite, pSprite, false); }
    const std::string& Path() const { return mPath; }
    void SetPath(const std::string& pPath) { Store(mPath, pPath, true); }
    void LoadPicture(const std::string& pPath, bool pAutoSize);
    Color TransparentColor() const { return mTransparentColor; }
    void SetTransparentColor(Color pColor) { Store(mTransparentColor, pColor, false); }
    Color BackColor() const { return mBackColor; }
    void SetBackColor(Color pColor) { Store(mBackColor, pColor, false); }
    void Cls() { Refresh(false); }

    // General-purpose values for the callers; they mean nothing to the surface itself.
    int32_t ID = 0;
    int32_t IDB = 0;
    int32_t IDA = 0;
    double X = 0;
    double Y = 0;
    double XB() const { return mXB; }
    void SetXB(double v) { mXB = Nearest(v); }
    double XS() const { return mXS; }
    void SetXS(double v) { mXS = Nearest(v); }
    double YB() const { return mYB; }
    void SetYB(double v) { mYB = Nearest(v); }
    double YS() const { return mYS; }
    void SetYS(double v) { mYS = Nearest(v); }
    double Z() const { return mZ; }
    void SetZ(double v) { mZ = Nearest(v); }
    double ZB() const { return mZB; }
    void SetZB(double v) { mZB = Nearest(v); }
    double ZS() const { return mZS; }
    void SetZS(double v) { mZS = Nearest(v); }
    bool Alive = false;
    Color HoldColor = 0;
    std::any Tag1;
    std::any Tag2;
    std::any Tag3;
    // Frames across and down when the surface is a sprite sheet.
    int32_t NumberX = 0;
    int32_t NumberY = 0;
    // Frame size of a sprite sheet; raise a platform::Error while NumberX / NumberY is 0.
    int32_t WidthOne() const;
    int32_t HeightOne() const;

  private:
    // Stores a property, then refreshes the surface (its bitmaps rebuilt when pTerminate).
    template <typename T>
    void Store(T& pField, const T& pValue, bool pTerminate) {
        pField = pValue;
        Refresh(pTerminate);
    }
    [[noreturn]] static void SpriteError(const std::string& pText);
    void EnsureMainBitmap(HDC pReference);
    void BuildMask(HDC pReference);
    // Draws a shape with a fill and an outline pen: in black into the mask first (sprites
    // only), then in its colours into the main surface. kNoColor leaves that part out.
    void Paint(Color pFill, int32_t pPenWidth, Color pPenColor,
               const std::function<void(HDC)>& pShape);

    HDC mMainDC = nullptr;
    HBITMAP mMainBitmap = nullptr;
    HGDIOBJ mMainFirstBitmap = nullptr;
    HDC mMaskDC = nullptr;
    HBITMAP mMaskBitmap = nullptr;
    HGDIOBJ mMaskFirstBitmap = nullptr;

    bool mSprite = false;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    Color mBackColor = kNoColor;
    std::string mPath;
    Color mTransparentColor = kNoColor;
    bool mAutoSize = false;
    LOGFONTA mLogFont{};

    int32_t mXB = 0, mXS = 0, mYB = 0, mYS = 0, mZ = 0, mZB = 0, mZS = 0;
};
