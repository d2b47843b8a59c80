// The raster drawing interface the game was designed against, provided by our own software
// raster. Handles are plain pointers to the objects below; signatures follow the old calls so
// that drawing code reads like the rules it implements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using COLORREF = uint32_t;
using BOOL = int;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};
struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

enum class GdiKind { Bitmap, Pen, Brush, Font };

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    const GdiKind kind;
    bool stock = false;  // stock objects ignore DeleteObject
    // Contexts holding the object; DeleteObject on a held object waits until the last lets go.
    int32_t selections = 0;
    bool deletePending = false;
};

// 32-bit colour pixels store the COLORREF itself (red in the low byte) so GetPixel is a load;
// monochrome pixels store 0 or 1 in the same array.
struct Bitmap : GdiObject {
    // Raises platform::Error (out of memory) past the raster's largest picture, as every other
    // way of making one does: a null bitmap would only crash later, far from its cause.
    Bitmap(int32_t w, int32_t h, bool mono);
    int32_t width;
    int32_t height;
    bool monochrome;
    std::vector<uint32_t> pixels;
    uint32_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
struct Pen : GdiObject {
    Pen(int s, int32_t w, COLORREF c) : GdiObject(GdiKind::Pen), style(s), width(w), color(c) {}
    int style;
    int32_t width;
    COLORREF color;
};

constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HOLLOW = BS_NULL;
struct Brush : GdiObject {
    Brush(int s, COLORREF c) : GdiObject(GdiKind::Brush), style(s), color(c) {}
    int style;
    COLORREF color;
};

constexpr int LF_FACESIZE = 32;
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
// 60 bytes, as the old record: callers copy it around whole.
struct LOGFONTA {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONTA) == 60);

// A realised font; the font layer (platform/fonts) owns how glyphs are made.
struct Font : GdiObject {
    explicit Font(const LOGFONTA& lf) : GdiObject(GdiKind::Font), logfont(lf) {}
    LOGFONTA logfont;
};

// Mix modes (SetROP2): the result for pen P and destination D.
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// Ternary raster operations: the high word's low byte is the truth table over
// (pattern, source, destination); every code is evaluated from that byte.
using DWORD = uint32_t;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD PATCOPY = 0x00F00021;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr unsigned FLOODFILLBORDER = 0;
constexpr unsigned FLOODFILLSURFACE = 1;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

struct DeviceContext {
    Bitmap* bitmap = nullptr;  // selected bitmap; a new memory context holds a 1x1 monochrome one
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    int rop2 = R2_COPYPEN;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    POINT current{};             // MoveToEx / LineTo position
    bool screen = false;         // the screen's reference context (GetDC(nullptr))
    Bitmap* borrowed = nullptr;  // CreateBitmapDC's target: never counted, never deleted here
};

using HDC = DeviceContext*;
using HGDIOBJ = GdiObject*;
using HBITMAP = Bitmap*;
using HPEN = Pen*;
using HBRUSH = Brush*;
using HFONT = Font*;

// Contexts. GetDC(nullptr) is the screen's reference context: bitmaps made compatible with it
// are colour. A memory context starts with a 1x1 monochrome bitmap, as the old interface does.
HDC GetDC(void* window);
int ReleaseDC(void* window, HDC dc);
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
// A context that draws into an existing bitmap it does not own (window surfaces use this).
HDC CreateBitmapDC(Bitmap* target);

// Pen OR NOT destination over a box of pixels (width x height, rows stride pixels apart),
// kept to mask: the mix overlapping outlined walls draw with, eight pixels at a time where the
// processor can. The callers clip.
void MergePenNotBox(uint32_t* first, int64_t stride, int32_t width, int32_t height, uint32_t pen,
                    uint32_t mask);

// Raises platform::Error (out of memory) for a size w x h the raster does not make.
void CheckBitmapSize(int64_t w, int64_t h);

HBITMAP CreateCompatibleBitmap(HDC dc, int32_t width, int32_t height);
// Only 1 plane with 1 or 32 bits per pixel; bits may be null. Bits use the old device-independent
// layout: 1-bit rows padded to 16 bits, leftmost pixel in the high bit, 1 = white; 32-bit pixels
// as bytes B, G, R, unused (converted to COLORREF on the way in).
HBITMAP CreateBitmap(int32_t width, int32_t height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int which);
HGDIOBJ GetCurrentObject(HDC dc, GdiKind kind);

struct BITMAP {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmPlanes = 1;
    uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};
// Fills a BITMAP for a bitmap or a LOGFONTA for a font; returns the bytes written, 0 on error.
int GetObjectA(HGDIOBJ obj, int size, void* out);

HPEN CreatePen(int style, int32_t width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);

COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);

BOOL Rectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
BOOL Ellipse(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL MoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous);
BOOL LineTo(HDC dc, int32_t x, int32_t y);
BOOL ExtFloodFill(HDC dc, int32_t x, int32_t y, COLORREF color, unsigned type);
COLORREF GetPixel(HDC dc, int32_t x, int32_t y);
BOOL SetPixelV(HDC dc, int32_t x, int32_t y, COLORREF color);

BOOL BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC src, int32_t srcX,
            int32_t srcY, DWORD rop);
BOOL StretchBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC src,
                int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, DWORD rop);

namespace raster {
// Monochrome targets take a pen or brush colour as the nearer of black (0) and white (1) by
// luminance; blits use the background-colour rule instead.
inline uint32_t NearestMonoBit(COLORREF c) {
    const uint32_t r = c & 255, g = (c >> 8) & 255, b = (c >> 16) & 255;
    return 299 * r + 587 * g + 114 * b >= 127500 ? 1u : 0u;
}
}  // namespace raster

// Text, implemented by the font layer (platform/fonts) on top of this raster.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
HFONT CreateFontIndirectA(const LOGFONTA* logfont);
int DrawTextA(HDC dc, const char* text, int count, RECT* rect, unsigned format);
