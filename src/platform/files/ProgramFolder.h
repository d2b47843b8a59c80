// The program's folder: where images/ and the other files the game reads are found.
#pragma once

#include <string>

namespace platform {

// The folder for a program in exeDir: exeDir itself where images/ sits beside the program (the
// build tree), else exeDir/../share/quadrix where it has images/ (an installed program), else
// exeDir, so that what is missing is named where it was looked for first.
std::string ProgramFolderFor(const std::string& exeDir);
// That folder for the executable, unless a folder was set; "." when the executable cannot be
// found.
std::string ProgramFolder();
// Points the program at another folder (tests and tools); empty goes back to the executable's.
void SetProgramFolder(const std::string& folder);

}  // namespace platform
