// Asking the program to end from outside: SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C,
// `systemctl stop`, `timeout`) and the session's own quit. The request is only noted here;
// each back end's event pump hands it to the window system, which ends every form's loop as
// the title's "Yes" does.
#pragma once

namespace platform {

// Installs the handlers (once; later calls do nothing). They only note the request.
void CatchQuitSignals();
// Notes a request as a signal would (the session's quit event).
void RequestQuit();
// Whether a request came; it stays for the rest of the run.
bool QuitRequested();
// Becomes readable once a request came (for a thread waiting on it); -1 before
// CatchQuitSignals.
int QuitDescriptor();
// Forgets a request (a test's clean slate).
void ForgetQuitRequest();
// For a helper thread, first thing: it takes no signal, so that they go to the program's own
// thread, whose loop acts on them.
void TakeNoSignals();

}  // namespace platform
