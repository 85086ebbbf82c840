#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
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
        execve(argv[0], argv.data(), envp.data());
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

CommandResult runCommand(const std::vector<std::string>& arguments, std::chrono::milliseconds limit)
{
    if (arguments.empty())
        throw std::runtime_error("runCommand: no command given");
    std::vector<char*> argv = argumentPointers(arguments);
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("runCommand: no pipe");

    const pid_t pid = fork();
    if (pid == 0) {
        const int nullFd = open("/dev/null", O_RDONLY);
        if (nullFd < 0 || dup2(nullFd, 0) < 0 || dup2(outPipe[1], 1) < 0 || dup2(errPipe[1], 2) < 0)
            _exit(execFailedCode);
        execvp(argv[0], argv.data());
        _exit(execFailedCode);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        throw std::runtime_error("runCommand: fork failed");
    }

    CommandResult result;
    const Clock::time_point deadline = Clock::now() + limit;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.output, &result.errors};
    int openPipes = 2;
    bool timedOut = false;
    while (openPipes > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t count = read(fds[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --openPipes;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);

    int status = 0;
    if (timedOut)
        ::kill(pid, SIGKILL);
    // The command has closed its output; give it the rest of the time to exit.
    while (!timedOut && waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    if (timedOut) {
        waitpid(pid, &status, 0);
        result.end = ProcessEnd{};
    } else {
        result.end = endFromStatus(status);
    }
    return result;
}
