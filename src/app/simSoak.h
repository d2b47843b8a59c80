// quadrix-sim soak: the whole program, title and games, over every mode, both levels, every
// option set and many screens, with random input, checking the game's state at every pass.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs the command on the arguments after "soak". Writes progress to err every few seconds and
// one JSON summary to out. Returns 1 when a fault was seen, 2 on bad arguments.
int RunSoak(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
