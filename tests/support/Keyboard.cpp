#include "Keyboard.h"

#include "Xdo.h"

#include <stdexcept>

namespace {

// As the xdotool command waits between the keys of one sequence.
constexpr useconds_t keyDelay = 12000;

void focusWith(Xdo& xdo, WindowId window)
{
    if (xdo_focus_window(xdo.get(), window) != XDO_SUCCESS || xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot focus window " + std::to_string(window) + ": " + xdo.display().lastError());
    if (xdo_wait_for_window_focus(xdo.get(), window, 1) != XDO_SUCCESS)
        throw std::runtime_error("window " + std::to_string(window) + " never took the focus");
}

// Focuses the window, then lets `send` type into it.
template <typename Send>
void typeInto(WindowId window, const std::string& what, Send send)
{
    Xdo xdo;
    focusWith(xdo, window);
    if (!send(xdo.get()) || xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot send " + what + " to window " + std::to_string(window));
}

}  // namespace

void focus(WindowId window)
{
    Xdo xdo;
    focusWith(xdo, window);
}

void pressKeys(WindowId window, const std::vector<std::string>& keys)
{
    typeInto(window, "keys", [&](const xdo_t* xdo) {
        for (const std::string& key : keys)
            if (xdo_send_keysequence_window(xdo, CURRENTWINDOW, key.c_str(), keyDelay) != XDO_SUCCESS)
                return false;
        return true;
    });
}

void keyDown(WindowId window, const std::string& key)
{
    typeInto(window, key + " down", [&](const xdo_t* xdo) {
        return xdo_send_keysequence_window_down(xdo, CURRENTWINDOW, key.c_str(), keyDelay) == XDO_SUCCESS;
    });
}

void keyUp(WindowId window, const std::string& key)
{
    typeInto(window, key + " up", [&](const xdo_t* xdo) {
        return xdo_send_keysequence_window_up(xdo, CURRENTWINDOW, key.c_str(), keyDelay) == XDO_SUCCESS;
    });
}

void holdKey(const std::string& key)
{
    Xdo xdo;
    if (xdo_send_keysequence_window_down(xdo.get(), CURRENTWINDOW, key.c_str(), keyDelay) != XDO_SUCCESS ||
        xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot press " + key);
}

void releaseKey(const std::string& key)
{
    Xdo xdo;
    if (xdo_send_keysequence_window_up(xdo.get(), CURRENTWINDOW, key.c_str(), keyDelay) != XDO_SUCCESS ||
        xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot release " + key);
}
