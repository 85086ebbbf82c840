#include "ChildProcess.h"

#include "Files.h"
#include "ScratchFolder.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds pollInterval(5);

// exec needs a NULL-terminated array of C strings; built before fork, since the child
// may only make async-signal-safe calls.
std::vector<char*> argumentPointers(const std::vector<std::string>& arguments)
{
    std::vector<char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

std::string nameOf(const std::string& variable)
{
    return variable.substr(0, variable.find('='));
}

// This process's environment with `changes` applied; the changes come first, since getenv
// takes the first entry of a name.
std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> variables;
    for (const std::string& change : changes)
        if (change.find('=') != std::string::npos)
            variables.push_back(change);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string name = nameOf(*entry);
        bool changed = false;
        for (const std::string& change : changes)
            changed = changed || nameOf(change) == name;
        if (!changed)
            variables.emplace_back(*entry);
    }
    return variables;
}

ProcessEnd endFromStatus(int status)
{
    ProcessEnd end;
    end.ended = true;
    if (WIFEXITED(status)) {
        end.exited = true;
        end.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end.signal = WTERMSIG(status);
    }
    return end;
}

// In the child: the exit code that tells the parent exec failed.
constexpr int execFailedCode = 127;

}  // namespace

std::string ProcessEnd::describe() const
{
    if (!ended)
        return "still running after the time limit";
    if (exited)
        return "exit status " + std::to_string(code);
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                           const std::string& standardOutputPath, const std::string& standardErrorPath,
                           const std::vector<std::string>& environment)
{
    if (arguments.empty())
        throw std::runtime_error("ChildProcess: no program given");
    std::vector<char*> argv = argumentPointers(arguments);
    const std::vector<std::string> variables = changedEnvironment(environment);
    std::vector<char*> envp = argumentPointers(variables);
    const int outFd = open(standardOutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = open(standardErrorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (outFd < 0 || errFd < 0) {
        if (outFd >= 0)
            close(outFd);
        if (errFd >= 0)
            close(errFd);
        throw std::runtime_error("ChildProcess: cannot create the output files beside " + standardOutputPath);
    }
    pid_ = fork();
    if (pid_ == 0) {
        const int nullFd = open("/dev/null", O_RDONLY);
        if (chdir(workingDirectory.c_str()) != 0 || nullFd < 0 || dup2(nullFd, 0) < 0 || dup2(outFd, 1) < 0 ||
            dup2(errFd, 2) < 0)
            _exit(execFailedCode);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(execFailedCode);
    }
    close(outFd);
    close(errFd);
    if (pid_ < 0)
        throw std::runtime_error(std::string("ChildProcess: fork failed: ") + strerror(errno));
}

ChildProcess::~ChildProcess()
{
    kill();
}

bool ChildProcess::reap(int options)
{
    if (end_)
        return true;
    int status = 0;
    const pid_t result = waitpid(pid_, &status, options);
    if (result == pid_) {
        end_ = endFromStatus(status);
        return true;
    }
    return false;
}

bool ChildProcess::isRunning()
{
    return !reap(WNOHANG);
}

ProcessEnd ChildProcess::waitForExit(std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    while (!reap(WNOHANG)) {
        if (Clock::now() >= deadline) {
            kill();
            return ProcessEnd{};
        }
        std::this_thread::sleep_for(pollInterval);
    }
    return *end_;
}

void ChildProcess::kill()
{
    if (pid_ <= 0 || end_)
        return;
    ::kill(pid_, SIGKILL);
    reap(0);
}

std::vector<std::string> CommandResult::outputLines() const
{
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

CommandResult runCommand(const std::vector<std::string>& arguments, std::chrono::milliseconds limit,
                         const std::vector<std::string>& environment)
{
    const ScratchFolder folder("zorvex-command");
    const std::filesystem::path output = folder.path / "stdout.txt";
    const std::filesystem::path errors = folder.path / "stderr.txt";
    CommandResult result;
    result.end = ChildProcess(arguments, std::filesystem::current_path().string(), output.string(), errors.string(),
                              environment)
                     .waitForExit(limit);
    result.output = readText(output);
    result.errors = readText(errors);
    return result;
}
