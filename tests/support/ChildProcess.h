// A program that a test starts and owns: started in a chosen folder with its standard output
// and standard error sent to files, waited for with a time limit, and killed (SIGKILL, by its
// own PID, never by name) if it is still running when the test lets go of it.
#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// How a process ended, or that it had not ended by the deadline.
struct ProcessEnd {
    bool ended = false;   // false: still running when the time was up (it has been killed since)
    bool exited = false;  // true: it returned from main or called exit, with `code`
    int code = -1;
    int signal = 0;  // the signal that ended it; 0 when it exited

    bool exitedWith(int expected) const { return ended && exited && code == expected; }
    // "exit status 0", "killed by signal 11 (Segmentation fault)", "still running after the time limit".
    std::string describe() const;
};

class ChildProcess {
public:
    // Starts `arguments[0]` (a path, or a name looked up in PATH) with the given arguments in
    // `workingDirectory`, in this process's environment changed by `environment`: "NAME=VALUE"
    // sets a variable, a bare "NAME" removes it. Throws std::runtime_error if the program
    // cannot be started.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                 const std::string& standardOutputPath, const std::string& standardErrorPath,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool isRunning();
    // Waits until the process ends or `limit` has passed; on timeout kills it and returns
    // an end with `ended` false.
    ProcessEnd waitForExit(std::chrono::milliseconds limit);
    // SIGKILL to our own child, then reaps it. Does nothing once it has ended.
    void kill();

private:
    bool reap(int options);

    pid_t pid_ = -1;
    std::optional<ProcessEnd> end_;
};

// The result of a short helper command (objdump, unzip, wine and the like).
struct CommandResult {
    ProcessEnd end;
    std::string output;  // what it wrote to standard output
    std::string errors;  // what it wrote to standard error

    bool succeeded() const { return end.exitedWith(0); }
    std::vector<std::string> outputLines() const;
};

// Runs a command found through PATH, in this process's environment changed by `environment` as
// ChildProcess does, collects its output and kills it if it runs past `limit`.
CommandResult runCommand(const std::vector<std::string>& arguments,
                         std::chrono::milliseconds limit = std::chrono::minutes(2),
                         const std::vector<std::string>& environment = {});
