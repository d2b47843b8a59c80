// The game a command line asks for: a mode button (by name or caption) and the option boxes,
// read the same way by the game program and the simulator.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "title/modModes.h"

struct GameChoice {
    std::optional<GameMode> mode;
    OptionFlags flags;
};

enum class ArgTaken { No, Yes, Bad };

// A mode button by its name or its caption, in any case: "cmdFinal", "FIN", "junk food".
std::optional<GameMode> ModeFromArgument(std::string_view text);

// Takes args[i] when it is "--mode NAME" or an option flag (--ouch, --anarchy, --solid,
// --pieces, --speed), moving i past a value it used. Bad leaves the reason in error.
ArgTaken TakeModeArg(const std::vector<std::string>& args, size_t& i, GameChoice& choice,
                     std::string& error);

// Sets the record as the title does: the option boxes first, then the mode button.
void ApplyChoice(const GameChoice& choice);

// For usage texts: what --mode takes, every mode with its caption, and the option flags.
std::string ModeArgsUsage();
