// Device contexts and the objects they select: bitmaps, pens, brushes, fonts, stock objects.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/Error.h"
#include "platform/raster/gdi.h"

namespace {

// Anything larger is refused rather than risking a huge allocation or an index overflow.
constexpr int64_t kMaxPixels = int64_t{1} << 28;

int32_t Clamp0(int32_t v) {
    return v < 0 ? 0 : v;
}

template <typename T>
T* MakeStock(T* obj) {
    obj->stock = true;
    return obj;
}

// A new memory context holds the shared 1x1 monochrome stock bitmap, as the old interface does.
Bitmap* StockMonoBitmap() {
    static Bitmap* b = MakeStock(new Bitmap(1, 1, true));
    return b;
}

Bitmap* StockColourBitmap() {
    static Bitmap* b = MakeStock(new Bitmap(1, 1, false));
    return b;
}

Font* MakeStockFont(int32_t height, int32_t weight, const char* face) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return MakeStock(new Font(lf));
}

// Per-call pens and brushes come and go hundreds of times a frame; recycle their storage.
template <typename T>
class FreeList {
  public:
    FreeList() = default;
    FreeList(const FreeList&) = delete;
    FreeList& operator=(const FreeList&) = delete;
    ~FreeList() {
        for (void* mem : free_)
            ::operator delete(mem);
    }
    template <typename... Args>
    T* Make(Args... args) {
        if (free_.empty()) return new T(args...);
        void* mem = free_.back();
        free_.pop_back();
        return new (mem) T(args...);
    }
    void Release(T* obj) {
        obj->~T();
        if (free_.size() < kKeep) {
            free_.push_back(obj);
        } else {
            ::operator delete(static_cast<void*>(obj));
        }
    }

  private:
    static constexpr size_t kKeep = 64;
    std::vector<void*> free_;
};

FreeList<Pen>& Pens() {
    static FreeList<Pen> list;
    return list;
}

FreeList<Brush>& Brushes() {
    static FreeList<Brush> list;
    return list;
}

void Destroy(GdiObject* obj) {
    switch (obj->kind) {
        case GdiKind::Pen:
            Pens().Release(static_cast<Pen*>(obj));
            break;
        case GdiKind::Brush:
            Brushes().Release(static_cast<Brush*>(obj));
            break;
        default:
            delete obj;
            break;
    }
}

void Hold(DeviceContext* dc, GdiObject* obj) {
    if (obj == nullptr || obj->stock) return;
    if (obj == dc->borrowed) return;
    ++obj->selections;
}

void LetGo(DeviceContext* dc, GdiObject* obj) {
    if (obj == nullptr || obj->stock) return;
    if (obj == dc->borrowed) {
        dc->borrowed = nullptr;
        return;
    }
    if (--obj->selections <= 0) {
        obj->selections = 0;
        if (obj->deletePending) Destroy(obj);
    }
}

DeviceContext* NewContext(bool screen) {
    auto* dc = new DeviceContext();
    dc->screen = screen;
    dc->bitmap = screen ? StockColourBitmap() : StockMonoBitmap();
    dc->pen = static_cast<Pen*>(GetStockObject(BLACK_PEN));
    dc->brush = static_cast<Brush*>(GetStockObject(WHITE_BRUSH));
    dc->font = static_cast<Font*>(GetStockObject(SYSTEM_FONT));
    return dc;
}

}  // namespace

void CheckBitmapSize(int64_t w, int64_t h) {
    if (w * h <= kMaxPixels) return;
    throw platform::Error(platform::kOutOfMemory, "Out of memory: a picture of " +
                                                      std::to_string(w) + "x" + std::to_string(h) +
                                                      " pixels is too large.");
}

Bitmap::Bitmap(int32_t w, int32_t h, bool mono)
    : GdiObject(GdiKind::Bitmap), width(Clamp0(w)), height(Clamp0(h)), monochrome(mono) {
    CheckBitmapSize(width, height);
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
}

HDC GetDC(void*) {
    return NewContext(true);
}

int ReleaseDC(void*, HDC dc) {
    return DeleteDC(dc);
}

HDC CreateCompatibleDC(HDC) {
    return NewContext(false);
}

HDC CreateBitmapDC(Bitmap* target) {
    HDC dc = NewContext(false);
    if (target != nullptr) {
        dc->bitmap = target;
        dc->borrowed = target;
    }
    return dc;
}

BOOL DeleteDC(HDC dc) {
    if (dc == nullptr) return 0;
    LetGo(dc, dc->bitmap);
    LetGo(dc, dc->pen);
    LetGo(dc, dc->brush);
    LetGo(dc, dc->font);
    delete dc;
    return 1;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int32_t width, int32_t height) {
    // The old interface answers a zero size with a 1x1 monochrome bitmap.
    if (width <= 0 || height <= 0) return new Bitmap(1, 1, true);
    const bool mono =
        dc != nullptr && !dc->screen && dc->bitmap != nullptr && dc->bitmap->monochrome;
    return new Bitmap(width, height, mono);
}

HBITMAP CreateBitmap(int32_t width, int32_t height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits) {
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    auto* bmp = new Bitmap(width, height, bitsPerPixel == 1);
    if (bits == nullptr) return bmp;
    const auto* in = static_cast<const uint8_t*>(bits);
    if (bitsPerPixel == 1) {
        const size_t stride = (static_cast<size_t>(width) + 15) / 16 * 2;
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* src = in + stride * y;
            uint32_t* dst = bmp->row(y);
            for (int32_t x = 0; x < width; ++x)
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1u;
        }
    } else {
        for (size_t i = 0; i < bmp->pixels.size(); ++i) {
            const uint8_t* p = in + 4 * i;
            bmp->pixels[i] = RGB(p[2], p[1], p[0]);
        }
    }
    return bmp;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    if (dc == nullptr || obj == nullptr) return nullptr;
    GdiObject* previous = nullptr;
    switch (obj->kind) {
        case GdiKind::Bitmap:
            if (dc->screen) return nullptr;  // only memory contexts hold bitmaps
            previous = dc->bitmap;
            dc->bitmap = static_cast<Bitmap*>(obj);
            break;
        case GdiKind::Pen:
            previous = dc->pen;
            dc->pen = static_cast<Pen*>(obj);
            break;
        case GdiKind::Brush:
            previous = dc->brush;
            dc->brush = static_cast<Brush*>(obj);
            break;
        case GdiKind::Font:
            previous = dc->font;
            dc->font = static_cast<Font*>(obj);
            break;
    }
    if (previous == obj) return previous;
    Hold(dc, obj);
    // The caller gets the previous object back, so it must outlive this call even if its
    // deletion was pending: only release it when nobody can still name it.
    if (previous != nullptr && previous == dc->borrowed) {
        dc->borrowed = nullptr;
    } else if (previous != nullptr && !previous->stock) {
        if (--previous->selections <= 0) {
            previous->selections = 0;
            if (previous->deletePending) {
                Destroy(previous);
                return nullptr;
            }
        }
    }
    return previous;
}

BOOL DeleteObject(HGDIOBJ obj) {
    if (obj == nullptr) return 0;
    if (obj->stock) return 1;
    // A selected object is deleted when its last context lets it go, never under its feet.
    if (obj->selections > 0) {
        obj->deletePending = true;
        return 1;
    }
    Destroy(obj);
    return 1;
}

HGDIOBJ GetStockObject(int which) {
    static Brush* white = MakeStock(new Brush(BS_SOLID, RGB(255, 255, 255)));
    static Brush* ltgray = MakeStock(new Brush(BS_SOLID, RGB(192, 192, 192)));
    static Brush* gray = MakeStock(new Brush(BS_SOLID, RGB(128, 128, 128)));
    static Brush* dkgray = MakeStock(new Brush(BS_SOLID, RGB(64, 64, 64)));
    static Brush* black = MakeStock(new Brush(BS_SOLID, RGB(0, 0, 0)));
    static Brush* hollow = MakeStock(new Brush(BS_NULL, 0));
    static Pen* whitePen = MakeStock(new Pen(PS_SOLID, 1, RGB(255, 255, 255)));
    static Pen* blackPen = MakeStock(new Pen(PS_SOLID, 1, RGB(0, 0, 0)));
    static Pen* nullPen = MakeStock(new Pen(PS_NULL, 1, 0));
    static Font* systemFont = MakeStockFont(16, FW_BOLD, "System");
    static Font* guiFont = MakeStockFont(-11, FW_NORMAL, "MS Shell Dlg");
    switch (which) {
        case WHITE_BRUSH:
            return white;
        case 1:
            return ltgray;
        case 2:
            return gray;
        case 3:
            return dkgray;
        case BLACK_BRUSH:
            return black;
        case NULL_BRUSH:
            return hollow;
        case WHITE_PEN:
            return whitePen;
        case BLACK_PEN:
            return blackPen;
        case NULL_PEN:
            return nullPen;
        case SYSTEM_FONT:
            return systemFont;
        case DEFAULT_GUI_FONT:
            return guiFont;
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC dc, GdiKind kind) {
    if (dc == nullptr) return nullptr;
    switch (kind) {
        case GdiKind::Bitmap:
            return dc->bitmap;
        case GdiKind::Pen:
            return dc->pen;
        case GdiKind::Brush:
            return dc->brush;
        case GdiKind::Font:
            return dc->font;
    }
    return nullptr;
}

int GetObjectA(HGDIOBJ obj, int size, void* out) {
    if (obj == nullptr) return 0;
    if (obj->kind == GdiKind::Bitmap) {
        if (out == nullptr) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        const auto* b = static_cast<const Bitmap*>(obj);
        BITMAP info;
        info.bmWidth = b->width;
        info.bmHeight = b->height;
        info.bmWidthBytes = b->monochrome ? (b->width + 15) / 16 * 2 : b->width * 4;
        info.bmPlanes = 1;
        info.bmBitsPixel = b->monochrome ? 1 : 32;
        std::memcpy(out, &info, sizeof info);
        return sizeof(BITMAP);
    }
    if (obj->kind == GdiKind::Font) {
        if (out == nullptr) return sizeof(LOGFONTA);
        if (size < static_cast<int>(sizeof(LOGFONTA))) return 0;
        std::memcpy(out, &static_cast<const Font*>(obj)->logfont, sizeof(LOGFONTA));
        return sizeof(LOGFONTA);
    }
    return 0;
}

HPEN CreatePen(int style, int32_t width, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL) style = PS_SOLID;
    // Width 0 is the one-pixel cosmetic pen; a negative width counts as its size, as on the old
    // interface (the most negative one saturates).
    const int64_t size = width < 0 ? -int64_t{width} : int64_t{width};
    const auto w = static_cast<int32_t>(std::clamp<int64_t>(size, 1, INT32_MAX));
    return Pens().Make(style, w, color & 0xFFFFFFu);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return Brushes().Make(BS_SOLID, color & 0xFFFFFFu);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (dc == nullptr) return CLR_INVALID;
    const COLORREF old = dc->bkColor;
    dc->bkColor = color & 0xFFFFFFu;
    return old;
}

COLORREF GetBkColor(HDC dc) {
    return dc == nullptr ? CLR_INVALID : dc->bkColor;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (dc == nullptr) return CLR_INVALID;
    const COLORREF old = dc->textColor;
    dc->textColor = color & 0xFFFFFFu;
    return old;
}

int SetBkMode(HDC dc, int mode) {
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

int GetBkMode(HDC dc) {
    return dc == nullptr ? 0 : dc->bkMode;
}

int SetROP2(HDC dc, int mode) {
    if (dc == nullptr || mode < R2_BLACK || mode > R2_WHITE) return 0;
    const int old = dc->rop2;
    dc->rop2 = mode;
    return old;
}

int GetROP2(HDC dc) {
    return dc == nullptr ? 0 : dc->rop2;
}
