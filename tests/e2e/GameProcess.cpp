#include "GameProcess.h"

#include "Poll.h"
#include "XDisplay.h"
#include "Windows.h"

#include <stdexcept>

namespace {

std::vector<std::string> launchArguments(const std::string& program)
{
    std::vector<std::string> arguments = gameLaunch().launcher;
    arguments.push_back(program);
    return arguments;
}

// A reset that is under way when we connect turns us away too; it is over in a moment.
std::unique_ptr<XDisplay> holdServer()
{
    std::unique_ptr<XDisplay> hold;
    pollUntil(std::chrono::milliseconds(3000), [&] {
        try {
            hold = std::make_unique<XDisplay>();
        } catch (const std::runtime_error&) {
        }
        return hold != nullptr;
    });
    if (!hold)
        throw std::runtime_error("cannot connect to the X server; is DISPLAY set?");
    return hold;
}

}  // namespace

GameProcess::GameProcess(const GameFolder& folder, const std::string& program,
                         const std::vector<std::string>& environment)
    : outputPath_(folder.logPath("stdout.txt").string()), errorPath_(folder.logPath("stderr.txt").string()),
      serverHold_(holdServer()), started_(std::chrono::steady_clock::now()),
      process_(std::make_unique<ChildProcess>(launchArguments(program), folder.workingDirectory().string(),
                                              outputPath_, errorPath_, environment))
{
}

GameProcess::~GameProcess() = default;

WindowId GameProcess::waitForWindow(std::chrono::milliseconds limit, const std::string& titlePattern)
{
    std::optional<WindowId> window;
    bool ended = false;
    pollUntil(
        limit,
        [&] {
            ended = !process_->isRunning();
            if (!ended)
                window = findVisibleWindow(titlePattern);
            return ended || window.has_value();
        },
        std::chrono::milliseconds(50));
    if (ended)
        throw std::runtime_error("the program ended (" + process_->waitForExit(std::chrono::milliseconds(0)).describe() +
                                 ") before showing a window titled " + titlePattern + "; stderr: " + standardError());
    if (!window)
        throw std::runtime_error("no window titled " + titlePattern + " appeared");
    return *window;
}
