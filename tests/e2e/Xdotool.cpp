#include "Xdotool.h"

#include "ChildProcess.h"

#include <sstream>
#include <stdexcept>

namespace {

const std::chrono::milliseconds commandLimit(5000);

CommandResult run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    CommandResult result = runCommand(command, commandLimit);
    // 127 with nothing said: our child couldn't start the program at all.
    if (result.end.exitedWith(127) && result.errors.empty())
        throw std::runtime_error("cannot run xdotool; is it installed?");
    return result;
}

std::string commandLine(const std::vector<std::string>& arguments)
{
    std::string line = "xdotool";
    for (const std::string& argument : arguments)
        line += " " + argument;
    return line;
}

void runOrThrow(const std::vector<std::string>& arguments)
{
    const CommandResult result = run(arguments);
    if (!result.succeeded())
        throw std::runtime_error(commandLine(arguments) + ": " + result.end.describe() + " " + result.errors);
}

std::vector<std::string> focused(WindowId window, std::vector<std::string> then)
{
    std::vector<std::string> arguments = {"windowfocus", "--sync", std::to_string(window)};
    arguments.insert(arguments.end(), then.begin(), then.end());
    return arguments;
}

}  // namespace

namespace xdotool {

std::optional<WindowId> findVisibleWindow(const std::string& titlePattern)
{
    const CommandResult result = run({"search", "--onlyvisible", "--name", titlePattern});
    // Exit status 1 with no output: nothing matches yet.
    std::istringstream lines(result.output);
    WindowId window = 0;
    if (result.succeeded() && lines >> window)
        return window;
    return std::nullopt;
}

WindowGeometry geometry(WindowId window)
{
    const std::vector<std::string> arguments = {"getwindowgeometry", "--shell", std::to_string(window)};
    const CommandResult result = run(arguments);
    if (!result.succeeded())
        throw std::runtime_error(commandLine(arguments) + ": " + result.end.describe() + " " + result.errors);
    // Lines such as "X=100", "WIDTH=600".
    WindowGeometry geometry;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = line.substr(0, equals);
        const int value = std::stoi(line.substr(equals + 1));
        if (name == "X")
            geometry.x = value;
        else if (name == "Y")
            geometry.y = value;
        else if (name == "WIDTH")
            geometry.width = value;
        else if (name == "HEIGHT")
            geometry.height = value;
    }
    return geometry;
}

void focus(WindowId window)
{
    runOrThrow(focused(window, {}));
}

void pressKeys(WindowId window, const std::vector<std::string>& keys)
{
    std::vector<std::string> then = {"key"};
    then.insert(then.end(), keys.begin(), keys.end());
    runOrThrow(focused(window, then));
}

void keyDown(WindowId window, const std::string& key)
{
    runOrThrow(focused(window, {"keydown", key}));
}

void keyUp(WindowId window, const std::string& key)
{
    runOrThrow(focused(window, {"keyup", key}));
}

void resize(WindowId window, int width, int height)
{
    runOrThrow({"windowsize", "--sync", std::to_string(window), std::to_string(width), std::to_string(height)});
}

}  // namespace xdotool
