// What every control on a form shares: a name (scripts click controls by name), a place in
// the form's pixels, visibility, a click handler and its share of the composed frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/raster/gdi.h"

namespace platform {

class Form;

// Laid-out positions given in twips convert at this many per pixel.
constexpr int32_t kTwipsPerPixel = 15;

class Control {
  public:
    explicit Control(std::string name = {});
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    Form* Parent() const { return parent_; }

    // Position and size in the parent's pixels. Controls that cannot move ignore it.
    virtual bool CanMove() const { return true; }
    virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height);
    void Move(int32_t left, int32_t top) { Move(left, top, width_, height_); }
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Contains(POINT p) const {
        return p.x >= left_ && p.x < left_ + width_ && p.y >= top_ && p.y < top_ + height_;
    }

    bool Visible = true;

    // Runs when the player clicks the control (mouse released over it) or a script does.
    std::function<void()> OnClick;
    // A click as the player makes it; check boxes also flip their value.
    virtual void Click();
    // The player's click at a point in the parent's pixels; most controls just Click().
    virtual void ClickAt(POINT at) {
        (void)at;
        Click();
    }

    // The left button went down over the control, the cursor moved while it stayed down, and
    // it came up again (anywhere). Points are in the parent's pixels. For controls that act
    // while the button is held, as a scroll bar does.
    virtual void MouseDown(POINT at) { (void)at; }
    virtual void MouseDrag(POINT at) { (void)at; }
    virtual void MouseRelease() {}

    // A control that takes the keyboard focus when pressed gets the keys pressed while its
    // form is on top.
    virtual bool CanFocus() const { return false; }
    virtual void KeyPress(int vk) { (void)vk; }

    // Draws the control onto the composed frame at its place (target is the form's frame).
    virtual void Compose(HDC target) const;
    // Whether Compose draws anything at all (a timer or a list has no face of its own).
    virtual bool Draws() const { return true; }
    // Compose paints every pixel of the control's box, hiding whatever lies beneath.
    virtual bool Opaque() const { return false; }
    // Where Compose only copies an image of the control's own to its top left corner: that
    // image, which a back end can then read in place.
    virtual const Bitmap* Picture() const { return nullptr; }

  protected:
    virtual void Resized() {}

    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;

  private:
    friend class Form;
    std::string name_;
    Form* parent_ = nullptr;
};

}  // namespace platform
