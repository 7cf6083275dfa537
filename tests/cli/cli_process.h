#pragma once

// Runs the real tagwright-cli as a process in a temporary folder of its own.

#include <string>
#include <vector>

namespace tagwright::testing {

struct CliResult
{
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs tagwright-cli with the arguments in the folder given, with TAGWRIGHT_DATA_DIR pointing at
// the project's data folder, and the folder's file .stdin (or nothing) on its standard input. Its stdout goes to stdoutPath when one is given (and is then not
// read back). Unprivileged, a run as root becomes one as the user nobody, so that file
// permissions apply.
CliResult runCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& stdoutPath = {}, bool unprivileged = false);

// tagwright-cli started as runCli starts it, left running while the test goes on.
class BackgroundCli
{
  public:
    BackgroundCli(const std::vector<std::string>& args, const std::string& folder);
    BackgroundCli(const BackgroundCli&) = delete;
    BackgroundCli& operator=(const BackgroundCli&) = delete;
    ~BackgroundCli(); // waits for the process, if finish() did not

    // Waits until the process has written text on stderr; false when it ended without.
    bool waitForStderr(const std::string& text) const;
    // Sends the process a signal.
    void sendSignal(int signalNumber) const;
    // Waits for the process to end.
    CliResult finish();

  private:
    std::string outPath_;
    std::string errPath_;
    int pid_ = -1;
};

} // namespace tagwright::testing
