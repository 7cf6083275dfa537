#include "cli_process.h"

#include "../support/temp_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace tagwright::testing {

namespace {

std::string takeContent(const std::string& path)
{
    std::string content;
    {
        std::ifstream in(path, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(path.c_str());
    return content;
}

// The program and its data where the user nobody can reach them: the clone may lie in a folder
// that only root can enter.
struct ReachableProgram {
    test::TempFolder folder;
    std::string program = folder.path("tagwright-cli");
    std::string dataDir = folder.path("data");

    ReachableProgram()
    {
        namespace fs = std::filesystem;
        fs::permissions(folder.path(), fs::perms(0755));
        fs::copy_file(TAGWRIGHT_CLI_PATH, program);
        fs::copy(TAGWRIGHT_TEST_DATA_DIR, dataDir, fs::copy_options::recursive);
    }
};

const ReachableProgram& reachableProgram()
{
    static const ReachableProgram copy;
    return copy;
}

} // namespace

namespace {

// Starts tagwright-cli with its stdout and stderr going to those files.
pid_t startCli(const std::vector<std::string>& args, const std::string& folder,
               const std::string& outPath, const std::string& errPath, bool unprivileged)
{
    const bool dropsRoot = unprivileged && geteuid() == 0;
    std::vector<std::string> argv;
    if (dropsRoot)
        argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                reachableProgram().program};
    else
        argv = {TAGWRIGHT_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    for (std::string& arg : argv)
        argp.push_back(arg.data());
    argp.push_back(nullptr);

    std::vector<std::string> environment = {
        "TAGWRIGHT_DATA_DIR=" + (dropsRoot ? reachableProgram().dataDir : std::string(TAGWRIGHT_TEST_DATA_DIR))};
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (!std::string_view(*variable).starts_with("TAGWRIGHT_DATA_DIR="))
            environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string inPath = folder + "/.stdin";
    posix_spawn_file_actions_addopen(
        &actions, 0, ::access(inPath.c_str(), F_OK) == 0 ? inPath.c_str() : "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

int exitStatusOf(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

CliResult runCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& stdoutPath, bool unprivileged)
{
    const std::string outPath = stdoutPath.empty() ? folder + "/.stdout" : stdoutPath;
    const std::string errPath = folder + "/.stderr";
    CliResult result;
    result.exitStatus = exitStatusOf(startCli(args, folder, outPath, errPath, unprivileged));
    if (stdoutPath.empty())
        result.out = takeContent(outPath);
    result.err = takeContent(errPath);
    return result;
}

BackgroundCli::BackgroundCli(const std::vector<std::string>& args, const std::string& folder)
    : outPath_(folder + "/.background-stdout"), errPath_(folder + "/.background-stderr"),
      pid_(startCli(args, folder, outPath_, errPath_, false))
{
}

BackgroundCli::~BackgroundCli()
{
    if (pid_ > 0)
        exitStatusOf(pid_);
}

bool BackgroundCli::waitForStderr(const std::string& text) const
{
    for (;;) {
        // Whether the process ended is asked first, so that its last words are read after.
        siginfo_t info{};
        const bool ended = waitid(P_PID, static_cast<id_t>(pid_), &info,
                                  WEXITED | WNOHANG | WNOWAIT) != 0 ||
                           info.si_pid != 0;
        std::ifstream in(errPath_, std::ios::binary);
        const std::string err{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (err.find(text) != std::string::npos)
            return true;
        if (ended)
            return false;
        usleep(10'000);
    }
}

void BackgroundCli::sendSignal(int signalNumber) const
{
    ::kill(pid_, signalNumber);
}

CliResult BackgroundCli::finish()
{
    CliResult result;
    result.exitStatus = exitStatusOf(pid_);
    pid_ = -1;
    result.out = takeContent(outPath_);
    result.err = takeContent(errPath_);
    return result;
}

} // namespace tagwright::testing
