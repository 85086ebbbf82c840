#include "Keyboard.h"

#include "Xdo.h"

#include <optional>
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

// Lets `send` type, into `window` once it has the focus, or into whatever has the focus.
template <typename Send>
void typeInto(std::optional<WindowId> window, const std::string& what, Send send)
{
    Xdo xdo;
    if (window)
        focusWith(xdo, *window);
    if (!send(xdo.get()) || xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot send " + what + (window ? " to window " + std::to_string(*window) : ""));
}

// One key's press or release, with no release or press to go with it.
void sendKey(std::optional<WindowId> window, const std::string& key, bool down)
{
    typeInto(window, key + (down ? " down" : " up"), [&](const xdo_t* xdo) {
        const auto send = down ? xdo_send_keysequence_window_down : xdo_send_keysequence_window_up;
        return send(xdo, CURRENTWINDOW, key.c_str(), keyDelay) == XDO_SUCCESS;
    });
}

// Presses and releases each key in turn, into `window` once it has the focus, or into whatever has it.
void typeKeys(std::optional<WindowId> window, const std::vector<std::string>& keys)
{
    typeInto(window, "keys", [&](const xdo_t* xdo) {
        for (const std::string& key : keys)
            if (xdo_send_keysequence_window(xdo, CURRENTWINDOW, key.c_str(), keyDelay) != XDO_SUCCESS)
                return false;
        return true;
    });
}

}  // namespace

void focus(WindowId window)
{
    Xdo xdo;
    focusWith(xdo, window);
}

void pressKeys(WindowId window, const std::vector<std::string>& keys)
{
    typeKeys(window, keys);
}

void pressKeysWhereFocused(const std::vector<std::string>& keys)
{
    typeKeys(std::nullopt, keys);
}

WindowId focusedWindow()
{
    XDisplay display;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display.get(), &focus, &revert);
    // PointerRoot (1) and None (0) are no window.
    return focus == PointerRoot ? 0 : focus;
}

void keyDown(WindowId window, const std::string& key)
{
    sendKey(window, key, true);
}

void keyUp(WindowId window, const std::string& key)
{
    sendKey(window, key, false);
}

void holdKey(const std::string& key)
{
    sendKey(std::nullopt, key, true);
}

void releaseKey(const std::string& key)
{
    sendKey(std::nullopt, key, false);
}
