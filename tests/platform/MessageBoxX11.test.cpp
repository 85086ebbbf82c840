// The X11 message box, seen from outside: a child process shows the win message and this test
// finds its window, checks its properties and its picture, and dismisses it the way a player
// would (real key and pointer events through XTEST).
// GoogleTest first: Xlib's macros (None, Bool) would clash with it.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Files.h"
#include "Image.h"
#include "Keyboard.h"
#include "Mouse.h"
#include "PixelBox.h"
#include "Poll.h"
#include "ScratchFolder.h"
#include "Screenshot.h"
#include "Windows.h"
#include "XDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

const char* const winText = "Level 1 Complete\nThanks for playing!";

// ---- the child process ----

// The box program, its output kept in `folder`: DISPLAY set to `display`, or unset if that is
// null; `environment` adds NAME=VALUE entries for the child alone.
std::unique_ptr<ChildProcess> startBox(const ScratchFolder& folder, const char* display,
                                       const char* argument = nullptr, const std::vector<std::string>& environment = {})
{
    std::vector<std::string> arguments = {SHOW_MESSAGE_BOX_PATH};
    if (argument != nullptr)
        arguments.push_back(argument);
    std::vector<std::string> variables = environment;
    variables.push_back(display == nullptr ? "DISPLAY" : std::string("DISPLAY=") + display);
    return std::make_unique<ChildProcess>(arguments, folder.path.string(), (folder.path / "stdout.txt").string(),
                                          (folder.path / "stderr.txt").string(), variables);
}

// ---- the window, through Xlib ----

const milliseconds boxWait = 5000ms;

// There is no window manager under Xvfb, so the box is a window of its own; 0 while it isn't up.
Window findBox()
{
    return findVisibleWindow("^Zorvex$").value_or(0);
}

// ---- the picture ----

bool isBlue(Rgb c) { return c.b > 150 && c.r < 100 && c.g < 150; }
bool isWhite(Rgb c) { return c.r > 250 && c.g > 250 && c.b > 250; }
bool isDark(Rgb c) { return c.r < 90 && c.g < 90 && c.b < 90; }
// Between the text's near-black and the background's light grey: the edges of antialiased letters.
bool isGrey(Rgb c) { return !isDark(c) && c.r < 210 && c.g < 210 && c.b < 210; }
bool isInk(Rgb c) { return c.r < 225 || c.g < 225 || c.b < 225; }

template <typename Predicate>
PixelBox find(const Image& picture, int left, int top, int right, int bottom, Predicate match)
{
    PixelBox box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (match(picture.at(x, y)))
                box.add(x, y);
    return box;
}

// The icon: the blue pixels in the left third of the box.
PixelBox findIcon(const Image& picture)
{
    return find(picture, 0, 0, picture.width / 3, picture.height, isBlue);
}

// The focus ring: the blue pixels in the bottom-right quarter, where the OK button is.
PixelBox findFocusRing(const Image& picture)
{
    return find(picture, picture.width / 2, picture.height / 2, picture.width, picture.height, isBlue);
}

// Everything drawn right of the icon and above the OK button: the text.
PixelBox findText(const Image& picture, bool (*match)(Rgb) = isInk)
{
    return find(picture, findIcon(picture).right + 1, 0, picture.width, findFocusRing(picture).top - 4, match);
}

// The text lines: bands of rows with dark pixels, split by rows without.
int countLines(const Image& picture, const PixelBox& text)
{
    int lines = 0;
    for (int y = text.top, previous = 0; y <= text.bottom; ++y) {
        const int dark = find(picture, text.left, y, text.right + 1, y + 1, isDark).count > 0;
        lines += dark > previous;
        previous = dark;
    }
    return lines;
}

const char* const dejaVuDirectory = "/usr/share/fonts/truetype/dejavu";

// ---- the fixture: one box per test ----

class MessageBoxTest : public ::testing::Test {
protected:
    // The child's environment entry for a fontconfig configuration of its own, whatever the machine's:
    // `fontDirectory` as its only fonts, or no font at all if that is empty.
    std::string fontConfig(const std::string& fontDirectory)
    {
        const std::string fonts = fontDirectory.empty() ? "" : "<dir>" + fontDirectory + "</dir>";
        const std::string sans = "<alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer>";
        return "FONTCONFIG_FILE=" + scratch.write("fonts.conf", "<fontconfig>" + fonts + sans + "</alias><cachedir>" +
                                                                    scratch.path.string() +
                                                                    "/cache</cachedir></fontconfig>\n").string();
    }

    // Starts the box and waits until it is up, focused and drawn.
    void showBox(const char* argument = nullptr, const std::vector<std::string>& environment = {})
    {
        const Clock::time_point start = Clock::now();
        child = startBox(scratch, std::getenv("DISPLAY"), argument, environment);
        ASSERT_TRUE(pollUntil(boxWait, [&] { return (window = findBox()) != 0; })) << "no window named Zorvex";
        ASSERT_TRUE(pollUntil(boxWait, [&] { return focusedWindow() == window; })) << "the box did not take the focus";
        ASSERT_TRUE(pollUntil(boxWait, [&] { return findIcon(captureWindow(window)).count > 0; })) << "never drawn";
        appearTime = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    // True if the box is still up once it has handled every event sent to it so far. The X
    // server hands a client its events in order, so the box has handled them all once it has
    // redrawn after an exposure made now: clearing the window wipes the icon out and exposes it.
    bool stillUpAfterHandlingAllSent()
    {
        XClearArea(display, window, 0, 0, 0, 0, True);
        XSync(display, False);
        const bool redrawn =
            pollUntil(boxWait, [&] { return !child->isRunning() || findIcon(captureWindow(window)).count > 0; });
        return redrawn && child->isRunning() && findBox() == window;
    }

    // Window-relative pointer motion, so the test does not depend on where the box was placed.
    void clickAt(int x, int y, int button = 1)
    {
        moveMouseTo(window, x, y);
        clickMouse(button);
    }

    void expectDismissedBy(const std::function<void()>& action, const std::string& what)
    {
        const Clock::time_point start = Clock::now();
        ASSERT_NO_THROW(action()) << what;
        const ProcessEnd end = child->waitForExit(2000ms);
        EXPECT_TRUE(end.exitedWith(0)) << "after " << what << ": " << end.describe();
        closeTime = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    void expectDismissedByKey(const std::string& key)
    {
        expectDismissedBy([&] { pressKeys(window, {key}); }, key);
    }

    // The box's window may vanish between two requests; the connection records that as an
    // error that fails a check, instead of ending the program.
    XDisplay connection;
    Display* display = connection.get();
    ScratchFolder scratch{"zorvex-box"};
    std::unique_ptr<ChildProcess> child;
    Window window = 0;
    milliseconds appearTime{0};
    milliseconds closeTime{0};
};

TEST_F(MessageBoxTest, IsACentredFixedSizeDialogTitledZorvex)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_GE(attributes.width, 320);
    EXPECT_GE(attributes.height, 140);
    EXPECT_LE(attributes.width, 600);
    EXPECT_LE(attributes.height, 300);

    const WindowGeometry place = windowGeometry(window);
    const int screen = DefaultScreen(display);
    EXPECT_NEAR(place.x, (DisplayWidth(display, screen) - attributes.width) / 2, 1);
    EXPECT_NEAR(place.y, (DisplayHeight(display, screen) - attributes.height) / 2, 1);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, window, &hints, &supplied));
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(hints.min_width, attributes.width);
    EXPECT_EQ(hints.max_width, attributes.width);
    EXPECT_EQ(hints.min_height, attributes.height);
    EXPECT_EQ(hints.max_height, attributes.height);

    EXPECT_TRUE(listsAtom(window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
    EXPECT_TRUE(listsAtom(window, "WM_PROTOCOLS", "WM_DELETE_WINDOW"));
    const WindowProperty title = windowProperty(window, "_NET_WM_NAME");
    EXPECT_EQ(title.text(), "Zorvex");
    EXPECT_EQ(title.type, "UTF8_STRING");
}

TEST_F(MessageBoxTest, ShowsTheIconTheTextAndTheFocusedButton)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const Image picture = captureWindow(window);

    const PixelBox disc = findIcon(picture);
    EXPECT_NEAR(disc.width(), 40, 4);
    EXPECT_NEAR(disc.height(), 40, 4);
    EXPECT_GT(disc.count, 800) << "a filled disc of about 1250 pixels, less the i";
    const PixelBox mark = find(picture, disc.left, disc.top, disc.right + 1, disc.bottom + 1, isWhite);
    EXPECT_GT(mark.count, 40) << "a white i inside the disc";
    EXPECT_NEAR((mark.left + mark.right) / 2, (disc.left + disc.right) / 2, 2);
    EXPECT_GT(mark.height(), 20);

    const PixelBox ring = findFocusRing(picture);
    EXPECT_GT(ring.count, 200);
    EXPECT_NEAR(ring.width(), 76, 6);
    EXPECT_NEAR(ring.height(), 24, 6);
    EXPECT_LT(picture.width - ring.right, 40) << "OK sits at the right";
    EXPECT_LT(picture.height - ring.bottom, 40) << "OK sits at the bottom";

    const PixelBox text = find(picture, disc.right + 1, 0, picture.width, ring.top, isDark);
    EXPECT_GT(text.count, 100) << "two lines of dark text beside the icon";
    EXPECT_GT(text.width(), 100);
    EXPECT_LT(text.top, disc.bottom);
    EXPECT_GT(text.bottom, disc.top);
    const PixelBox label = find(picture, ring.left, ring.top, ring.right + 1, ring.bottom + 1, isDark);
    EXPECT_GT(label.count, 10) << "the OK label";
}

TEST_F(MessageBoxTest, RepaintsWhenExposed)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    // Paint the window over from here, then have the server expose it again.
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, DefaultScreen(display)));
    XFillRectangle(display, window, gc, 0, 0, 2000, 2000);
    XFreeGC(display, gc);
    XSync(display, False);
    ASSERT_EQ(findIcon(captureWindow(window)).count, 0);
    XClearArea(display, window, 0, 0, 0, 0, True);
    XSync(display, False);
    EXPECT_TRUE(pollUntil(2000ms, [&] { return findIcon(captureWindow(window)).count > 800; }));
}

class DismissKeyTest : public MessageBoxTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DismissKeyTest, KeyDismissesTheBox)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    expectDismissedByKey(GetParam());
    std::printf("appeared after %lld ms, closed %lld ms after the key\n",
                static_cast<long long>(appearTime.count()), static_cast<long long>(closeTime.count()));
}

INSTANTIATE_TEST_SUITE_P(Keys, DismissKeyTest, ::testing::Values("Return", "KP_Enter", "space", "Escape"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(MessageBoxTest, OtherKeysDoNotDismissIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    ASSERT_NO_THROW(pressKeys(window, {"a", "Tab", "Left", "o"}));
    EXPECT_TRUE(stillUpAfterHandlingAllSent());
    expectDismissedByKey("Return");
}

// The presses of `keycode` that reached `window` since the last call. X hands a key event to every
// client that selected it on the window, so this counts the presses the box gets.
int keyPressesSeen(Display* display, Window window, KeyCode keycode)
{
    int presses = 0;
    XEvent event{};
    while (XCheckWindowEvent(display, window, KeyPressMask, &event))
        presses += event.xkey.keycode == keycode;
    return presses;
}

// Space still held from the game when the box opens: neither its auto-repeat nor its release
// dismisses the box; a new press does.
TEST_F(MessageBoxTest, ASpaceHeldSinceBeforeItOpenedDoesNotDismissIt)
{
    struct ReleaseSpace {
        ~ReleaseSpace()
        {
            try {
                releaseKey("space");
            } catch (const std::runtime_error&) {
            }
        }
    } releaseSpaceWhateverHappens;
    ASSERT_NO_THROW(holdKey("space"));
    ASSERT_NO_FATAL_FAILURE(showBox());
    const KeyCode space = XKeysymToKeycode(display, XK_space);
    XSelectInput(display, window, KeyPressMask);
    int repeats = 0;
    ASSERT_TRUE(pollUntil(boxWait, [&] { return (repeats += keyPressesSeen(display, window, space)) >= 3; }))
        << "the server does not repeat a held key";
    EXPECT_TRUE(stillUpAfterHandlingAllSent()) << "dismissed by the repeats of a key held before it opened";
    ASSERT_NO_THROW(releaseKey("space"));
    EXPECT_TRUE(stillUpAfterHandlingAllSent()) << "dismissed by the release of a key held before it opened";
    expectDismissedByKey("space");
}

TEST_F(MessageBoxTest, ClickOnOkDismissesIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const PixelBox ring = findFocusRing(captureWindow(window));
    ASSERT_GT(ring.count, 0);
    expectDismissedBy([&] { clickAt((ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2); }, "a click on OK");
}

TEST_F(MessageBoxTest, ClicksBesideOkDoNotDismissIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const PixelBox ring = findFocusRing(captureWindow(window));
    ASSERT_GT(ring.count, 0);
    const int okX = (ring.left + ring.right) / 2;
    const int okY = (ring.top + ring.bottom) / 2;
    // A click on the text, a right click on OK, and a press on OK released beside it.
    ASSERT_NO_THROW(clickAt(120, 40));
    ASSERT_NO_THROW(clickAt(okX, okY, 3));
    ASSERT_NO_THROW({
        moveMouseTo(window, okX, okY);
        pressMouse(1);
        moveMouseTo(window, 20, okY);
        releaseMouse(1);
    });
    EXPECT_TRUE(stillUpAfterHandlingAllSent());
    expectDismissedBy([&] { clickAt(okX, okY); }, "a click on OK");
}

TEST_F(MessageBoxTest, WindowManagerCloseDismissesIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    expectDismissedBy([&] { requestClose(window); }, "a close request");
}

TEST_F(MessageBoxTest, ClosesItsWindowAndConnectionBeforeReturning)
{
    ASSERT_NO_FATAL_FAILURE(showBox("--linger"));
    ASSERT_NO_THROW(pressKeys(window, {"Escape"}));
    const std::filesystem::path output = scratch.path / "stdout.txt";
    EXPECT_TRUE(pollUntil(3000ms, [&] { return readText(output) == "returned\n"; }))
        << "the call did not return, or left its connection open: " << readText(output);
    // The child is still alive here, so its window cannot have gone with its connection.
    XWindowAttributes attributes{};
    EXPECT_FALSE(XGetWindowAttributes(display, window, &attributes)) << "the window still exists";
    EXPECT_EQ(findBox(), 0u);
    const ProcessEnd end = child->waitForExit(3000ms);
    EXPECT_TRUE(end.exitedWith(0)) << end.describe();
}

bool serverHasFont(Display* display, const char* pattern)
{
    XFontStruct* font = XLoadQueryFont(display, pattern);
    if (font != nullptr)
        XFreeFont(display, font);
    return font != nullptr;
}

// Narrows the X server's font path for as long as it lives, whatever fonts the machine has: to
// the server's built-in fonts alone ("fixed" but no proportional font), or to an empty directory
// (no font at all).
class FontPath {
public:
    FontPath(Display* display, bool keepBuiltIns) : display(display)
    {
        oldPath = XGetFontPath(display, &oldCount);
        std::string path = "built-ins";
        if (!keepBuiltIns) {
            emptyDirectory.write("fonts.dir", "0\n");
            path = emptyDirectory.path.string();
        }
        char* newPath[] = {&path[0]};
        XSetFontPath(display, newPath, 1);
    }
    ~FontPath()
    {
        XSetFontPath(display, oldPath, oldCount);
        XFreeFontPath(oldPath);
    }

private:
    Display* display = nullptr;
    ScratchFolder emptyDirectory{"zorvex-nofonts"};
    char** oldPath = nullptr;
    int oldCount = 0;
};

const char* const proportionalFonts = "-*-*-medium-r-normal--14-*-*-*-p-*-iso8859-1";

// Without an Xft font or a proportional core font the box falls back to "fixed" and still shows its text.
TEST_F(MessageBoxTest, FallsBackToTheFixedFont)
{
    FontPath builtInsOnly(display, true);
    ASSERT_FALSE(serverHasFont(display, proportionalFonts)) << "could not take the other fonts away";
    ASSERT_TRUE(serverHasFont(display, "fixed"));
    ASSERT_NO_FATAL_FAILURE(showBox(nullptr, {fontConfig("")}));
    const Image picture = captureWindow(window);
    const PixelBox disc = findIcon(picture);
    EXPECT_GT(find(picture, disc.right + 1, 0, picture.width, picture.height / 2, isDark).count, 100);
    EXPECT_EQ(findText(picture, isGrey).count, 0) << "antialiased: drawn by Xft, not in the core font";
    expectDismissedByKey("Return");
}

// Without any font the box still comes up and works; it just has no text.
TEST_F(MessageBoxTest, WorksWithoutAnyFont)
{
    FontPath noFonts(display, false);
    ASSERT_FALSE(serverHasFont(display, "fixed")) << "could not take the fonts away from the X server";
    ASSERT_NO_FATAL_FAILURE(showBox(nullptr, {fontConfig("")}));
    const Image picture = captureWindow(window);
    EXPECT_GT(findIcon(picture).count, 800);
    EXPECT_GT(findFocusRing(picture).count, 200);
    EXPECT_EQ(find(picture, 0, 0, picture.width, picture.height, isDark).count, 0) << "no text without a font";
    expectDismissedByKey("Return");
}

// Antialiased text in the box, scaled by Xft.dpi, and the icon and OK with it; the box grows to
// hold a long text at either size.
TEST_F(MessageBoxTest, DrawsAntialiasedTextAtXftDpiThatFitsTheBox)
{
    ASSERT_TRUE(std::filesystem::exists(dejaVuDirectory)) << "needs fonts-dejavu-core";
    PixelBox text[2];
    PixelBox icon[2];
    PixelBox ring[2];
    for (int i = 0; i < 2; ++i) {
        const int scale = i + 1;
        // XENVIRONMENT names a resource file that Xlib lays over the server's resources.
        const std::string resources = i == 0 ? "Xft.dpi:\t96\n" : "Xft.dpi:\t192\n";
        const std::string xResources = "XENVIRONMENT=" + scratch.write("Xresources", resources).string();
        const char* const longText = "Level 1 Complete\nThanks for playing! Now try it once more, from the start.\nBye";
        ASSERT_NO_FATAL_FAILURE(showBox(longText, {fontConfig(dejaVuDirectory), xResources}));
        const Image picture = captureWindow(window);
        text[i] = findText(picture);
        icon[i] = findIcon(picture);
        ring[i] = findFocusRing(picture);
        EXPECT_GT(findText(picture, isGrey).count, 100) << resources << "no antialiased edges";
        EXPECT_EQ(countLines(picture, text[i]), 3) << resources;
        EXPECT_GT(picture.height - text[i].bottom, 40 * scale) << resources << "the text runs into OK";
        EXPECT_GE(picture.width - text[i].right, 8 * scale) << resources << "the text runs into the right edge";
        EXPECT_LE(picture.width - text[i].right, 32 * scale) << resources << "not sized to the text";
        expectDismissedByKey("Return");
    }
    EXPECT_NEAR(static_cast<double>(text[1].height()) / text[0].height(), 2.0, 0.25);
    EXPECT_NEAR(static_cast<double>(icon[1].width()) / icon[0].width(), 2.0, 0.1) << "the icon";
    EXPECT_NEAR(static_cast<double>(ring[1].width()) / ring[0].width(), 2.0, 0.1) << "OK";
    EXPECT_NEAR(static_cast<double>(ring[1].height()) / ring[0].height(), 2.0, 0.1) << "OK";
}

// With no X server to talk to, the message goes to standard error and the call returns at once.
class NoDisplayTest : public ::testing::TestWithParam<bool> {};

TEST_P(NoDisplayTest, WritesTheMessageToStandardError)
{
    const ScratchFolder folder("zorvex-box");
    // It returns without waiting for anyone: no input ever comes.
    const ProcessEnd end = startBox(folder, GetParam() ? nullptr : ":9876")->waitForExit(20000ms);
    const std::string errors = readText(folder.path / "stderr.txt");
    const std::string output = readText(folder.path / "stdout.txt");
    EXPECT_TRUE(end.exitedWith(0)) << end.describe();
    EXPECT_EQ(errors, std::string("Zorvex: ") + winText + "\n");
    EXPECT_EQ(output, "");
}

INSTANTIATE_TEST_SUITE_P(Display, NoDisplayTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Unset" : "Unreachable";
                         });

}  // namespace
