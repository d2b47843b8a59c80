#include "title/modModeArgs.h"

#include <strings.h>

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::string ModeArgsUsage() {
    std::string text =
        "  --mode NAME starts a mode button's game; NAME is the button or its caption, in\n"
        "  any case (cmdFinal, FIN, fin):\n";
    for (int i = 0; i < kGameModeCount; ++i) {
        const auto mode = static_cast<GameMode>(i);
        std::string name(ModeControlName(mode));
        name.resize(16, ' ');
        const std::string_view caption = ModeCaption(mode);
        text += "    " + name + (caption.empty() ? "(no caption)" : std::string(caption)) + "\n";
    }
    return text +
           "  --ouch, --anarchy, --solid, --pieces, --speed tick the options of that name.\n";
}

std::optional<GameMode> ModeFromArgument(std::string_view text) {
    for (int i = 0; i < kGameModeCount; ++i) {
        const auto mode = static_cast<GameMode>(i);
        const std::string_view caption = ModeCaption(mode);
        if (SameIgnoringCase(text, ModeControlName(mode)) ||
            (!caption.empty() && SameIgnoringCase(text, caption)))
            return mode;
    }
    return std::nullopt;
}

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
        error = "--mode needs a mode button's name or caption";
        return ArgTaken::Bad;
    }
    choice.mode = ModeFromArgument(args[++i]);
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
