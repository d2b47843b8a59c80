// quadrix-sim settings: the settings record a mode button and the option boxes produce.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs the command on the arguments after "settings". Writes the record as one JSON object to
// out; on bad arguments writes the reason to err and returns 2.
int RunSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The whole settings record, keyed by field names, in declaration order.
std::string SettingsJson();
