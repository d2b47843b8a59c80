// The one way the program writes a file it keeps (settings, replays): a reader, or the next
// start after a crash or a power cut, sees the old file or the new one, never a part of either.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform {

// A temporary file beside path, written, flushed to disk, renamed over path, and the folder
// flushed so the rename itself survives a power cut. Missing folders are made (0700, as the
// user's config and data folders are). The file gets mode, less the umask. On failure the old
// file is as it was, nothing is left behind, and why names the step and the system's reason
// ("cannot create a file there: Permission denied").
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why,
                         mode_t mode = 0666);

// Called after the temporary file is complete and before it replaces the old file; returning
// false makes the write fail there. Tests use it to stand for a crash before the rename.
using BeforeRenameHook = bool (*)(const std::string& tempPath);
void SetBeforeRenameHook(BeforeRenameHook hook);

}  // namespace platform
