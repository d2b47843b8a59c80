// quadrix: the game on the SDL back end.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "main/modMain.h"
#include "platform/Backend.h"
#include "platform/Fatal.h"
#include "platform/files/ProgramFolder.h"
#include "platform/sdl/SdlBackend.h"
#include "title/modModeArgs.h"

namespace {

const char kUsage[] =
    "usage: quadrix [--windowed] [--mode NAME [--ouch] [--anarchy] [--solid] [--pieces]\n"
    "               [--speed]]\n"
    "       quadrix --help | --version\n"
    "  Starts at the title screen; with --mode, starts that game straight away and comes\n"
    "  back to the title when it ends. --windowed starts in a window (Alt+Enter switches).\n";

int Usage(FILE* to, int status) {
    std::fputs(kUsage, to);
    std::fputs(kModeArgsUsage, to);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    GameChoice choice;
    platform::SdlOptions options;
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
        std::fprintf(stderr, "quadrix: unknown argument '%s'\n", args[i].c_str());
        return Usage(stderr, 2);
    }
    if (!choice.mode && (choice.flags.ouch || choice.flags.anarchy || choice.flags.solid ||
                         choice.flags.pieces || choice.flags.speed)) {
        std::fputs("quadrix: the options go with --mode; on the title screen tick them there\n",
                   stderr);
        return Usage(stderr, 2);
    }

    options.iconPath = platform::ProgramFolder() + "/images/Icon.bmp";
    try {
        platform::InstallBackend(platform::MakeSdlBackend(options));
    } catch (const std::exception& e) {
        platform::Fatal(e.what());
    }
    RunProgram(choice);
    return 0;
}
