#include "Mouse.h"

#include "Xdo.h"

#include <stdexcept>
#include <string>

namespace {

template <typename Act>
void act(const std::string& what, Act action)
{
    Xdo xdo;
    if (action(xdo.get()) != XDO_SUCCESS || xdo.display().syncAndCheckErrors())
        throw std::runtime_error("mouse: cannot " + what);
}

}  // namespace

void moveMouseTo(WindowId window, int x, int y)
{
    act("move", [&](const xdo_t* xdo) { return xdo_move_mouse_relative_to_window(xdo, window, x, y); });
}

void clickMouse(int button)
{
    act("click", [&](const xdo_t* xdo) { return xdo_click_window(xdo, CURRENTWINDOW, button); });
}

void pressMouse(int button)
{
    act("press", [&](const xdo_t* xdo) { return xdo_mouse_down(xdo, CURRENTWINDOW, button); });
}

void releaseMouse(int button)
{
    act("release", [&](const xdo_t* xdo) { return xdo_mouse_up(xdo, CURRENTWINDOW, button); });
}
