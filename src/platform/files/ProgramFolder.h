// The program's folder: where images/ and the other files the game reads are found.
#pragma once

#include <string>

namespace platform {

// The executable's folder, unless a folder was set; "." when the executable cannot be found.
std::string ProgramFolder();
// Points the program at another folder (tests and tools); empty goes back to the executable's.
void SetProgramFolder(const std::string& folder);

}  // namespace platform
