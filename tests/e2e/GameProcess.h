// The real game, or a test program built from the game's start-up, running in a GameFolder
// with its standard output and standard error captured. The process is killed (by its PID)
// if it is still running when the object goes away.
//
// An X server resets itself whenever its last client disconnects, and turns away clients that
// connect during the reset; the helpers' own short-lived connections, or another server probing for
// a free display, can set one off just as the game connects. So the test holds a connection of
// its own from before the game starts until it has ended, and the server never resets under it.
#pragma once
#include "ChildProcess.h"
#include "Files.h"
#include "GameFolder.h"
#include "GameLaunch.h"
#include "WindowId.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class XDisplay;

// The game's window title, as an exact-match pattern for findVisibleWindow.
inline constexpr const char* gameWindowTitle = "^Zorvex_OOP$";

class GameProcess {
public:
    // Starts `program` (the game by default) of the test program's launch, with the folder as
    // its working directory and `environment` changed as ChildProcess does.
    explicit GameProcess(const GameFolder& folder, const std::string& program = gameLaunch().game,
                         const std::vector<std::string>& environment = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits for a viewable window whose title matches `titlePattern` (the game's own by
    // default). Throws std::runtime_error if it doesn't appear in time or the process ends first.
    WindowId waitForWindow(std::chrono::milliseconds limit = std::chrono::milliseconds(15000),
                           const std::string& titlePattern = gameWindowTitle);

    bool isRunning() { return process_->isRunning(); }
    ProcessEnd waitForExit(std::chrono::milliseconds limit) { return process_->waitForExit(limit); }
    std::chrono::steady_clock::duration runningFor() const { return std::chrono::steady_clock::now() - started_; }

    std::string standardOutput() const { return readText(outputPath_); }
    std::string standardError() const { return readText(errorPath_); }

private:
    std::string outputPath_;
    std::string errorPath_;
    std::unique_ptr<XDisplay> serverHold_;
    std::chrono::steady_clock::time_point started_;
    // Last, so that the game is ended before our hold on the server goes.
    std::unique_ptr<ChildProcess> process_;
};
