// Frames straight into the X server's shared memory, two buffers deep, so a present never
// waits for the server to finish copying the frame before. Kept apart from the raster's names,
// which collide with X11's, behind this plain interface.
#pragma once

#include <cstdint>
#include <memory>

struct SDL_Window;

namespace platform::sdl {

// Where no window manager runs, a window made full screen again keeps its windowed size and
// place: this gives it the whole of its display. Nothing where a manager runs, or off X11.
void CoverDisplayWithoutManager(SDL_Window* window);

class ShmPresenter {
  public:
    // nullptr where the window is not on a local X server with shared memory.
    static std::unique_ptr<ShmPresenter> Open(SDL_Window* window);
    virtual ~ShmPresenter() = default;
    // Whether the server's pixels keep red in the low byte.
    virtual bool RedLow() const = 0;
    // A buffer of width x height pixels the server is done with (pitch in pixels), or nullptr
    // when none can be had.
    virtual uint32_t* Begin(int32_t width, int32_t height, int32_t& pitch) = 0;
    // Whether the buffer of the last Begin holds the frame on screen, so that only what
    // changes needs sending.
    virtual bool HoldsShown() const = 0;
    // Sends the box [left, right) x [top, bottom) of the buffer of the last Begin to the window
    // (the buffer's top left corner at the window's); the buffer is the one on screen from now
    // on.
    virtual void Show(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Sends the last frame shown again (the window was uncovered).
    virtual void ShowAgain() = 0;
    // The pixels of the last frame shown (pitch in pixels), nullptr before the first.
    virtual const uint32_t* Shown(int32_t& width, int32_t& height, int32_t& pitch) const = 0;
};

}  // namespace platform::sdl
