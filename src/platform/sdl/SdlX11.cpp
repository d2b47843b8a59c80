#include "platform/sdl/SdlX11.h"

#include <SDL.h>
#include <SDL_syswm.h>

#ifdef QUADRIX_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#endif

namespace platform::sdl {

#ifdef QUADRIX_X11
namespace {

// A server that stops answering must not hang the game: after this long a buffer is reused.
constexpr int kCompletionWaitMs = 100;
// The server mostly finishes copying a frame within this; waiting for it spares a second
// frame-sized segment when two frames come close together (a game starting from the title).
constexpr int kSpareWaitMs = 4;

bool gAttachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
    gAttachFailed = true;
    return 0;
}

class X11Shm final : public ShmPresenter {
  public:
    X11Shm(Display* display, Window window, const XWindowAttributes& attributes, bool redLow)
        : display_(display),
          window_(window),
          visual_(attributes.visual),
          depth_(attributes.depth),
          redLow_(redLow),
          gc_(XCreateGC(display, window, 0, nullptr)),
          completion_(XShmGetEventBase(display) + ShmCompletion) {}

    ~X11Shm() override {
        Release();
        XFreeGC(display_, gc_);
        XCloseDisplay(display_);
    }

    bool RedLow() const override { return redLow_; }

    uint32_t* Begin(int32_t width, int32_t height, int32_t& pitch) override {
        if ((width != width_ || height != height_) && !Allocate(width, height)) return nullptr;
        // One image while the server keeps up; a second only once it is still reading the
        // first a moment after the next frame is ready (a frame-sized segment less, mostly).
        while (XPending(display_) > 0)
            NextEvent();
        Buffer& other = buffers_[next_ ^ 1];
        if (buffers_[next_].busy && (other.image || !AwaitFree(buffers_[next_], kSpareWaitMs))) {
            if (!other.image && !AllocateOne(other, width, height)) ReleaseOne(other);
            if (other.image) next_ ^= 1;
        }
        Buffer& b = buffers_[next_];
        WaitFree(b);
        pitch = b.image->bytes_per_line / 4;
        return reinterpret_cast<uint32_t*>(b.image->data);
    }

    bool HoldsShown() const override { return next_ == shown_; }

    void Show(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        Put(next_, left, top, right, bottom);
    }

    void ShowAgain() override {
        if (shown_ >= 0) Put(shown_, 0, 0, width_, height_);
    }

    const uint32_t* Shown(int32_t& width, int32_t& height, int32_t& pitch) const override {
        if (shown_ < 0 || !buffers_[shown_].image) return nullptr;
        const XImage& image = *buffers_[shown_].image;
        width = width_;
        height = height_;
        pitch = image.bytes_per_line / 4;
        return reinterpret_cast<const uint32_t*>(image.data);
    }

  private:
    struct Buffer {
        XImage* image = nullptr;
        XShmSegmentInfo segment{};
        bool busy = false;
    };

    void Put(int index, int32_t left, int32_t top, int32_t right, int32_t bottom) {
        Buffer& b = buffers_[index];
        if (!b.image) return;
        top = std::clamp(top, 0, height_);
        bottom = std::clamp(bottom, top, height_);
        left = std::clamp(left, 0, width_);
        right = std::clamp(right, left, width_);
        if (top < bottom && left < right) {
            XShmPutImage(display_, window_, gc_, b.image, left, top, left, top, right - left,
                         bottom - top, True);
            XFlush(display_);
            b.busy = true;
        }
        shown_ = index;
        next_ = index;
        while (XPending(display_) > 0)
            NextEvent();
    }

    void NextEvent() {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type != completion_) return;
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(e);
        for (Buffer& b : buffers_) {
            if (b.image && b.segment.shmseg == done.shmseg) b.busy = false;
        }
    }

    // Waits up to ms for the server to finish with b; whether it has.
    bool AwaitFree(Buffer& b, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (b.busy) {
            if (XPending(display_) > 0) {
                NextEvent();
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0) break;
        }
        return !b.busy;
    }

    void WaitFree(Buffer& b) {
        if (!AwaitFree(b, kCompletionWaitMs)) b.busy = false;
    }

    bool AllocateOne(Buffer& b, int32_t width, int32_t height) {
        b.image =
            XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &b.segment, width, height);
        if (!b.image) return false;
        b.segment.shmid = -1;
        if (b.image->bits_per_pixel != 32) return false;
        b.segment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(b.image->bytes_per_line) * height,
                                 IPC_CREAT | 0600);
        if (b.segment.shmid < 0) return false;
        void* at = shmat(b.segment.shmid, nullptr, 0);
        // The segment goes away with its last user, even if we crash.
        shmctl(b.segment.shmid, IPC_RMID, nullptr);
        if (at == reinterpret_cast<void*>(-1)) {
            b.segment.shmid = -1;
            return false;
        }
        b.segment.shmaddr = b.image->data = static_cast<char*>(at);
        b.segment.readOnly = False;
        // A server that cannot reach our memory says so with an error, not a result.
        gAttachFailed = false;
        XErrorHandler old = XSetErrorHandler(NoteAttachError);
        const bool sent = XShmAttach(display_, &b.segment);
        XSync(display_, False);
        XSetErrorHandler(old);
        if (!sent || gAttachFailed) {
            shmdt(b.segment.shmaddr);
            b.segment.shmaddr = b.image->data = nullptr;
            b.segment.shmid = -1;
            return false;
        }
        return true;
    }

    bool Allocate(int32_t width, int32_t height) {
        Release();
        if (!AllocateOne(buffers_[0], width, height)) {
            Release();
            return false;
        }
        width_ = width;
        height_ = height;
        return true;
    }

    void ReleaseOne(Buffer& b) {
        WaitFree(b);
        if (b.image && b.segment.shmaddr) {
            XShmDetach(display_, &b.segment);
            XSync(display_, False);
        }
        if (b.image) {
            if (b.segment.shmaddr) shmdt(b.segment.shmaddr);
            b.image->data = nullptr;  // not Xlib's to free
            XDestroyImage(b.image);
        }
        b = Buffer{};
    }

    void Release() {
        for (Buffer& b : buffers_)
            ReleaseOne(b);
        width_ = height_ = 0;
        next_ = 0;
        shown_ = -1;
    }

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    bool redLow_;
    GC gc_;
    int completion_;
    Buffer buffers_[2];
    int next_ = 0;    // the buffer to fill next
    int shown_ = -1;  // the buffer on screen
    int32_t width_ = 0, height_ = 0;
};

// The window's X11 connection and handle; false where it is not on X11.
bool X11Info(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void CoverDisplayWithoutManager(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return;
    Display* display = info.info.x11.display;
    // A manager that follows the desktop conventions names its window on the root window.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const int got = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                           XA_WINDOW, &type, &format, &count, &after, &data);
        if (data) XFree(data);
        if (got == Success && count > 0) return;
    }
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &bounds) != 0) return;
    XMoveResizeWindow(display, info.info.x11.window, bounds.x, bounds.y,
                      static_cast<unsigned>(bounds.w), static_cast<unsigned>(bounds.h));
    XFlush(display);
}

std::unique_ptr<ShmPresenter> ShmPresenter::Open(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return nullptr;
    const char* name = XDisplayString(info.info.x11.display);
    // Shared memory needs the server on this machine.
    if (!name || !(name[0] == ':' || std::strncmp(name, "unix:", 5) == 0)) return nullptr;
    // A connection of our own: its completion events never reach SDL's event loop.
    Display* display = XOpenDisplay(name);
    if (!display) return nullptr;
    XWindowAttributes attributes{};
    if (XShmQueryExtension(display) &&
        XGetWindowAttributes(display, info.info.x11.window, &attributes) && attributes.visual) {
        const Visual& v = *attributes.visual;
        const bool high = v.red_mask == 0xFF0000 && v.green_mask == 0xFF00 && v.blue_mask == 0xFF;
        const bool low = v.red_mask == 0xFF && v.green_mask == 0xFF00 && v.blue_mask == 0xFF0000;
        if (high || low)
            return std::make_unique<X11Shm>(display, info.info.x11.window, attributes, low);
    }
    XCloseDisplay(display);
    return nullptr;
}
#else
void CoverDisplayWithoutManager(SDL_Window*) {}

std::unique_ptr<ShmPresenter> ShmPresenter::Open(SDL_Window*) {
    return nullptr;
}
#endif

}  // namespace platform::sdl
