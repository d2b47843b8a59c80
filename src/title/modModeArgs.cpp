#include "title/modModeArgs.h"

const char kModeArgsUsage[] =
    "  --mode NAME is a mode button: cmdCasual, cmdDont, cmdElectric, cmdFinal, cmdFun,\n"
    "  cmdMini, cmdNoRules, cmdOuch, cmdRidiculous, cmdSpeedy, cmdVertigo, cmdWork;\n"
    "  --ouch, --anarchy, --solid, --pieces, --speed tick the options of that name.\n";

ArgTaken TakeModeArg(const std::vector<std::string>& args, size_t& i, GameChoice& choice,
                     std::string& error) {
    const std::string& a = args[i];
    bool* flag = a == "--ouch"      ? &choice.flags.ouch
                 : a == "--anarchy" ? &choice.flags.anarchy
                 : a == "--solid"   ? &choice.flags.solid
                 : a == "--pieces"  ? &choice.flags.pieces
                 : a == "--speed"   ? &choice.flags.speed
                                    : nullptr;
    if (flag) {
        *flag = true;
        return ArgTaken::Yes;
    }
    if (a != "--mode") return ArgTaken::No;
    if (i + 1 >= args.size()) {
        error = "--mode needs a mode button name";
        return ArgTaken::Bad;
    }
    choice.mode = ModeFromControlName(args[++i]);
    if (!choice.mode) {
        error = "unknown mode '" + args[i] + "'";
        return ArgTaken::Bad;
    }
    return ArgTaken::Yes;
}

void ApplyChoice(const GameChoice& choice) {
    const OptionEffect options = ApplyOptionFlags(choice.flags);
    if (choice.mode) ApplyMode(*choice.mode, options.level);
}
