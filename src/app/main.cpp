// quadrix: the game on the SDL back end.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Backend.h"
#include "platform/Fatal.h"
#include "platform/Signals.h"
#include "platform/files/ProgramFolder.h"
#include "platform/sdl/SdlBackend.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "title/modModeArgs.h"

namespace {

const char kUsage[] =
    "usage: quadrix [--windowed] [--record FILE] [--mode NAME [--ouch] [--anarchy] [--solid]\n"
    "               [--pieces] [--speed]]\n"
    "       quadrix [--windowed] --replay FILE\n"
    "       quadrix -h | --help | --version\n"
    "  Starts at the title screen; with --mode, starts that game straight away and comes\n"
    "  back to the title when it ends. --windowed starts in a window (Alt+Enter switches).\n"
    "  Every game is kept as last.qxr in $XDG_DATA_HOME/quadrix (~/.local/share/quadrix);\n"
    "  --record FILE writes it to FILE as well. --replay plays a recorded game back (Escape\n"
    "  stops it) and says whether it ended as recorded, or the first pass where it differs;\n"
    "  a file it cannot read or that the game would never have written exits with 2.\n";

int Usage(FILE* to, int status) {
    std::fputs(kUsage, to);
    std::fputs(ModeArgsUsage().c_str(), to);
    return status;
}

// Plays the file back on screen; 0 when the game ended as recorded, 1 when not.
int Replay(const std::string& path, const platform::SdlOptions& options) {
    ReplayFile replay;
    std::string error;
    if (!ReadReplayFile(path, replay, error)) {
        std::fprintf(stderr, "quadrix: %s\n", error.c_str());
        return 2;
    }
    const PlaybackVerdict verdict = PlayBackOn(platform::MakeSdlBackend(options), replay);
    std::printf("quadrix: %s: %s\n", path.c_str(), verdict.text.c_str());
    return verdict.same ? 0 : 1;
}

}  // namespace

// Anything that escapes (out of memory included) ends through the one fatal path.
int main(int argc, char** argv) try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    GameChoice choice;
    platform::SdlOptions options;
    std::string record, replay;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string error;
        const ArgTaken taken = TakeModeArg(args, i, choice, error);
        if (taken == ArgTaken::Bad) {
            std::fprintf(stderr, "quadrix: %s\n", error.c_str());
            return Usage(stderr, 2);
        }
        if (taken == ArgTaken::Yes) continue;
        if (args[i] == "--help" || args[i] == "-h") return Usage(stdout, 0);
        if (args[i] == "--version") {
            std::printf("quadrix %d.%d\n", kVersionMajor, kVersionMinor);
            return 0;
        }
        if (args[i] == "--windowed") {
            options.windowed = true;
            continue;
        }
        if (args[i] == "--record" || args[i] == "--replay") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quadrix: %s needs a file name\n", args[i].c_str());
                return Usage(stderr, 2);
            }
            (args[i] == "--record" ? record : replay) = args[i + 1];
            ++i;
            continue;
        }
        std::fprintf(stderr, "quadrix: unknown argument '%s'\n", args[i].c_str());
        return Usage(stderr, 2);
    }
    if (!choice.mode && (choice.flags.ouch || choice.flags.anarchy || choice.flags.solid ||
                         choice.flags.pieces || choice.flags.speed)) {
        std::fputs("quadrix: the options go with --mode; on the title screen tick them there\n",
                   stderr);
        return Usage(stderr, 2);
    }
    if (!replay.empty() && (choice.mode || !record.empty())) {
        std::fputs("quadrix: --replay plays the file's own game; it takes no --mode or --record\n",
                   stderr);
        return Usage(stderr, 2);
    }

    options.iconPath = platform::ProgramFolder() + "/images/Icon.bmp";
    // A signal ends the program as the title's Yes does, whatever is on screen.
    platform::CatchQuitSignals();
    try {
        if (!replay.empty()) return Replay(replay, options);
        InstallRecording(platform::MakeSdlBackend(options), record);
    } catch (const std::exception& e) {
        platform::Fatal(e.what());
    }
    RunProgram(choice);
    return 0;
} catch (const std::exception& e) {
    platform::Fatal(e);
}
