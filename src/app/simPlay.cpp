#include "app/simPlay.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/simArgs.h"
#include "main/GameSettings.h"
#include "main/Random.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/headless/FrameFile.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "title/modModeArgs.h"

namespace {

const char kUsage[] =
    "usage: quadrix-sim play --mode NAME [--ouch] [--anarchy] [--solid] [--pieces] [--speed]\n"
    "                        --screen WxH [--seed N] [--passes N] [--input FILE]\n"
    "                        [--trace FILE] [--frames DIR --every K]\n"
    "  Plays one game headless until it ends or N passes ran, and prints a JSON summary.\n"
    "  --input is a headless script (one event a line: key down|up KEY, cursor X Y, mouse\n"
    "  down|up left, click NAME, close, answer yes|no, joystick ...; 'at pass N' counts event\n"
    "  pumps: the game's pass P pumps at N = P + 1). --trace writes one JSON line per pass;\n"
    "  --frames writes every K-th frame as a BMP file into DIR.\n";

struct PlayArgs {
    GameChoice choice;
    int32_t width = 0, height = 0;
    uint64_t seed = kDefaultSeed;
    uint64_t passes = 0;  // 0: until the game ends
    std::string input, trace, frames;
    uint64_t every = 1;
};

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim play: " << reason << "\n" << kUsage << kModeArgsUsage;
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
            out << kUsage << kModeArgsUsage;
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
        } else if (a == "--every") {
            if (!ParseWhole(std::string_view(v), p.every) || p.every == 0)
                return Fail(err, "--every needs a whole number above 0");
        } else if (a == "--input") {
            p.input = v;
        } else if (a == "--trace") {
            p.trace = v;
        } else if (a == "--frames") {
            p.frames = v;
        } else {
            return Fail(err, "unknown argument '" + a + "'");
        }
    }
    if (!p.choice.mode) return Fail(err, "--mode is required");
    if (p.width == 0) return Fail(err, "--screen is required");
    return 0;
}

uint64_t ThreadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

std::string Hex(uint64_t v) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016" PRIx64, v);
    return buf;
}

// One pass as a JSON line: what a failing replay needs to say which value went wrong first.
std::string TraceLine(uint64_t pass, const frmMain& form) {
    std::ostringstream s;
    s << "{\"pass\":" << pass << ",\"mState\":" << form.mState
      << ",\"mStateCounter\":" << form.mStateCounter << ",\"mX\":" << form.mMan->mX
      << ",\"mY\":" << form.mMan->mY << ",\"Hit\":" << (form.mMan->Hit ? "true" : "false")
      << ",\"walls\":" << form.mWalls->LiveCount() << ",\"boxes\":" << form.mBoxes->LiveCount()
      << ",\"hash\":\"" << Hex(platform::FrameHash(*form.picMain.image())) << "\"}";
    return s.str();
}

double Percentile(std::vector<uint64_t> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
    return static_cast<double>(v[i]) / 1000.0;
}

}  // namespace

int RunPlay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    PlayArgs p;
    if (const int status = Parse(args, p, out, err)) return status < 0 ? 0 : status;

    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(p.width, p.height);
    if (!p.input.empty()) {
        std::ifstream in(p.input, std::ios::binary);
        if (!in) return Fail(err, "cannot read the input script '" + p.input + "'");
        std::ostringstream text;
        text << in.rdbuf();
        platform::HeadlessScript script;
        std::string error;
        if (!platform::HeadlessScript::Parse(text.str(), script, &error)) {
            err << "quadrix-sim play: " << p.input << ": " << error << "\n";
            return 2;
        }
        headless.Load(script);
    }
    std::ofstream trace;
    if (!p.trace.empty()) {
        trace.open(p.trace, std::ios::binary | std::ios::trunc);
        if (!trace) return Fail(err, "cannot write the trace file '" + p.trace + "'");
    }
    if (!p.frames.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(p.frames, ec);
        if (ec) return Fail(err, "cannot make the frames folder '" + p.frames + "'");
    }

    platform::Application::Get().Reset();
    ResetMainForm();
    ResetSharedState();
    StartProgram();
    quadrix::SharedRandom().Seed(p.seed);
    ApplyChoice(p.choice);

    frmMain& form = MainForm();
    uint64_t pass = 0, deaths = 0, cpuStart = 0;
    std::optional<uint64_t> winPass;
    std::vector<uint64_t> cpu;
    bool framesFailed = false;
    form.OnPassStart = [&] { cpuStart = ThreadCpuNs(); };
    form.OnPassWorkDone = [&] { cpu.push_back(ThreadCpuNs() - cpuStart); };
    form.OnPassEnd = [&] {
        ++pass;
        if (form.mState == 1 && form.mStateCounter == 0) ++deaths;
        if (form.mState == 2 && form.mStateCounter == -1) winPass = pass;
        if (trace.is_open()) trace << TraceLine(pass, form) << '\n';
        if (!p.frames.empty() && pass % p.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06" PRIu64 ".bmp", pass);
            framesFailed |= !headless.DumpLastFrame(p.frames + name);
        }
        if (p.passes != 0 && pass >= p.passes) form.mState = 4;
    };

    PlayGame();
    form.OnPassStart = form.OnPassWorkDone = form.OnPassEnd = nullptr;
    if (framesFailed) err << "quadrix-sim play: some frames could not be written\n";

    out << "{\"passes\":" << pass << ",\"deaths\":" << deaths
        << ",\"winPass\":" << (winPass ? std::to_string(*winPass) : "null")
        << ",\"finalState\":" << form.mState
        << ",\"cpuPerPassMs\":{\"median\":" << Percentile(cpu, 0.5) / 1000.0
        << ",\"p99\":" << Percentile(cpu, 0.99) / 1000.0 << ",\"max\":"
        << (cpu.empty() ? 0.0
                        : static_cast<double>(*std::max_element(cpu.begin(), cpu.end())) / 1e6)
        << "}}\n";
    return framesFailed ? 1 : 0;
}
