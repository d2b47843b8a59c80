// A top-level window: a persistent full-window image with its device context, a back colour,
// a caption, child controls and the window events a game form overrides. Forms are loaded,
// shown, hidden and unloaded through the Application; the members below forward to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/raster/gdi.h"
#include "platform/window/Control.h"

namespace platform {

class Form {
  public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    std::string Caption;

    // Registers a control (usually a member of the derived form); later ones lie on top.
    void Add(Control& control);
    void Remove(Control& control);
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name) const;

    // The persistent image. It exists from first use and lives as long as the form (so a
    // context taken from it stays valid); unloading clears it to the back colour. Asking for
    // either counts as drawing on the image: the next frame sends it again. Take them anew
    // for each drawing, since drawing through a context kept from before a Refresh is not
    // seen until something else changes the image.
    HDC hDC() const;
    Bitmap* image() const;

    // Setting the back colour clears the persistent image to it.
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }

    // Pixels; a new form covers the whole screen.
    void Move(int32_t left, int32_t top, int32_t width, int32_t height);
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const;
    int32_t Height() const;
    int32_t ScaleWidth() const { return Width(); }
    int32_t ScaleHeight() const { return Height(); }

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    // Gives the image's pixels back until the image is next asked for, when it comes back in
    // the back colour; its context stays valid. Unloading does this.
    void ReleaseImage();

    // Visible = true shows the form (loading it first), false hides it.
    void SetVisible(bool visible);

    void Load();
    void Show();
    void Hide();
    // Unload from the form's own code; false when Form_QueryUnload cancelled it.
    bool Unload();

    // Shows the persistent image and the visible controls above it.
    void Refresh();

    // Set by a form that draws its whole image again before any Refresh that follows a control
    // moving or hiding (the title: its painting covers the window each time it moves). The
    // window system then draws the controls straight onto the image instead of onto a copy
    // of it: a frame-sized copy less per Refresh, and no frame-sized buffer to keep.
    bool ControlsOnImage = false;

    // Window events.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(bool& cancel, UnloadMode mode) {
        (void)cancel;
        (void)mode;
    }
    virtual void Form_Unload() {}

  private:
    friend class Application;
    void EnsureImage() const;
    void ClearImage();
    // The image for the window system to show, not counted as drawing.
    Bitmap* ImageToShow() const;

    std::string name_;
    std::vector<Control*> controls_;
    COLORREF backColor_ = RGB(255, 255, 255);
    int32_t left_ = 0, top_ = 0, width_ = -1, height_ = -1;
    bool loaded_ = false;
    bool visible_ = false;
    bool unloading_ = false;
    mutable Bitmap* image_ = nullptr;
    mutable bool released_ = false;
    // Whether the image may have changed since the window system last showed it.
    mutable bool drawn_ = true;
    mutable HDC dc_ = nullptr;
};

}  // namespace platform
