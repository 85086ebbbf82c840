// The window search, on windows of the test's own: one titled the X11 way (WM_NAME), one the
// EWMH way alone (_NET_WM_NAME, as Wine titles its message box), one never shown.
// GoogleTest first: Xlib's macros (None, Bool) would clash with it.
#include <gtest/gtest.h>

#include "Poll.h"
#include "Windows.h"
#include "XDisplay.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstring>

using namespace std::chrono_literals;

namespace {

class WindowSearch : public ::testing::Test {
protected:
    Window makeWindow(const char* titleProperty, const char* title, bool shown = true)
    {
        const Window window = XCreateSimpleWindow(display.get(), DefaultRootWindow(display.get()), 0, 0, 40, 40, 0, 0, 0);
        XChangeProperty(display.get(), window, XInternAtom(display.get(), titleProperty, False),
                        XInternAtom(display.get(), "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
        if (shown)
            XMapWindow(display.get(), window);
        XSync(display.get(), False);
        return window;
    }

    // The window found for `pattern` once the server shows it, or nothing after a while.
    std::optional<WindowId> found(const std::string& pattern)
    {
        std::optional<WindowId> window;
        pollUntil(5000ms, [&] { return (window = findVisibleWindow(pattern)).has_value(); });
        return window;
    }

    XDisplay display;
};

}  // namespace

TEST_F(WindowSearch, FindsAWindowByEitherTitleProperty)
{
    const Window x11Titled = makeWindow("WM_NAME", "Titled the X11 way");
    const Window ewmhTitled = makeWindow("_NET_WM_NAME", "Titled the EWMH way \xc3\xa9");
    EXPECT_EQ(found("^Titled the X11 way$"), x11Titled);
    EXPECT_EQ(found("^Titled the EWMH way \xc3\xa9$"), ewmhTitled);
}

TEST_F(WindowSearch, PassesOverWindowsNotShownAndTitlesThatDoNotMatch)
{
    const Window shown = makeWindow("_NET_WM_NAME", "Shown");
    makeWindow("_NET_WM_NAME", "Hidden", false);
    ASSERT_EQ(found("^Shown$"), shown);
    EXPECT_EQ(findVisibleWindow("^Hidden$"), std::nullopt);
    EXPECT_EQ(findVisibleWindow("^Show$"), std::nullopt);
    EXPECT_THROW(findVisibleWindow("(unclosed"), std::invalid_argument);
}
