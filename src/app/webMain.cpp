// quadrix in a web browser: the game on the browser back end, its page's files kept in the
// browser, and replays dropped on the page played back.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Fatal.h"
#include "platform/files/ProgramFolder.h"
#include "platform/frame/FrameParts.h"
#include "platform/settings/SettingsFile.h"
#include "platform/web/WebBackend.h"
#include "platform/web/WebPage.h"
#include "playfield/clsMan.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "title/modModeArgs.h"
#include "title/modMouseSetting.h"

namespace {

constexpr char kSettingsKey[] = "quadrix-settings";
constexpr char kDropped[] = "/tmp/dropped.qxr";

// Between passes: a changed mouse setting is stored at once (a page is closed, not quit), and
// the last game's replay is offered while the title shows.
void KeepPageFiles() {
    static int32_t savedMouse = gMouse;
    static uint64_t offeredHash = 0;
    static bool offered = false;
    if (gMouse != savedMouse) {
        savedMouse = gMouse;
        SaveMouseSetting();
        qx_web_keep_file(platform::settings::SettingsPath(MouseSettingApp()).c_str(), kSettingsKey);
    }
    // Where the game stands, for tests: "title" or "game X Y" (the man), and the setting.
    static std::string said;
    const frmMain& game = MainForm();
    char status[64];
    if (game.Loaded() && game.mMan)
        std::snprintf(status, sizeof status, "game %d %d mouse %d", game.mMan->mX, game.mMan->mY,
                      gMouse);
    else
        std::snprintf(status, sizeof status, "title mouse %d", gMouse);
    if (said != status) {
        said = status;
        qx_web_status(status);
    }
    const std::optional<GameOutcome>& last = LastGameOutcome();
    const bool offer = last && !MainForm().Loaded();
    if (offer == offered && (!offer || last->hash == offeredHash)) return;
    offered = offer;
    offeredHash = offer ? last->hash : 0;
    qx_web_offer_file(offer ? LastReplayPath().c_str() : "", "last.qxr");
}

int PlayDropped(std::unique_ptr<platform::WebBackend> page) {
    ReplayFile replay;
    std::string error;
    if (!ReadReplayFile(kDropped, replay, error)) {
        qx_web_say(("Not played: " + error).c_str());
        return 2;
    }
    const PlaybackVerdict verdict = PlayBackOn(std::move(page), replay);
    qx_web_say(("Replay " + verdict.text).c_str());
    return verdict.same ? 0 : 1;
}

std::optional<std::string> Param(const char* name) {
    char value[64];
    if (!qx_web_param(name, value, sizeof value)) return std::nullopt;
    return std::string(value);
}

// ?bench=present: the cost of showing a full-HD frame, conversion and all, as a median.
int BenchPresent(platform::WebBackend& page) {
    Bitmap frame(1920, 1080, false);
    for (size_t i = 0; i < frame.pixels.size(); ++i)
        frame.pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
    std::vector<double> ms;
    for (int i = 0; i < 101; ++i) {
        frame.pixels[static_cast<size_t>(i)] ^= 0xFFFFFFu;  // a new frame each time
        const auto t0 = std::chrono::steady_clock::now();
        page.Present(platform::FrameParts{&frame});
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        page.Sleep(0);  // painted between presents, as in play
    }
    std::nth_element(ms.begin(), ms.begin() + 50, ms.end());
    char text[80];
    std::snprintf(text, sizeof text, "present 1920x1080: median %.2f ms", ms[50]);
    qx_web_say(text);
    return 0;
}

}  // namespace

int main() try {
    // The page's data (pictures, fonts) is packed into this folder.
    platform::SetProgramFolder("/quadrix");
    const std::string settings = platform::settings::SettingsPath(MouseSettingApp());
    qx_web_restore_file(settings.c_str(), kSettingsKey);
    auto page = std::make_unique<platform::WebBackend>();
    if (qx_web_take_dropped(kDropped)) return PlayDropped(std::move(page));
    if (Param("bench") == "present") return BenchPresent(*page);
    // ?mode=NAME starts that game (a link to a mode); ?seed=N draws the title the same each time.
    GameChoice choice;
    if (const auto mode = Param("mode")) choice.mode = ModeFromArgument(*mode);
    std::optional<uint64_t> seed;
    if (const auto text = Param("seed")) seed = std::strtoull(text->c_str(), nullptr, 10);
    page->SetPumpHook(KeepPageFiles);
    InstallRecording(std::move(page), "");
    RunProgram(choice, seed);
    qx_web_keep_file(settings.c_str(), kSettingsKey);
    qx_web_say("Quadrix has ended. Reload the page to play again.");
    return 0;
} catch (const std::exception& e) {
    platform::Fatal(e);
}
