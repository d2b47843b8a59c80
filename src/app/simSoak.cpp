#include "app/simSoak.h"

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <stdexcept>

#include "app/simArgs.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/clock/SystemClock.h"
#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "title/frmTitle.h"
#include "title/modModes.h"
#include "title/modMouseSetting.h"

namespace {

const char kUsage[] =
    "usage: quadrix-sim soak [--passes N] [--seed S]\n"
    "  Runs the whole program headless, the title and its games, for N passes in all (default\n"
    "  20000; a pass is one turn of the title's or the game's loop). Cycles through every mode\n"
    "  with every set of the five option boxes on screens from 640x480 to 3840x2160, a slice of\n"
    "  passes each, with random input drawn from the seed: keys, mouse, a pad plugged, moved\n"
    "  and unplugged, close requests and message-box answers. Checks the state at every pass,\n"
    "  writes progress to stderr and a JSON summary to stdout; exits 1 on any fault.\n";

struct ScreenSize {
    int32_t w, h;
};
constexpr ScreenSize kScreens[] = {
    {640, 480},  {800, 600},   {1024, 768},  {1280, 1024}, {1366, 768},  {800, 1280},
    {1440, 900}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {3840, 2160},
};
constexpr uint64_t kScreenCount = std::size(kScreens);
constexpr uint64_t kCombos = kGameModeCount * 32;  // every mode with every option set
// Steps through the combinations so that consecutive slices differ in mode and options alike;
// coprime to kCombos, so every combination comes once in kCombos slices.
constexpr uint64_t kComboStride = 149;
// Slices of 600 to 2400 passes; a short run cuts them down so that it still sees every screen.
constexpr uint64_t kSliceMin = 600, kSliceSpread = 1800;
// Passes a program may take to end once asked before it counts as hung.
constexpr uint64_t kEndGrace = 3000;
constexpr size_t kFaultsListed = 20;
const char kQuitQuestion[] = "Are you done provoking me?";

const int kMouseButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
const int kSteerKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'A', 'D', 'W', 'S'};
const platform::UnloadMode kCloseModes[] = {
    platform::UnloadMode::User, platform::UnloadMode::System, platform::UnloadMode::TaskList};
const char* const kTitleControls[] = {"chkLevel2", "chkDisrupt", "chkSolid",   "chkPieces",
                                      "chkSpeed",  "cmdAbout",   "picAboutUs", "hscMouse"};

class SoakFault : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The headless back end with a hook before every event pump, where the soak decides its input.
class SoakBackend : public platform::Headless {
  public:
    std::function<void()> BeforePump;
    void PumpEvents(platform::EventSink& sink) override {
        if (BeforePump) BeforePump();
        Headless::PumpEvents(sink);
    }
    // Nothing looks at the frames: hashing and keeping each one was most of a soak's time.
    void Present(const platform::FrameParts&) override {}
};

uint64_t SplitMix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The settings the title keeps go to a folder of the run's own, never the player's.
class ConfigFolder {
  public:
    ConfigFolder() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
        hadOld_ = std::getenv("XDG_CONFIG_HOME") != nullptr;
        std::string tmpl = (std::filesystem::temp_directory_path() / "qx-soak-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a settings folder");
        path_ = tmpl;
        ::setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~ConfigFolder() {
        if (hadOld_)
            ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

  private:
    std::string path_, old_;
    bool hadOld_ = false;
};

class Soak {
  public:
    Soak(uint64_t passes, uint64_t seed, std::ostream& err)
        : total_(passes), seed_(seed), err_(err) {}

    void Run() {
        frmMain& form = MainForm();
        form.OnLoad = [this] {
            loadCpu_ = platform::ThreadCpuNs();
            loadPending_ = true;
        };
        form.OnPassStart = [this] { PassStart(); };
        form.OnPassWorkDone = [this] { CheckGame(false); };
        form.OnPassEnd = [this] { PassEnd(); };
        lastProgress_ = std::chrono::steady_clock::now();
        for (uint64_t slice = 0; passes_ < total_; ++slice) {
            RunSlice(slice);
            ++slices_;
        }
        form.OnLoad = form.OnPassStart = form.OnPassWorkDone = form.OnPassEnd = nullptr;
    }

    void Summary(std::ostream& out) const {
        out << "{\"passes\":" << passes_ << ",\"seed\":" << seed_ << ",\"slices\":" << slices_
            << ",\"programs\":" << programs_ << ",\"games\":" << games_
            << ",\"gamePasses\":" << gamePasses_ << ",\"titleFrames\":" << titleFrames_
            << ",\"deaths\":" << deaths_ << ",\"wins\":" << wins_
            << ",\"titlesShown\":" << titlesShown_ << ",\"setupCpuMsWorst\":{";
        for (uint64_t i = 0; i < kScreenCount; ++i) {
            char value[32];
            std::snprintf(value, sizeof value, "%.3f", static_cast<double>(worstSetup_[i]) / 1e6);
            out << (i ? "," : "") << "\"" << kScreens[i].w << "x" << kScreens[i].h
                << "\":" << (setupSeen_[i] ? value : "null");
        }
        out << "},\"faults\":" << faults_ << ",\"faultList\":[";
        for (size_t i = 0; i < faultList_.size(); ++i)
            out << (i ? "," : "") << JsonText(faultList_[i]);
        out << "]}\n";
    }

    uint64_t Faults() const { return faults_; }

  private:
    // One draw a statement, never two in one argument list or expression: their order there
    // is the compiler's choice, and a seed must give the same run on every compiler.
    double U() { return static_cast<double>(rng_() >> 11) * (1.0 / 9007199254740992.0); }
    bool Chance(double p) { return U() < p; }
    int32_t Pick(int32_t n) { return static_cast<int32_t>(U() * n); }

    void RunSlice(uint64_t slice) {
        rng_.seed(SplitMix(seed_ ^ SplitMix(slice)));
        const uint64_t c = slice * kComboStride % kCombos;
        mode_ = static_cast<GameMode>(c % kGameModeCount);
        const uint64_t bits = c / kGameModeCount;
        want_ = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0,
                 (bits & 16) != 0};
        screen_ = slice % kScreenCount;
        const uint64_t least = std::clamp<uint64_t>(total_ / 40, 100, kSliceMin);
        const uint64_t spread = std::clamp<uint64_t>(total_ / 20, 100, kSliceSpread);
        const uint64_t budget = std::min<uint64_t>(
            least + static_cast<uint64_t>(Pick(static_cast<int32_t>(spread))), total_ - passes_);
        const uint64_t end = passes_ + budget;
        // A player may quit early; the program is started again until the slice is used.
        while (passes_ < end) {
            context_ = "slice " + std::to_string(slice) + " (" +
                       std::string(ModeControlName(mode_)) + " options " + std::to_string(bits) +
                       " at " + std::to_string(kScreens[screen_].w) + "x" +
                       std::to_string(kScreens[screen_].h) + ", program " +
                       std::to_string(programs_) + ")";
            RunProgram(end - passes_);
        }
    }

    void RunProgram(uint64_t budget) {
        auto owned = std::make_unique<SoakBackend>();
        SoakBackend& b = *owned;
        platform::InstallBackend(std::move(owned));
        b_ = &b;
        b.SetScreenSize(kScreens[screen_].w, kScreens[screen_].h);
        b.SetPassLimit(budget + kEndGrace);
        padPlugged_ = Chance(0.6);
        if (padPlugged_) PlugPad(b);
        held_.fill(false);
        runEnd_ = budget;
        windDown_ = false;
        inTitle_ = false;
        gameRunning_ = false;
        loadPending_ = false;
        chosen_ = false;
        setupWait_ = 3 + Pick(30);
        faultInRun_ = false;

        ResetProgramState();
        // A fresh program's title: no box ticked, the about picture hidden.
        frmTitle& title = TitleForm();
        for (platform::CheckBox* box : {&title.chkLevel2, &title.chkDisrupt, &title.chkSolid,
                                        &title.chkPieces, &title.chkSpeed})
            box->SetValue(0);
        title.picAboutUs.Visible = false;

        ++programs_;
        b.BeforePump = [this] { Drive(); };
        try {
            StartProgram();
            LoadMouseSetting();  // as the program's start does, from the run's own folder
            quadrix::SharedRandom().Seed(rng_());
            title.Show();
            if (!platform::Application::Get().RunMessageLoop())
                Fault("the program stalled: a window is loaded but nothing can happen");
        } catch (const platform::HeadlessLimit&) {
            Fault("the program did not end within " + std::to_string(kEndGrace) +
                  " passes of being asked to");
        } catch (const SoakFault&) {
            // counted where it was raised
        } catch (const std::exception& e) {
            Fault(std::string("exception: ") + e.what());
        }
        b.BeforePump = nullptr;
        for (const platform::ShownMessageBox& box : b.MessageBoxes()) {
            if (box.text != kQuitQuestion) Fault("unexpected message box: " + box.text);
        }
        passes_ += b.Pass();
        b_ = nullptr;
    }

    void PlugPad(platform::Headless& b) {
        JOYCAPSA caps;
        caps.wNumButtons = static_cast<uint32_t>(4 + Pick(9));
        caps.wCaps = Chance(0.5) ? JOYCAPS_HASR | JOYCAPS_HASU : 0u;
        if (Chance(0.5)) caps.wCaps |= JOYCAPS_HASPOV;
        // Most pads report 0..65535; some a small range, and a broken one none at all.
        const uint32_t max = Chance(0.8) ? 65535u : Chance(0.8) ? 255u : 0u;
        caps.wXmax = caps.wYmax = caps.wZmax = caps.wRmax = caps.wUmax = caps.wVmax = max;
        padMax_ = max;
        JOYINFOEX rest;
        rest.dwXpos = rest.dwYpos = rest.dwZpos = rest.dwRpos = rest.dwUpos = rest.dwVpos = 32767;
        b.SetJoystick(0, caps, rest);
        pad_ = rest;
    }

    // Input for the pump about to run, by what the program is doing.
    void Drive() {
        const uint64_t next = b_->Pass() + 1;
        if (next > runEnd_) windDown_ = true;
        if ((next & 255) == 0) Progress();
        platform::HeadlessScript s;
        s.At(next);
        if (TitleForm().LoopRunning()) {
            if (!inTitle_) ++titlesShown_;
            inTitle_ = true;
            ++titleFrames_;
            CheckTitle();
            DriveTitle(s);
        } else {
            inTitle_ = false;
            if (gameRunning_) DriveGame(s);
        }
        if (!s.events.empty()) b_->Load(s);
    }

    void Press(platform::HeadlessScript& s, int vk) {
        s.KeyDown(vk);
        held_[static_cast<size_t>(vk)] = true;
    }
    void Release(platform::HeadlessScript& s, int vk) {
        s.KeyUp(vk);
        held_[static_cast<size_t>(vk)] = false;
    }
    void Toggle(platform::HeadlessScript& s, int vk) {
        held_[static_cast<size_t>(vk)] ? Release(s, vk) : Press(s, vk);
    }
    void ToggleMouse(platform::HeadlessScript& s, int vk) {
        if (held_[static_cast<size_t>(vk)])
            s.MouseUp(vk);
        else
            s.MouseDown(vk);
        held_[static_cast<size_t>(vk)] = !held_[static_cast<size_t>(vk)];
    }
    void MoveCursor(platform::HeadlessScript& s) {
        const ScreenSize& sc = kScreens[screen_];
        const int32_t y = Pick(sc.h + 40) - 20;
        const int32_t x = Pick(sc.w + 40) - 20;
        s.Cursor(x, y);
    }
    platform::MessageBoxAnswer RandomAnswer(double yes) {
        return Chance(yes) ? platform::MessageBoxAnswer::Yes : platform::MessageBoxAnswer::No;
    }

    // The first title of a program ticks the slice's boxes and clicks its mode, with harmless
    // noise around; later titles get everything a player might do there (so a fault's slice
    // names the first game's mode, and its grid tells which game it was).
    void DriveTitle(platform::HeadlessScript& s) {
        frmTitle& title = TitleForm();
        if (windDown_) {
            if (held_[VK_ESCAPE]) {
                Release(s, VK_ESCAPE);
            } else {
                s.Answer(platform::MessageBoxAnswer::Yes);
                Press(s, VK_ESCAPE);
            }
            return;
        }
        if (!chosen_) {
            if (Chance(0.1)) MoveCursor(s);
            if (Chance(0.01)) Toggle(s, VK_ESCAPE);  // asks; the queue says No
            if (held_[VK_ESCAPE] || setupWait_-- > 0) return;
            const std::pair<platform::CheckBox*, bool> boxes[] = {
                {&title.chkLevel2, want_.ouch},
                {&title.chkDisrupt, want_.anarchy},
                {&title.chkSolid, want_.solid},
                {&title.chkPieces, want_.pieces},
                {&title.chkSpeed, want_.speed}};
            for (const auto& [box, on] : boxes) {
                if ((box->Value() == 1) != on) {
                    s.Click(box->Name());
                    setupWait_ = Pick(4);
                    return;
                }
            }
            s.Click(std::string(ModeControlName(mode_)));
            chosen_ = true;
            return;
        }
        if (Chance(0.08)) MoveCursor(s);
        if (Chance(0.02)) ToggleMouse(s, VK_LBUTTON);
        if (Chance(0.005)) ToggleMouse(s, Chance(0.5) ? VK_RBUTTON : VK_MBUTTON);
        if (Chance(0.01))
            s.Click(kTitleControls[Pick(static_cast<int32_t>(std::size(kTitleControls)))]);
        if (Chance(0.01))
            s.Click(std::string(ModeControlName(static_cast<GameMode>(Pick(kGameModeCount)))));
        if (Chance(0.004)) {
            if (!held_[VK_ESCAPE]) s.Answer(RandomAnswer(0.2));
            Toggle(s, VK_ESCAPE);
        }
        if (Chance(0.0005)) s.Close("frmTitle", kCloseModes[Pick(3)]);
        OtherKeys(s);
        PadNoise(s, 0.05);
    }

    void DriveGame(platform::HeadlessScript& s) {
        if (windDown_) {
            Toggle(s, VK_ESCAPE);
            return;
        }
        if (Chance(0.15)) Toggle(s, kSteerKeys[Pick(8)]);
        if (held_['Q'] ? Chance(0.3) : Chance(1.0 / 1500)) Toggle(s, 'Q');
        if (held_[VK_ESCAPE] ? Chance(0.5) : Chance(1.0 / 3000)) Toggle(s, VK_ESCAPE);
        if (Chance(0.02)) Toggle(s, Chance(0.5) ? VK_SHIFT : VK_CONTROL);
        if (Chance(0.1)) MoveCursor(s);
        if (Chance(0.03)) ToggleMouse(s, kMouseButtons[Pick(3)]);
        if (Chance(1.0 / 8000)) {
            const platform::UnloadMode mode = kCloseModes[Pick(3)];
            s.Close(Chance(0.8) ? "" : "frmTitle", mode);
        }
        if (Chance(1.0 / 3000)) s.Answer(RandomAnswer(0.5));
        OtherKeys(s);
        PadNoise(s, 0.08);
    }

    // Any other key now and then, let go a little later.
    void OtherKeys(platform::HeadlessScript& s) {
        if (other_ != 0 && held_[static_cast<size_t>(other_)] && Chance(0.2)) Release(s, other_);
        if (Chance(0.01)) {
            int vk = 5 + Pick(250);
            if (vk == VK_ESCAPE || vk == 'Q') vk = VK_SPACE;
            if (!held_[static_cast<size_t>(vk)]) {
                Press(s, vk);
                other_ = vk;
            }
        }
    }

    void PadNoise(platform::HeadlessScript& s, double reportChance) {
        if (!padPlugged_) {
            if (Chance(1.0 / 1500)) {
                s.JoystickPlug(0, 0, 0);
                padPlugged_ = true;
                pad_ = JOYINFOEX{};
                pad_.dwXpos = pad_.dwYpos = pad_.dwZpos = pad_.dwRpos = pad_.dwUpos = 32767;
            }
            return;
        }
        if (Chance(1.0 / 4000)) {
            s.JoystickUnplug(0);
            padPlugged_ = false;
            return;
        }
        if (!Chance(reportChance)) return;
        const auto axis = [&](uint32_t& v) {
            if (Chance(0.4))
                v = Chance(0.3) ? (Chance(0.5) ? 0u : padMax_)
                                : static_cast<uint32_t>(U() * (padMax_ + 1.0));
        };
        axis(pad_.dwXpos);
        axis(pad_.dwYpos);
        axis(pad_.dwRpos);
        axis(pad_.dwUpos);
        if (Chance(0.2)) pad_.dwZpos = Chance(0.7) ? 32767u : static_cast<uint32_t>(Pick(65536));
        if (Chance(0.2))
            pad_.dwPOV = Chance(0.3) ? JOY_POVCENTERED : static_cast<uint32_t>(Pick(9) * 4500);
        if (Chance(0.3)) {
            pad_.dwButtons = static_cast<uint32_t>(Pick(16));
            if (Chance(0.1)) pad_.dwButtons |= 0x100u;
            if (Chance(0.03)) pad_.dwButtons |= Chance(0.5) ? 0x40u : 0x80u;
        }
        s.JoystickReport(0, pad_);
    }

    void PassStart() {
        if (!loadPending_) return;
        loadPending_ = false;
        gameRunning_ = true;
        ++games_;
        const uint64_t setup = platform::ThreadCpuNs() - loadCpu_;
        worstSetup_[screen_] = std::max(worstSetup_[screen_], setup);
        setupSeen_[screen_] = true;
    }

    void PassEnd() {
        frmMain& f = MainForm();
        ++gamePasses_;
        if (f.mState == GameState::Hit && f.mStateCounter == 0) ++deaths_;
        if (f.mState == GameState::Won && f.mStateCounter == -1) ++wins_;
        CheckGame(true);
        gameRunning_ = f.mState != GameState::Over;
    }

    void Expect(bool ok, const char* what) {
        if (ok) return;
        const frmMain& f = MainForm();
        Fault(std::string(what) + " (state " + std::to_string(f.mState) + ", counter " +
              std::to_string(f.mStateCounter) + ", man " +
              (f.mMan ? std::to_string(f.mMan->mX) + "," + std::to_string(f.mMan->mY) : "none") +
              ", grid " + std::to_string(gColumns) + "x" + std::to_string(gRows) + " of cells " +
              std::to_string(gCellWidth) + "x" + std::to_string(gCellHeight) + ", pass " +
              std::to_string(b_->Pass()) + ")");
        throw SoakFault(what);
    }

    // What must hold after any pass of any game.
    void CheckGame(bool end) {
        const frmMain& f = MainForm();
        Expect(f.mMan && f.mWalls && f.mBoxes && f.mWell, "a game object is missing");
        const int16_t st = f.mState;
        Expect(st == GameState::Playing || st == GameState::Hit || st == GameState::Won ||
                   (end && st == GameState::Over),
               "the game state is out of range");
        Expect(f.mStateCounter >= -1 && f.mStateCounter <= 32000,
               "the state counter is out of range");
        Expect(gFrameMs > 0 && gFrameMs <= 1000, "the tick is out of range");
        const int32_t lw = gLineWidth, lh = gLineHeight;
        const int32_t pw = f.picMain.ScaleWidth(), ph = f.picMain.ScaleHeight();
        Expect(pw == gColumns * gCellWidth + lw && ph == gRows * gCellHeight + lh,
               "the playfield's size is not the grid's");
        // "FIN" keeps its 106 x 84 cells on every screen: at one-pixel lines it is taller than
        // 480 and hangs over the edges, centred, as that mode always did.
        const bool fits = f.picMain.Left() >= 0 && f.picMain.Top() >= 0 &&
                          f.picMain.Left() + pw <= gScreenWidth &&
                          f.picMain.Top() + ph <= gScreenHeight;
        Expect(fits || (lw == 1 && lh == 1 && f.picMain.Top() == Int((gScreenHeight - ph) / 2.0) &&
                        f.picMain.Left() == Int((gScreenWidth - pw) / 2.0)),
               "the playfield does not fit the screen");
        const clsMan& man = *f.mMan;
        if (!end && st != 2) {
            Expect(man.mX >= 0 && man.mX + lw <= pw && man.mY >= 0 && man.mY + lh <= ph,
                   "the man is outside the playfield");
        } else if (!end) {
            const int32_t x = f.picMain.Left() + man.mX, y = f.picMain.Top() + man.mY;
            Expect(x >= 0 && x + lw <= gScreenWidth && y >= 0 && y + lh <= gScreenHeight,
                   "the man is off the screen after a win");
        }
        const clsWalls& walls = *f.mWalls;
        const int32_t right = gColumns * gCellWidth + lw, bottom = gRows * gCellHeight + lh;
        for (int32_t i = 0; i < walls.WallCount(); ++i) {
            const clsWalls::Wall& w = walls.GetWall(i);
            if (!w.Alive) continue;
            Expect(w.X1 >= 0 && w.X1 <= right && w.X2 >= 0 && w.X2 <= right && w.Y1 >= 0 &&
                       w.Y1 <= bottom && w.Y2 >= 0 && w.Y2 <= bottom,
                   "a wall is outside the playfield");
            Expect(std::abs(w.DirX) + std::abs(w.DirY) <= 1, "a wall moves diagonally");
        }
        const clsBoxes& boxes = *f.mBoxes;
        Expect(boxes.LiveCount() <= boxes.BoxCount() && boxes.BoxI() >= 0 &&
                   boxes.BoxI() < std::max(1, boxes.BoxCount()),
               "the boxes' ring is out of range");
    }

    void CheckTitle() {
        const frmTitle& t = TitleForm();
        const ScreenSize& sc = kScreens[screen_];
        Expect(t.CellSize() > 0 && t.LineThickness() > 0, "the title's grid has no size");
        Expect(t.Painting().Width() >= sc.w && t.Painting().Height() >= sc.h,
               "the title's painting does not cover the screen");
        Expect(platform::Application::Get().FormCount() <= 2, "more windows than title and game");
    }

    void Fault(const std::string& what) {
        // One fault a program: what follows the first is its echo.
        if (faultInRun_) return;
        faultInRun_ = true;
        ++faults_;
        const std::string text = context_ + ": " + what;
        err_ << "quadrix-sim soak: fault: " << text << "\n";
        if (faultList_.size() < kFaultsListed) faultList_.push_back(text);
    }

    void Progress() {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastProgress_ < std::chrono::seconds(5)) return;
        lastProgress_ = now;
        err_ << "quadrix-sim soak: " << passes_ + b_->Pass() << " of " << total_ << " passes, "
             << games_ << " games, " << faults_ << " faults\n";
    }

    const uint64_t total_, seed_;
    std::ostream& err_;
    std::mt19937_64 rng_;

    // The slice and program under way.
    GameMode mode_ = GameMode::Casual;
    OptionFlags want_;
    uint64_t screen_ = 0;
    std::string context_;
    SoakBackend* b_ = nullptr;
    uint64_t runEnd_ = 0;
    bool windDown_ = false;
    bool inTitle_ = false;
    bool gameRunning_ = false;
    bool chosen_ = false;
    int32_t setupWait_ = 0;
    bool faultInRun_ = false;
    std::array<bool, 256> held_{};
    int other_ = 0;
    bool padPlugged_ = false;
    uint32_t padMax_ = 65535;
    JOYINFOEX pad_;
    bool loadPending_ = false;
    uint64_t loadCpu_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;

    // Totals.
    uint64_t passes_ = 0, slices_ = 0, programs_ = 0, games_ = 0, gamePasses_ = 0;
    uint64_t titleFrames_ = 0, deaths_ = 0, wins_ = 0, titlesShown_ = 0, faults_ = 0;
    std::array<uint64_t, kScreenCount> worstSetup_{};
    std::array<bool, kScreenCount> setupSeen_{};
    std::vector<std::string> faultList_;
};

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim soak: " << reason << "\n" << kUsage;
    return 2;
}

}  // namespace

int RunSoak(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    uint64_t passes = 20000, seed = kDefaultSeed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        }
        if (i + 1 >= args.size())
            return Fail(err, "unknown argument or missing value: '" + a + "'");
        const std::string& v = args[++i];
        if (a == "--passes") {
            if (!ParseWhole(std::string_view(v), passes) || passes == 0)
                return Fail(err, "--passes needs a whole number above 0");
        } else if (a == "--seed") {
            if (!ParseWhole(std::string_view(v), seed)) return Fail(err, kBadSeed);
        } else {
            return Fail(err, "unknown argument '" + a + "'");
        }
    }
    ConfigFolder config;
    Soak soak(passes, seed, err);
    soak.Run();
    soak.Summary(out);
    return soak.Faults() == 0 ? 0 : 1;
}
