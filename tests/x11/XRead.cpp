#include "x11/XRead.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

namespace xread {

// A window gone meanwhile is no reason to end the tests.
static Display* Open() {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    return XOpenDisplay(nullptr);
}

std::vector<uint32_t> Grab(int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    Display* d = Open();
    if (!d) return out;
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, w, h, AllPlanes, ZPixmap);
    if (image) {
        out.reserve(static_cast<size_t>(w) * h);
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const unsigned long p = XGetPixel(image, col, row);
                out.push_back(
                    static_cast<uint32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16)));
            }
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return out;
}

unsigned long WindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11
               ? info.info.x11.window
               : 0;
}

namespace {
std::string NameOf(Display* d, Window w) {
    const Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(d, w, name, 0, 256, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        out.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return out;
}

Window Find(Display* d, const std::string& title) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
                NameOf(d, children[i]) == title)
                found = children[i];
        }
        XFree(children);
    }
    return found;
}
}  // namespace

bool AnswerWindow(const std::string& title, const char* key, int ms) {
    Display* d = Open();
    if (!d) return false;
    // Told of every window mapped from now on, so nothing is polled on a timer.
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    Window w = Find(d, title);
    while (!w && std::chrono::steady_clock::now() < end) {
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
        }
        w = Find(d, title);
        if (w) break;
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 100);
    }
    // A box mapped may not listen to its keys yet (under load it often does not): the key
    // goes again until the box is gone.
    bool answered = false;
    while (w && !answered && std::chrono::steady_clock::now() < end) {
        for (const int type : {KeyPress, KeyRelease}) {
            XEvent e{};
            e.xkey.type = type;
            e.xkey.display = d;
            e.xkey.window = w;
            e.xkey.root = DefaultRootWindow(d);
            e.xkey.same_screen = True;
            e.xkey.keycode = XKeysymToKeycode(d, XStringToKeysym(key));
            XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XSync(d, False);
        poll(nullptr, 0, 200);
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
        }
        answered = Find(d, title) != w;
    }
    XCloseDisplay(d);
    return answered;
}

}  // namespace xread
