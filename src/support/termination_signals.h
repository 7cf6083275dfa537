#pragma once

// The termination signals a program turns into an orderly end: SIGINT, SIGTERM and SIGHUP.
// Called once by a program's main; the core never installs a handler itself.

namespace tagwright {

// Gives each termination signal to handler, but only while its action is the default one (a
// SIGHUP that nohup ignores stays ignored). The action goes back to the default as the handler
// is called, so that the handler ends the process by raising the signal again.
void catchTerminationSignals(void (*handler)(int));

} // namespace tagwright
