// quadrix-sim play: a whole game on the headless back end, from the real set-up and loop.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs the command on the arguments after "play". Writes one JSON summary to out (and a JSON
// line per pass to the trace file); on bad arguments writes the reason to err and returns 2.
int RunPlay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// quadrix-sim replay FILE: plays a replay file back on the headless back end.
int RunReplay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
