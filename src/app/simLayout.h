// quadrix-sim layout: where the title screen puts its controls on a screen.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs the command on the arguments after "layout": one JSON object to out; on bad arguments
// the reason to err and 2.
int RunLayout(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
