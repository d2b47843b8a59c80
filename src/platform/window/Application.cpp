#include "platform/window/Application.h"

#include <algorithm>
#include <limits>

#include "platform/input/Keys.h"
#include "platform/window/Form.h"
#include "platform/window/Surface.h"
#include "platform/window/Timer.h"

namespace platform {

namespace {

// How long an idle message loop with no timer waits for input before looking again.
constexpr uint32_t kIdleWaitMs = 10;

void Erase(std::vector<Form*>& list, Form* form) {
    list.erase(std::remove(list.begin(), list.end(), form), list.end());
}

// Clears a timer's running mark even when its handler throws.
struct RunningMark {
    explicit RunningMark(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningMark() { flag_ = false; }
    bool& flag_;
};

}  // namespace

Application& Application::Get() {
    // Never destroyed: forms with static lifetime may still talk to it while they go.
    static Application* app = new Application();
    return *app;
}

void DoEvents() {
    Application::Get().DoEvents();
}

Form* Application::ActiveForm() const {
    return zorder_.empty() ? nullptr : zorder_.back();
}

void Application::Activate() {
    Form* top = ActiveForm();
    if (top == active_) return;
    active_ = top;
    // An activation starts a form's loop again, which an ending program does not want.
    if (top && !quitting_) top->Form_Activate();
}

void Application::Load(Form& form) {
    if (form.loaded_) return;
    form.loaded_ = true;
    loaded_.push_back(&form);
    form.EnsureImage();
    form.Form_Load();
}

void Application::Show(Form& form) {
    Load(form);
    if (!form.loaded_) return;  // Form_Load unloaded it again
    form.visible_ = true;
    Erase(zorder_, &form);
    zorder_.push_back(&form);
    Activate();
}

void Application::Hide(Form& form) {
    if (!form.visible_) return;
    form.visible_ = false;
    Erase(zorder_, &form);
    Activate();
}

bool Application::Unload(Form& form, UnloadMode mode) {
    if (!form.loaded_ || form.unloading_) return true;
    form.unloading_ = true;
    bool cancel = false;
    form.Form_QueryUnload(cancel, mode);
    if (cancel) {
        form.unloading_ = false;
        return false;
    }
    form.Form_Unload();
    // The form's controls go with its window: its timers stop.
    for (Control* c : form.controls_) {
        if (auto* timer = dynamic_cast<Timer*>(c)) timer->enabled_ = false;
        if (pressed_ == c) pressed_ = nullptr;
        if (focus_ == c) focus_ = nullptr;
    }
    Erase(loaded_, &form);
    Erase(zorder_, &form);
    form.loaded_ = false;
    form.visible_ = false;
    form.ReleaseImage();
    // A composed frame is needed again only with the next form that cannot do without one.
    DropFrame();
    form.unloading_ = false;
    if (active_ == &form) active_ = nullptr;
    Activate();
    return true;
}

void Application::FireDueTimers() {
    // Handlers may load and unload forms, and a game loop inside a handler pumps again, so
    // each nesting level scans its own snapshot; the snapshots keep their capacity, so a pump
    // allocates nothing once the program has run a little.
    if (scanDepth_ == scans_.size()) scans_.emplace_back();
    TimerScan& scan = scans_[scanDepth_];
    struct Depth {
        size_t& d;
        ~Depth() { --d; }
    } depth{++scanDepth_};
    scan.forms.assign(loaded_.begin(), loaded_.end());
    const uint32_t now = CurrentBackend().Now();
    for (Form* form : scan.forms) {
        if (!form->loaded_) continue;
        scan.controls.assign(form->controls_.begin(), form->controls_.end());
        for (Control* c : scan.controls) {
            // An earlier handler may have unloaded the form.
            if (!form->loaded_) break;
            auto* timer = dynamic_cast<Timer*>(c);
            if (!timer || !timer->enabled_ || timer->interval_ <= 0 || timer->running_) continue;
            if (now - timer->start_ < static_cast<uint32_t>(timer->interval_)) continue;
            timer->start_ = now;
            RunningMark mark(timer->running_);
            if (timer->OnTimer) timer->OnTimer();
        }
    }
}

uint32_t Application::NextTimerDue() {
    uint32_t due = std::numeric_limits<uint32_t>::max();
    bool any = false;
    uint32_t now = 0;
    for (Form* form : loaded_) {
        for (Control* c : form->controls_) {
            auto* timer = dynamic_cast<Timer*>(c);
            if (!timer || !timer->enabled_ || timer->interval_ <= 0 || timer->running_) continue;
            if (!any) now = CurrentBackend().Now();
            any = true;
            const uint32_t passed = now - timer->start_;
            const uint32_t interval = static_cast<uint32_t>(timer->interval_);
            due = std::min(due, passed >= interval ? 0u : interval - passed);
        }
    }
    return due;
}

void Application::DoEvents() {
    CurrentBackend().PumpEvents(*this);
    DeliverKeys();
    FireDueTimers();
}

void Application::DeliverKeys() {
    std::array<uint8_t, 256> now{};
    CurrentBackend().GetKeys(now.data());
    const std::array<uint8_t, 256> before = keys_;
    keys_ = now;
    if (!focus_ || !focus_->Visible || !focus_->Parent() || focus_->Parent() != ActiveForm())
        return;
    for (const int vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        const bool held = now[vk] & 0x80, wasHeld = before[vk] & 0x80;
        // A tap between two pumps shows only in the toggle bit.
        const bool tapped = !held && ((now[vk] ^ before[vk]) & 1);
        if ((held && !wasHeld) || tapped) focus_->KeyPress(vk);
    }
}

bool Application::RunMessageLoop() {
    while (!loaded_.empty()) {
        DoEvents();
        if (loaded_.empty()) break;
        const uint32_t due = NextTimerDue();
        if (due == 0) continue;
        const bool idle = due == std::numeric_limits<uint32_t>::max();
        // An ending program does not wait for a timer (the helper form's second): the next
        // pump closes what is left.
        const bool more =
            CurrentBackend().WaitEvents(idle || quitting_ ? std::min(due, kIdleWaitMs) : due);
        if (idle && !more) return false;
    }
    return true;
}

void Application::Present(Form& form) {
    if (&form != ActiveForm()) return;
    FrameParts parts;
    if (form.ControlsOnImage) {
        // Drawn over their last selves, as the form's image still holds them: the same.
        const HDC dc = form.hDC();
        for (const Control* c : form.controls_) {
            if (c->Visible && c->Draws()) c->Compose(dc);
        }
        parts.base = form.image();
        lastBase_ = parts.base;
        CurrentBackend().Present(parts);
        return;
    }
    const int32_t w = std::max(1, form.Width()), h = std::max(1, form.Height());
    // The largest opaque control (the playfield, mostly) hides what lies beneath it.
    const Control* cover = nullptr;
    int64_t coverArea = 0;
    for (const Control* c : form.controls_) {
        const int64_t area = int64_t{c->Width()} * c->Height();
        if (!c->Visible || !c->Opaque() || area <= coverArea) continue;
        coverArea = area;
        cover = c;
    }
    const RECT hole = cover ? RECT{cover->Left(), cover->Top(), cover->Left() + cover->Width(),
                                   cover->Top() + cover->Height()}
                            : RECT{0, 0, 0, 0};
    // Its picture goes to the back end as it is, unless a control drawn later lies over it.
    const Bitmap* picture = cover ? cover->Picture() : nullptr;
    bool others = false;
    for (auto it = form.controls_.rbegin(); picture && it != form.controls_.rend(); ++it) {
        const Control* c = *it;
        if (c == cover) break;
        if (!c->Visible || !c->Draws()) continue;
        others = true;
        const bool apart = c->Left() >= hole.right || c->Left() + c->Width() <= hole.left ||
                           c->Top() >= hole.bottom || c->Top() + c->Height() <= hole.top;
        if (!apart) picture = nullptr;
    }
    const Bitmap& image = *form.ImageToShow();
    if (picture && (image.width != w || image.height != h)) picture = nullptr;
    for (auto it = form.controls_.begin(); picture && !others && it != form.controls_.end(); ++it)
        others = (*it)->Visible && (*it)->Draws() && *it != cover;
    if (picture) {
        parts.picture = picture;
        parts.left = cover->Left();
        parts.top = cover->Top();
    }
    if (picture && !others) {
        // The form's image itself: nothing else is drawn on it.
        parts.base = &image;
        parts.baseAsLast = !form.drawn_ && lastBase_ == &image;
        form.drawn_ = false;
    } else {
        if (!frame_) {
            frame_ = NewSurface(w, h, 0);
            frameDC_ = CreateBitmapDC(frame_);
        }
        ResizeSurface(*frame_, w, h, 0);
        CopySurfaceAround(image, *frame_, hole);
        for (const Control* c : form.controls_) {
            if (c->Visible && c->Draws() && (c != cover || !picture)) c->Compose(frameDC_);
        }
        parts.base = frame_;
    }
    lastBase_ = parts.base;
    CurrentBackend().Present(parts);
}

void Application::DropFrame() {
    if (!frame_) return;
    DeleteDC(frameDC_);
    DeleteObject(frame_);
    frame_ = nullptr;
    frameDC_ = nullptr;
}

Control* Application::ControlAt(Form& form, POINT at) const {
    for (auto it = form.controls_.rbegin(); it != form.controls_.rend(); ++it) {
        if ((*it)->Visible && (*it)->Contains(at)) return *it;
    }
    return nullptr;
}

Form* Application::FindForm(const std::string& name) const {
    for (Form* f : loaded_) {
        if (f->Name() == name) return f;
    }
    return nullptr;
}

void Application::MouseButton(int vk, bool down, POINT at) {
    if (vk != VK_LBUTTON) return;
    Form* top = ActiveForm();
    if (!top) return;
    const POINT local{at.x - top->Left(), at.y - top->Top()};
    Control* under = ControlAt(*top, local);
    if (down) {
        pressed_ = under;
        if (under && under->CanFocus()) focus_ = under;
        if (under) under->MouseDown(local);
        return;
    }
    // A click is a press and a release over the same control.
    Control* was = pressed_;
    pressed_ = nullptr;
    if (was) was->MouseRelease();
    if (under && under == was) under->ClickAt(local);
}

void Application::MouseMove(POINT at) {
    Form* top = ActiveForm();
    if (!pressed_ || !top || pressed_->Parent() != top) return;
    pressed_->MouseDrag(POINT{at.x - top->Left(), at.y - top->Top()});
}

void Application::ClickControl(const std::string& name) {
    std::vector<Form*> order;
    if (Form* top = ActiveForm()) order.push_back(top);
    for (Form* f : loaded_) {
        if (f != ActiveForm()) order.push_back(f);
    }
    for (Form* f : order) {
        if (Control* c = f->FindControl(name)) {
            c->Click();
            return;
        }
    }
}

void Application::CloseRequest(const std::string& formName, UnloadMode mode) {
    Form* form = formName.empty() ? ActiveForm() : FindForm(formName);
    if (form) Unload(*form, mode);
}

void Application::QuitRequest() {
    quitting_ = true;
    for (;;) {
        Form* form = ActiveForm();
        if (!form && !loaded_.empty()) form = loaded_.back();
        // A form that refuses ends its own loop first and is asked again at the next pump.
        if (!form || !Unload(*form, UnloadMode::System)) return;
    }
}

void Application::Forget(Form& form) {
    Erase(loaded_, &form);
    Erase(zorder_, &form);
    if (active_ == &form) active_ = nullptr;
    if (pressed_ && pressed_->Parent() == &form) pressed_ = nullptr;
    if (focus_ && focus_->Parent() == &form) focus_ = nullptr;
}

void Application::Forget(Control& control) {
    if (pressed_ == &control) pressed_ = nullptr;
    if (focus_ == &control) focus_ = nullptr;
}

void Application::Reset() {
    for (Form* f : loaded_) {
        f->loaded_ = false;
        f->visible_ = false;
    }
    loaded_.clear();
    zorder_.clear();
    active_ = nullptr;
    pressed_ = nullptr;
    focus_ = nullptr;
    quitting_ = false;
}

}  // namespace platform
