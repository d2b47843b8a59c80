// quadrix-sim: runs parts of the game without a display and prints what they produce.
#include <iostream>
#include <string>
#include <vector>

#include "app/simSettings.h"
#include "platform/headless/Headless.h"

int main(int argc, char** argv) {
    platform::UseHeadless();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "settings") {
        return RunSettings({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: quadrix-sim settings --mode NAME --screen WxH [options]\n";
        return 0;
    }
    std::cerr << "usage: quadrix-sim settings --mode NAME --screen WxH [options]\n"
                 "(quadrix-sim settings --help for the options)\n";
    return 2;
}
