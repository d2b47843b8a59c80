#include "app/simPlay.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/simArgs.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/clock/SystemClock.h"
#include "platform/headless/FrameFile.h"
#include "platform/headless/Headless.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "title/modModeArgs.h"

namespace {

const char kUsage[] =
    "usage: quadrix-sim play --mode NAME [--ouch] [--anarchy] [--solid] [--pieces] [--speed]\n"
    "                        --screen WxH [--seed N] [--passes N] [--mouse V] [--input FILE]\n"
    "                        [--trace FILE] [--frames DIR --every K] [--record FILE]\n"
    "  Plays one game headless until it ends or N passes ran, and prints a JSON summary\n"
    "  (\"ended\": false when --passes cut the game short). --mouse is the mouse setting the\n"
    "  game steers with, 0 to 199 (default 100).\n"
    "  --input is a headless script (one event a line: key down|up KEY, cursor X Y, mouse\n"
    "  down|up left, click NAME, close, answer yes|no, joystick ...; 'at pass N' counts event\n"
    "  pumps: the game's pass P pumps at N = P + 1; a joystick plugged without 'at' is there\n"
    "  from the start). --trace writes one JSON line per pass;\n"
    "  --frames writes every K-th frame as a BMP file into DIR; --record writes the game as\n"
    "  a replay file.\n";

const char kReplayUsage[] =
    "usage: quadrix-sim replay FILE [--trace FILE] [--frames DIR --every K] [--check]\n"
    "  Plays a replay back headless at its screen size, seed and mode, at most to its\n"
    "  recorded pass count, and prints a JSON summary. --check exits with 1 when a check\n"
    "  line, the pass count or the final playfield hash differs from the recording (the\n"
    "  first difference is named); a file it cannot read or that the game would never have\n"
    "  written exits with 2.\n";

struct PlayArgs {
    GameChoice choice;
    int32_t width = 0, height = 0;
    uint64_t seed = kDefaultSeed;
    uint64_t passes = 0;  // 0: until the game ends
    std::optional<int32_t> mouse;
    std::string input, trace, frames, record;
    uint64_t every = 1;
};

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim play: " << reason << "\n" << kUsage << ModeArgsUsage();
    return 2;
}

// Returns 0 when parsed, else the exit status after a message.
int Parse(const std::vector<std::string>& args, PlayArgs& p, std::ostream& out, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        const ArgTaken taken = TakeModeArg(args, i, p.choice, error);
        if (taken == ArgTaken::Bad) return Fail(err, error);
        if (taken == ArgTaken::Yes) continue;
        if (a == "--help" || a == "-h") {
            out << kUsage << ModeArgsUsage();
            return -1;
        }
        if (i + 1 >= args.size())
            return Fail(err, "unknown argument or missing value: '" + a + "'");
        const std::string& v = args[++i];
        if (a == "--screen") {
            if (!ParseScreen(v, p.width, p.height)) return Fail(err, BadScreen(v));
        } else if (a == "--seed") {
            if (!ParseWhole(std::string_view(v), p.seed)) return Fail(err, kBadSeed);
        } else if (a == "--passes") {
            if (!ParseWhole(std::string_view(v), p.passes) || p.passes == 0)
                return Fail(err, "--passes needs a whole number above 0");
        } else if (a == "--mouse") {
            int32_t mouse = 0;
            if (!ParseWhole(std::string_view(v), mouse) || mouse < 0 || mouse > 199)
                return Fail(err, "--mouse needs a whole number from 0 to 199");
            p.mouse = mouse;
        } else if (a == "--every") {
            if (!ParseWhole(std::string_view(v), p.every) || p.every == 0)
                return Fail(err, "--every needs a whole number above 0");
        } else if (a == "--input") {
            p.input = v;
        } else if (a == "--trace") {
            p.trace = v;
        } else if (a == "--frames") {
            p.frames = v;
        } else if (a == "--record") {
            p.record = v;
        } else {
            return Fail(err, "unknown argument '" + a + "'");
        }
    }
    if (!p.choice.mode) return Fail(err, "--mode is required");
    if (p.width == 0) return Fail(err, "--screen is required");
    return 0;
}

std::string Hex(uint64_t v) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016" PRIx64, v);
    return buf;
}

// One pass as a JSON line: what a failing replay needs to say which value went wrong first.
std::string TraceLine(uint64_t pass) {
    const ReplayCheckpoint c = CurrentCheckpoint(pass);
    std::ostringstream s;
    s << "{\"pass\":" << pass << ",\"mState\":" << c.state << ",\"mStateCounter\":" << c.counter
      << ",\"mX\":" << c.x << ",\"mY\":" << c.y << ",\"Hit\":" << (c.hit ? "true" : "false")
      << ",\"walls\":" << c.walls << ",\"wallSum\":" << c.wallSum << ",\"boxes\":" << c.boxes
      << ",\"hash\":\"" << Hex(c.hash) << "\"}";
    return s.str();
}

double Percentile(std::vector<uint64_t> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
    return static_cast<double>(v[i]) / 1000.0;
}

class NullSink : public platform::EventSink {
  public:
    void MouseButton(int, bool, POINT) override {}
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string&, platform::UnloadMode) override {}
} gNullSink;

// What one headless game needs, whether scripted or played back from a replay.
struct Run {
    GameChoice choice;
    int32_t width = 0, height = 0;
    uint64_t seed = kDefaultSeed;
    std::optional<int32_t> mouse;
    uint64_t passes = 0;  // 0: until the game ends
    std::string trace, frames, record;
    uint64_t every = 1;
    const platform::HeadlessScript* input = nullptr;
    const ReplayFile* replay = nullptr;
};

struct RunResult {
    uint64_t passes = 0, deaths = 0;
    std::optional<uint64_t> winPass;
    bool ended = false;  // by itself or by the player, not cut at the pass limit
    uint64_t hash = 0;
    std::vector<uint64_t> cpu;
    bool framesFailed = false;
    uint64_t warpMismatches = 0, firstWarpMismatch = 0;
    platform::ReplayPlayer* player = nullptr;  // of a playback, while its back end is installed
};

// Returns 0, or the exit status after a message naming what could not be opened.
int RunGame(const Run& run, RunResult& r, const char* command, std::ostream& err) {
    auto owned = std::make_unique<platform::Headless>();
    platform::Headless& headless = *owned;
    headless.SetScreenSize(run.width, run.height);
    if (run.input) {
        // A joystick plugged without "at" is there from the program's start, as the game
        // only takes one it finds then.
        platform::HeadlessScript rest;
        for (const platform::ScriptEvent& e : run.input->events) {
            const bool atStart = !e.atTime && e.at == 0 &&
                                 (e.kind == platform::ScriptEventKind::JoystickPlug ||
                                  e.kind == platform::ScriptEventKind::JoystickReport);
            if (atStart)
                headless.ApplyNow(e, gNullSink);
            else
                rest.events.push_back(e);
        }
        headless.Load(rest);
    }
    platform::ReplayPlayer* player = nullptr;
    if (run.replay) {
        auto wrapped = std::make_unique<platform::ReplayPlayer>(
            std::move(owned), run.replay->script, platform::ScreenSize{run.width, run.height});
        player = r.player = wrapped.get();
        platform::InstallBackend(std::move(wrapped));
    } else if (!run.record.empty()) {
        platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(std::move(owned)));
    } else {
        platform::InstallBackend(std::move(owned));
    }

    std::ofstream trace;
    if (!run.trace.empty()) {
        trace.open(run.trace, std::ios::binary | std::ios::trunc);
        if (!trace) {
            err << "quadrix-sim " << command << ": cannot write the trace file '" << run.trace
                << "'\n";
            return 2;
        }
    }
    if (!run.frames.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(run.frames, ec);
        if (ec) {
            err << "quadrix-sim " << command << ": cannot make the frames folder '" << run.frames
                << "'\n";
            return 2;
        }
    }

    ResetProgramState();
    StartProgram();
    // The session keeps the file, so that a fatal error on the way keeps the game so far too.
    if (!run.record.empty()) SetReplayTargets(run.record, false);
    if (run.mouse) gMouse = *run.mouse;
    ChooseGame(run.choice, run.seed);
    ApplyChoice(run.choice);
    if (run.replay) ExpectPlayback(*run.replay);

    frmMain& form = MainForm();
    uint64_t pass = 0, cpuStart = 0;
    bool cut = false;
    form.OnPassStart = [&] { cpuStart = platform::ThreadCpuNs(); };
    form.OnPassWorkDone = [&] { r.cpu.push_back(platform::ThreadCpuNs() - cpuStart); };
    form.OnPassEnd = [&] {
        ++pass;
        if (form.mState == GameState::Hit && form.mStateCounter == 0) ++r.deaths;
        if (form.mState == GameState::Won && form.mStateCounter == -1) r.winPass = pass;
        if (trace.is_open()) trace << TraceLine(pass) << '\n';
        if (!run.frames.empty() && pass % run.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06" PRIu64 ".bmp", pass);
            r.framesFailed |= !headless.DumpLastFrame(run.frames + name);
        }
        if (run.passes != 0 && pass >= run.passes && form.mState != GameState::Over) {
            cut = true;
            form.mState = GameState::Over;
        }
    };

    PlayGame();
    form.OnPassStart = form.OnPassWorkDone = form.OnPassEnd = nullptr;
    r.passes = pass;
    r.ended = !cut;
    const std::optional<GameOutcome>& outcome = LastGameOutcome();
    r.hash = outcome ? outcome->hash : 0;
    if (player) {
        r.warpMismatches = player->WarpMismatches();
        r.firstWarpMismatch = player->FirstWarpMismatch();
    }
    if (r.framesFailed) err << "quadrix-sim " << command << ": some frames could not be written\n";
    if (!run.record.empty()) {
        SetReplayTargets("", false);
        if (!outcome || outcome->recorded.empty()) {
            err << "quadrix-sim " << command << ": the game was not recorded\n";
            return 1;
        }
        if (!outcome->kept) return 1;  // the session said why
    }
    return 0;
}

void Summary(std::ostream& out, const RunResult& r, const std::string& extra) {
    out << "{\"passes\":" << r.passes << ",\"deaths\":" << r.deaths
        << ",\"winPass\":" << (r.winPass ? std::to_string(*r.winPass) : "null")
        << ",\"ended\":" << (r.ended ? "true" : "false") << ",\"hash\":\"" << Hex(r.hash) << "\""
        << extra << ",\"cpuPerPassMs\":{\"median\":" << Percentile(r.cpu, 0.5) / 1000.0
        << ",\"p99\":" << Percentile(r.cpu, 0.99) / 1000.0 << ",\"max\":"
        << (r.cpu.empty()
                ? 0.0
                : static_cast<double>(*std::max_element(r.cpu.begin(), r.cpu.end())) / 1e6)
        << "}}\n";
}

}  // namespace

int RunPlay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    PlayArgs p;
    if (const int status = Parse(args, p, out, err)) return status < 0 ? 0 : status;

    platform::HeadlessScript script;
    if (!p.input.empty()) {
        std::ifstream in(p.input, std::ios::binary);
        if (!in) return Fail(err, "cannot read the input script '" + p.input + "'");
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        if (!platform::HeadlessScript::Parse(text.str(), script, &error)) {
            err << "quadrix-sim play: " << p.input << ": " << error << "\n";
            return 2;
        }
    }
    Run run;
    run.choice = p.choice;
    run.width = p.width;
    run.height = p.height;
    run.seed = p.seed;
    run.passes = p.passes;
    run.mouse = p.mouse;
    run.trace = p.trace;
    run.frames = p.frames;
    run.every = p.every;
    run.record = p.record;
    run.input = p.input.empty() ? nullptr : &script;
    RunResult r;
    if (const int status = RunGame(run, r, "play", err)) return status;
    Summary(out, r, "");
    return r.framesFailed ? 1 : 0;
}

int RunReplay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file;
    Run run;
    bool check = false;
    auto fail = [&](const std::string& reason) {
        err << "quadrix-sim replay: " << reason << "\n" << kReplayUsage;
        return 2;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << kReplayUsage;
            return 0;
        }
        if (a == "--check") {
            check = true;
            continue;
        }
        if (a == "--trace" || a == "--frames" || a == "--every") {
            if (i + 1 >= args.size()) return fail("missing value after " + a);
            const std::string& v = args[++i];
            if (a == "--trace") {
                run.trace = v;
            } else if (a == "--frames") {
                run.frames = v;
            } else if (!ParseWhole(std::string_view(v), run.every) || run.every == 0) {
                return fail("--every needs a whole number above 0");
            }
            continue;
        }
        if (!a.empty() && a[0] == '-') return fail("unknown argument '" + a + "'");
        if (!file.empty()) return fail("one replay file at a time");
        file = a;
    }
    if (file.empty()) return fail("which replay file?");
    ReplayFile replay;
    std::string error;
    if (!ReadReplayFile(file, replay, error)) {
        err << "quadrix-sim replay: " << error << "\n";
        return 2;
    }
    run.choice = replay.choice;
    run.width = replay.width;
    run.height = replay.height;
    run.seed = replay.seed;
    run.mouse = replay.mouse;
    run.replay = &replay;
    RunResult r;
    if (const int status = RunGame(run, r, "replay", err)) return status;
    const PlaybackVerdict verdict = JudgePlayback(replay, r.player->Stopped());
    const std::optional<GameOutcome>& outcome = LastGameOutcome();
    const uint64_t differsAt = outcome ? outcome->differsAt : 0;
    Summary(out, r,
            ",\"recordedPasses\":" + std::to_string(replay.passes) + ",\"recordedHash\":\"" +
                Hex(replay.hash) + "\",\"match\":" + (verdict.same ? "true" : "false") +
                ",\"stopped\":" + (r.player->Stopped() ? "true" : "false") +
                ",\"checks\":" + std::to_string(replay.checks.size()) +
                ",\"firstDifference\":" + (differsAt ? std::to_string(differsAt) : "null") +
                ",\"warpMismatches\":" + std::to_string(r.warpMismatches));
    if (!verdict.same) err << "quadrix-sim replay: " << file << ": " << verdict.text << "\n";
    if (r.warpMismatches != 0)
        err << "quadrix-sim replay: " << file << ": " << r.warpMismatches
            << " cursor warps differ from the recording, the first in pass " << r.firstWarpMismatch
            << "\n";
    if (check && !verdict.same) return 1;
    return r.framesFailed ? 1 : 0;
}
