#include "graphics/kelSprite3.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "graphics/kelForm.h"
#include "graphics/modGraphic.h"
#include "platform/Error.h"
#include "platform/Numbers.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF ToColorRef(kelSprite3::Color c) {
    return static_cast<COLORREF>(c) & 0x00FFFFFFu;
}

// The screen's reference context for compatible bitmaps, released when the scope ends.
class ScreenReference {
  public:
    ScreenReference() : dc_(GetDC(nullptr)) {}
    ~ScreenReference() { ReleaseDC(nullptr, dc_); }
    ScreenReference(const ScreenReference&) = delete;
    ScreenReference& operator=(const ScreenReference&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace

kelSprite3::kelSprite3() {
    ScreenReference ref;
    mMainDC = CreateCompatibleDC(ref.get());
}

kelSprite3::~kelSprite3() {
    Terminate();
    DeleteDC(mMainDC);
}

void kelSprite3::SpriteError(const std::string& pText) {
    throw platform::Error(platform::kObjectError1, pText);
}

void kelSprite3::Refresh(bool pTerminate) {
    const bool rebuild = pTerminate || !mPath.empty();
    // Clearing Sprite on a surface that keeps its mask would leave a half sprite: refuse it
    // before anything is touched, and stay a sprite.
    if (!rebuild && !mSprite && mMaskDC != nullptr) {
        mSprite = true;
        SpriteError("Can't reverse the sprite process!");
    }
    if (rebuild) Terminate();

    ScreenReference ref;
    if (!mPath.empty()) {
        kelForm& form = kelForm::Instance();
        std::string why;
        HBITMAP picture = form.LoadPicture(mPath, &why);
        if (picture == nullptr) {
            // A damaged file is there: calling it missing would send the player looking for it.
            std::error_code ec;
            SpriteError(std::filesystem::exists(mPath, ec) ? why + "."
                                                           : "Can't find file '" + mPath + "'.");
        }
        BITMAP info;
        GetObjectA(picture, sizeof(info), &info);
        if (mAutoSize) {
            mWidth = info.bmWidth;
            mHeight = info.bmHeight;
        }
        mAutoSize = false;
        EnsureMainBitmap(ref.get());
        HDC pictureDC = CreateCompatibleDC(ref.get());
        HGDIOBJ first = SelectObject(pictureDC, picture);
        ::StretchBlt(mMainDC, 0, 0, mWidth, mHeight, pictureDC, 0, 0, info.bmWidth, info.bmHeight,
                     SRCCOPY);
        SelectObject(pictureDC, first);
        DeleteDC(pictureDC);
        form.ReleasePicture();
    } else {
        EnsureMainBitmap(ref.get());
        // A sprite without back colour keeps what its main surface holds.
        if (!mSprite || mBackColor >= 0) DrawRectangle(0, 0, mWidth, mHeight, mBackColor);
    }

    if (mSprite) BuildMask(ref.get());
}

void kelSprite3::EnsureMainBitmap(HDC pReference) {
    if (mMainBitmap != nullptr || mWidth <= 0 || mHeight <= 0) return;
    mMainBitmap = CreateCompatibleBitmap(pReference, mWidth, mHeight);
    if (mMainBitmap != nullptr) mMainFirstBitmap = SelectObject(mMainDC, mMainBitmap);
}

void kelSprite3::BuildMask(HDC pReference) {
    if (mMaskDC == nullptr) {
        mMaskDC = CreateCompatibleDC(pReference);
        if (mWidth > 0 && mHeight > 0) {
            mMaskBitmap = CreateCompatibleBitmap(pReference, mWidth, mHeight);
            if (mMaskBitmap != nullptr) mMaskFirstBitmap = SelectObject(mMaskDC, mMaskBitmap);
        }
    }
    HDC monoDC = CreateCompatibleDC(pReference);
    HBITMAP mono = CreateBitmap(mWidth > 0 ? mWidth : 1, mHeight > 0 ? mHeight : 1, 1, 1, nullptr);
    HGDIOBJ monoFirst = SelectObject(monoDC, mono);

    if (mTransparentColor == kNoColor) {
        mTransparentColor = static_cast<Color>(::GetPixel(mMainDC, 0, 0));
    }
    // Colour to monochrome: pixels of the background colour become 1, all others 0.
    SetBkColor(mMainDC, ToColorRef(mTransparentColor));
    ::BitBlt(monoDC, 0, 0, mWidth, mHeight, mMainDC, 0, 0, SRCCOPY);
    // Monochrome to colour: 1 takes the background colour (white), 0 the text colour (black).
    SetBkColor(mMaskDC, kWhite);
    ::BitBlt(mMaskDC, 0, 0, mWidth, mHeight, monoDC, 0, 0, SRCCOPY);
    ::BitBlt(monoDC, 0, 0, mWidth, mHeight, nullptr, 0, 0, DSTINVERT);
    // Transparent pixels of the main surface turn black so that SRCPAINT adds nothing there.
    SetBkColor(mMainDC, kWhite);
    ::BitBlt(mMainDC, 0, 0, mWidth, mHeight, monoDC, 0, 0, SRCAND);

    SelectObject(monoDC, monoFirst);
    DeleteObject(mono);
    DeleteDC(monoDC);
}

void kelSprite3::Font(const std::string& pName, double pSize, bool pBold, bool pItalic) {
    kelForm& form = kelForm::Instance();
    form.SetFont(pName, pSize, pBold, pItalic);
    ReadFormFont(form, mLogFont);
}

float kelSprite3::FontWidth(const std::string& pText) {
    return kelForm::Instance().TextWidth(pText);
}

float kelSprite3::FontHeight(const std::string& pText) {
    return kelForm::Instance().TextHeight(pText);
}

kelSprite3::Color kelSprite3::GetPixel(int32_t pLeft, int32_t pTop) const {
    if (mSprite && mMaskDC != nullptr && ::GetPixel(mMaskDC, pLeft, pTop) != kBlack) {
        return kTransparentPixel;
    }
    // Outside the surface the raster answers CLR_INVALID, which reads as kNoColor.
    return static_cast<Color>(::GetPixel(mMainDC, pLeft, pTop));
}

void kelSprite3::DrawPixel(int32_t pLeft, int32_t pTop, Color pColor) {
    const bool sprite = mSprite && mMaskDC != nullptr;
    if (sprite && pColor == kTransparentPixel) {
        SetPixelV(mMaskDC, pLeft, pTop, kWhite);
        SetPixelV(mMainDC, pLeft, pTop, kBlack);
        return;
    }
    // No colour, or transparency on a surface without mask: nothing to paint.
    if (pColor < 0) return;
    if (sprite) SetPixelV(mMaskDC, pLeft, pTop, kBlack);
    SetPixelV(mMainDC, pLeft, pTop, ToColorRef(pColor));
}

void kelSprite3::Paint(Color pFill, int32_t pPenWidth, Color pPenColor,
                       const std::function<void(HDC)>& pShape) {
    if (pFill < 0 && pPenColor < 0) return;
    auto drawInto = [&](HDC dc, bool mask) {
        HPEN pen = nullptr;
        HBRUSH brush = nullptr;
        HGDIOBJ oldPen;
        HGDIOBJ oldBrush;
        if (pPenColor >= 0) {
            pen = CreatePen(PS_SOLID, pPenWidth, mask ? kBlack : ToColorRef(pPenColor));
            oldPen = SelectObject(dc, pen);
        } else {
            oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        }
        if (pFill >= 0) {
            brush = CreateSolidBrush(mask ? kBlack : ToColorRef(pFill));
            oldBrush = SelectObject(dc, brush);
        } else {
            oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        }
        pShape(dc);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        if (pen != nullptr) DeleteObject(pen);
        if (brush != nullptr) DeleteObject(brush);
    };
    if (mSprite && mMaskDC != nullptr) drawInto(mMaskDC, true);
    drawInto(mMainDC, false);
}

void kelSprite3::DrawLine(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor,
                          int32_t pWidth) {
    Paint(kNoColor, pWidth, pColor, [&](HDC dc) {
        MoveToEx(dc, pX1, pY1, nullptr);
        LineTo(dc, pX2, pY2);
    });
}

void kelSprite3::DrawRectangle(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor) {
    Paint(pColor, 1, pColor, [&](HDC dc) { Rectangle(dc, pX1, pY1, pX2, pY2); });
}

void kelSprite3::DrawRectangleDeluxe(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2,
                                     Color pColor, int32_t pBorderWidth, Color pBorderColor) {
    Paint(pColor, pBorderWidth, pBorderColor, [&](HDC dc) { Rectangle(dc, pX1, pY1, pX2, pY2); });
}

void kelSprite3::DrawEllipse(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor) {
    Paint(pColor, 1, pColor, [&](HDC dc) { Ellipse(dc, pX1, pY1, pX2, pY2); });
}

void kelSprite3::DrawEllipseDeluxe(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, Color pColor,
                                   int32_t pWidthBorder, Color pColorBorder) {
    Paint(pColor, pWidthBorder, pColorBorder, [&](HDC dc) { Ellipse(dc, pX1, pY1, pX2, pY2); });
}

void kelSprite3::DrawPolygon(const std::vector<POINT>& pPoints, Color pColor, int32_t pWidth,
                             Color pBorderColor) {
    if (pPoints.empty()) return;
    Paint(pColor, pWidth, pBorderColor,
          [&](HDC dc) { Polygon(dc, pPoints.data(), static_cast<int>(pPoints.size())); });
}

void kelSprite3::DrawText(const std::string& pText, int32_t pLeft, int32_t pTop, Color pColor,
                          int32_t pStyle, double pFontAngle, int32_t pRight, int32_t pBottom,
                          int32_t pFontWidth, int32_t pFontHeight) {
    if (pColor < 0) return;
    LOGFONTA font = mLogFont;
    if (pFontWidth > 0) font.lfWidth = pFontWidth;
    if (pFontHeight > 0) font.lfHeight = pFontHeight;
    if (pFontAngle != 0) {
        // Tenths of a degree.
        const int32_t angle = CLng(pFontAngle * 180 / 3.14159265358979 * 10);
        font.lfEscapement = angle;
        font.lfOrientation = angle;
    }
    // The default right and bottom edges are the width and height less the left and top, as
    // the surface always laid text out; with clipping off they only steer alignment.
    RECT layout;
    layout.left = pLeft;
    layout.top = pTop;
    layout.right = pRight >= 1 ? pRight : mWidth - pLeft;
    layout.bottom = pBottom >= 1 ? pBottom : mHeight - pTop;
    const unsigned format = static_cast<unsigned>(pStyle + 256);

    HFONT hfont = CreateFontIndirectA(&font);
    auto drawInto = [&](HDC dc, COLORREF color) {
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(dc, color);
        HGDIOBJ oldFont = SelectObject(dc, hfont);
        RECT rect = layout;
        DrawTextA(dc, pText.c_str(), -1, &rect, format);
        SetBkMode(dc, oldMode);
        // The mask rebuild relies on black as the text colour of both contexts.
        SetTextColor(dc, oldColor);
        SelectObject(dc, oldFont);
    };
    if (mSprite && mMaskDC != nullptr) drawInto(mMaskDC, kBlack);
    drawInto(mMainDC, ToColorRef(pColor));
    DeleteObject(hfont);
}

void kelSprite3::BitBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop) {
    BitBltDeluxe(pHDC, pMaskHDC, pLeft, pTop, mWidth, mHeight, 0, 0, SRCCOPY);
}

void kelSprite3::BitBltDeluxe(HDC pDestHDC, HDC pMaskHDC, int32_t pDestLeft, int32_t pDestTop,
                              int32_t pDestWidth, int32_t pDestHeight, int32_t pSrcLeft,
                              int32_t pSrcTop, DWORD pPaint) {
    if (mSprite && mMaskDC != nullptr) {
        ::BitBlt(pMaskHDC != nullptr ? pMaskHDC : pDestHDC, pDestLeft, pDestTop, pDestWidth,
                 pDestHeight, mMaskDC, pSrcLeft, pSrcTop, SRCAND);
        ::BitBlt(pDestHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, mMainDC, pSrcLeft, pSrcTop,
                 SRCPAINT);
        return;
    }
    if (pMaskHDC != nullptr) {
        ::BitBlt(pMaskHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, nullptr, 0, 0, BLACKNESS);
    }
    ::BitBlt(pDestHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, mMainDC, pSrcLeft, pSrcTop,
             pPaint);
}

void kelSprite3::StretchBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop, int32_t pWidth,
                            int32_t pHeight) {
    StretchBltDeluxe(pHDC, pMaskHDC, pLeft, pTop, pWidth, pHeight, 0, 0, mWidth, mHeight, SRCCOPY);
}

void kelSprite3::StretchBltDeluxe(HDC pDestHDC, HDC pMaskHDC, int32_t pDestLeft, int32_t pDestTop,
                                  int32_t pDestWidth, int32_t pDestHeight, int32_t pSrcLeft,
                                  int32_t pSrcTop, int32_t pSrcWidth, int32_t pSrcHeight,
                                  DWORD pPaint) {
    if (mSprite && mMaskDC != nullptr) {
        ::StretchBlt(pMaskHDC != nullptr ? pMaskHDC : pDestHDC, pDestLeft, pDestTop, pDestWidth,
                     pDestHeight, mMaskDC, pSrcLeft, pSrcTop, pSrcWidth, pSrcHeight, SRCAND);
        ::StretchBlt(pDestHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, mMainDC, pSrcLeft,
                     pSrcTop, pSrcWidth, pSrcHeight, SRCPAINT);
        return;
    }
    if (pMaskHDC != nullptr) {
        ::BitBlt(pMaskHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, nullptr, 0, 0, BLACKNESS);
    }
    ::StretchBlt(pDestHDC, pDestLeft, pDestTop, pDestWidth, pDestHeight, mMainDC, pSrcLeft, pSrcTop,
                 pSrcWidth, pSrcHeight, pPaint);
}

void kelSprite3::Initialize(bool pSprite, int32_t pWidth, int32_t pHeight, Color pBackColor,
                            const std::string& pPath, Color pTransparentColor) {
    Terminate();
    mSprite = pSprite;
    mWidth = pWidth;
    mHeight = pHeight;
    mBackColor = pBackColor;
    mPath = pPath;
    mTransparentColor = pTransparentColor;
    if (pWidth == -1) mAutoSize = true;
    Refresh(true);
}

void kelSprite3::Terminate() {
    if (mMainBitmap != nullptr) {
        SelectObject(mMainDC, mMainFirstBitmap);
        DeleteObject(mMainBitmap);
        mMainBitmap = nullptr;
        mMainFirstBitmap = nullptr;
    }
    if (mMaskDC != nullptr) {
        if (mMaskBitmap != nullptr) {
            SelectObject(mMaskDC, mMaskFirstBitmap);
            DeleteObject(mMaskBitmap);
        }
        DeleteDC(mMaskDC);
        mMaskDC = nullptr;
        mMaskBitmap = nullptr;
        mMaskFirstBitmap = nullptr;
    }
}

void kelSprite3::Size(int32_t pWidth, int32_t pHeight) {
    mWidth = pWidth;
    mHeight = pHeight;
    Refresh(true);
}

void kelSprite3::LoadPicture(const std::string& pPath, bool pAutoSize) {
    mPath = pPath;
    mAutoSize = pAutoSize;
    Refresh(true);
}

int32_t kelSprite3::WidthOne() const {
    if (NumberX == 0) SpriteError("Can't cut the sprite into frames: NumberX is 0.");
    return static_cast<int32_t>(static_cast<int64_t>(mWidth) / NumberX);
}

int32_t kelSprite3::HeightOne() const {
    if (NumberY == 0) SpriteError("Can't cut the sprite into frames: NumberY is 0.");
    return static_cast<int32_t>(static_cast<int64_t>(mHeight) / NumberY);
}
