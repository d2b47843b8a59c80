// quadrix-sim: runs parts of the game without a display and prints what they produce.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/simLayout.h"
#include "app/simPlay.h"
#include "app/simSettings.h"
#include "app/simSoak.h"
#include "platform/Fatal.h"
#include "platform/headless/Headless.h"

namespace {
const char kUsage[] =
    "usage: quadrix-sim settings --mode NAME --screen WxH [options]\n"
    "       quadrix-sim play --mode NAME --screen WxH [options]\n"
    "       quadrix-sim replay FILE [--trace FILE] [--check]\n"
    "       quadrix-sim soak [--passes N] [--seed S]\n"
    "       quadrix-sim layout --screen WxH\n"
    "(quadrix-sim COMMAND --help for the options)\n";
}

// Anything that escapes (out of memory included) ends through the one fatal path.
int main(int argc, char** argv) try {
    platform::UseHeadless();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<std::string> rest(args.empty() ? args.end() : args.begin() + 1, args.end());
    if (!args.empty() && args[0] == "settings") return RunSettings(rest, std::cout, std::cerr);
    if (!args.empty() && args[0] == "play") return RunPlay(rest, std::cout, std::cerr);
    if (!args.empty() && args[0] == "replay") return RunReplay(rest, std::cout, std::cerr);
    if (!args.empty() && args[0] == "soak") return RunSoak(rest, std::cout, std::cerr);
    if (!args.empty() && args[0] == "layout") return RunLayout(rest, std::cout, std::cerr);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << kUsage;
    return 2;
} catch (const std::exception& e) {
    platform::Fatal(e);
}
