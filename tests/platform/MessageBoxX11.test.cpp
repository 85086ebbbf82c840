// The X11 message box, seen from outside: a child process shows the win message and this test
// finds its window, checks its properties and its picture, and dismisses it the way a player
// would (xdotool sends real key and pointer events through XTEST).
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const char* const winText = "Level 1 Complete\nThanks for playing!";

// ---- the child process ----

struct Child {
    pid_t pid = -1;
    int stdoutFd = -1;  // read ends of the child's standard output and error
    int stderrFd = -1;
};

// Starts the box program with DISPLAY set to `display`, or without DISPLAY if that is null;
// `environment` adds NAME=VALUE entries for the child alone.
Child spawnBox(const char* display, const char* argument = nullptr, const std::vector<std::string>& environment = {})
{
    std::vector<std::string> env(environment);  // first, since getenv takes the first of a name
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0)
            env.emplace_back(*entry);
    if (display != nullptr)
        env.push_back(std::string("DISPLAY=") + display);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);

    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return Child{};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    char program[] = SHOW_MESSAGE_BOX_PATH;
    std::string extra = argument != nullptr ? argument : "";
    char* argv[] = {program, argument != nullptr ? &extra[0] : nullptr, nullptr};
    Child child;
    if (posix_spawn(&child.pid, program, &actions, nullptr, argv, envp.data()) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    child.stdoutFd = outPipe[0];
    child.stderrFd = errPipe[0];
    return child;
}

// How the child ended within `timeout`: "exit 0" is the one good answer.
std::string waitForExit(Child& child, milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.pid = -1;
            if (WIFSIGNALED(status))
                return "signal " + std::to_string(WTERMSIG(status));
            return "exit " + std::to_string(WEXITSTATUS(status));
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return "still running";
}

// Reads until end of file, or until the first line end when `lineOnly`; gives up after `timeout`.
std::string readAll(int fd, int timeoutSeconds = 2, bool lineOnly = false)
{
    std::string out;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    char c = 0;
    while (Clock::now() < deadline) {
        pollfd request{fd, POLLIN, 0};
        if (poll(&request, 1, 50) <= 0)
            continue;
        if (read(fd, &c, 1) != 1 || (lineOnly && c == '\n'))
            break;
        out += c;
    }
    return out;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// ---- the window, through Xlib ----

template <typename Predicate>
bool waitFor(Predicate done, milliseconds timeout = milliseconds(5000))
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

bool isViewableBox(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    char* name = nullptr;
    const bool match = XFetchName(display, window, &name) && name != nullptr && std::strcmp(name, "Zorvex") == 0;
    if (name != nullptr)
        XFree(name);
    return match;
}

// There is no window manager under Xvfb, so the box is a child of the root window.
Window findBox(Display* display)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i)
            if (isViewableBox(display, children[i]))
                found = children[i];
        if (children != nullptr)
            XFree(children);
    }
    return found;
}

std::vector<unsigned char> property(Display* display, Window window, const char* name, Atom* type, int* format)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType,
                           &actualType, &actualFormat, &count, &remaining, &data) == Success && data != nullptr) {
        // Xlib hands format-32 items over as longs.
        const std::size_t itemSize = actualFormat == 32 ? sizeof(long) : static_cast<std::size_t>(actualFormat / 8);
        bytes.assign(data, data + count * itemSize);
        XFree(data);
    }
    *type = actualType;
    *format = actualFormat;
    return bytes;
}

std::vector<long> longsProperty(Display* display, Window window, const char* name)
{
    Atom type = 0;
    int format = 0;
    const std::vector<unsigned char> bytes = property(display, window, name, &type, &format);
    std::vector<long> values(format == 32 ? bytes.size() / sizeof(long) : 0);
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(long));
    return values;
}

bool hasAtom(Display* display, Window window, const char* name, const char* atom)
{
    const Atom wanted = XInternAtom(display, atom, False);
    for (long value : longsProperty(display, window, name))
        if (static_cast<Atom>(value) == wanted)
            return true;
    return false;
}

void sendDeleteWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// ---- the picture ----

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive; empty while right < left
    int count = 0;
    void add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
        ++count;
    }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<int>(value * 255 / (mask >> shift));
}

Picture screenshot(Display* display, Window window)
{
    Picture picture;
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.pixels.push_back(Rgb{channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                                         channel(pixel, image->blue_mask)});
        }
    XDestroyImage(image);
    return picture;
}

bool isBlue(const Rgb& c) { return c.b > 150 && c.r < 100 && c.g < 150; }
bool isWhite(const Rgb& c) { return c.r > 250 && c.g > 250 && c.b > 250; }
bool isDark(const Rgb& c) { return c.r < 90 && c.g < 90 && c.b < 90; }
// Between the text's near-black and the background's light grey: the edges of antialiased letters.
bool isGrey(const Rgb& c) { return !isDark(c) && c.r < 210 && c.g < 210 && c.b < 210; }
bool isInk(const Rgb& c) { return c.r < 225 || c.g < 225 || c.b < 225; }

template <typename Predicate>
Box find(const Picture& picture, int left, int top, int right, int bottom, Predicate match)
{
    Box box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (match(picture.at(x, y)))
                box.add(x, y);
    return box;
}

// The icon: the blue pixels in the left third of the box.
Box findIcon(const Picture& picture)
{
    return find(picture, 0, 0, picture.width / 3, picture.height, isBlue);
}

// The focus ring: the blue pixels in the bottom-right quarter, where the OK button is.
Box findFocusRing(const Picture& picture)
{
    return find(picture, picture.width / 2, picture.height / 2, picture.width, picture.height, isBlue);
}

// Everything drawn right of the icon and above the OK button: the text.
Box findText(const Picture& picture, bool (*match)(const Rgb&) = isInk)
{
    return find(picture, findIcon(picture).right + 1, 0, picture.width, findFocusRing(picture).top - 4, match);
}

// The text lines: bands of rows with dark pixels, split by rows without.
int countLines(const Picture& picture, const Box& text)
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
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "these tests need an X server";
        ASSERT_NE(mkdtemp(scratch), nullptr);
        // The box's window may vanish between two requests; that must fail a check, not end the program.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }

    void TearDown() override
    {
        if (child.pid > 0) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, nullptr, 0);
        }
        for (int fd : {child.stdoutFd, child.stderrFd})
            if (fd >= 0)
                close(fd);
        if (display != nullptr)
            XCloseDisplay(display);
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }

    // Writes a file into the test's own folder and returns its path.
    std::string scratchFile(const std::string& name, const std::string& content)
    {
        const std::string path = std::string(scratch) + "/" + name;
        std::ofstream(path) << content;
        return path;
    }

    // The child's environment entry for a fontconfig configuration of its own, whatever the machine's:
    // `fontDirectory` as its only fonts, or no font at all if that is empty.
    std::string fontConfig(const std::string& fontDirectory)
    {
        const std::string fonts = fontDirectory.empty() ? "" : "<dir>" + fontDirectory + "</dir>";
        const std::string sans = "<alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer>";
        return "FONTCONFIG_FILE=" + scratchFile("fonts.conf", "<fontconfig>" + fonts + sans + "</alias><cachedir>" +
                                                                  scratch + "/cache</cachedir></fontconfig>\n");
    }

    // Starts the box and waits until it is up, focused and drawn.
    void showBox(const char* argument = nullptr, const std::vector<std::string>& environment = {})
    {
        const Clock::time_point start = Clock::now();
        child = spawnBox(std::getenv("DISPLAY"), argument, environment);
        ASSERT_GT(child.pid, 0);
        ASSERT_TRUE(waitFor([&] { return (window = findBox(display)) != 0; })) << "no window named Zorvex";
        ASSERT_TRUE(waitFor([&] { return focusedWindow() == window; })) << "the box did not take the focus";
        ASSERT_TRUE(waitFor([&] { return findIcon(screenshot(display, window)).count > 0; })) << "never drawn";
        appearTime = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    Window focusedWindow()
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        return focus;
    }

    // True if the box is still up once it has handled every event sent to it so far. The X
    // server hands a client its events in order, so the box has handled them all once it has
    // redrawn after an exposure made now: clearing the window wipes the icon out and exposes it.
    bool stillUpAfterHandlingAllSent()
    {
        XClearArea(display, window, 0, 0, 0, 0, True);
        XSync(display, False);
        const bool redrawn = waitFor([&] {
            int status = 0;
            return waitpid(child.pid, &status, WNOHANG) != 0 || findIcon(screenshot(display, window)).count > 0;
        });
        int status = 0;
        return redrawn && waitpid(child.pid, &status, WNOHANG) == 0 && findBox(display) == window;
    }

    std::string xdotool(const std::string& arguments) { return "xdotool " + arguments + " >/dev/null 2>&1"; }

    // Window-relative pointer motion, so the test does not depend on where the box was placed.
    std::string moveTo(int x, int y)
    {
        return "mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " + std::to_string(y);
    }

    void expectDismissedBy(const std::string& command)
    {
        const Clock::time_point start = Clock::now();
        ASSERT_TRUE(run(xdotool(command))) << command;
        EXPECT_EQ(waitForExit(child, milliseconds(2000)), "exit 0") << "after: " << command;
        closeTime = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    Display* display = nullptr;
    Child child;
    Window window = 0;
    milliseconds appearTime{0};
    milliseconds closeTime{0};
    char scratch[32] = "/tmp/zorvex-fontconfig-XXXXXX";
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

    int rootX = 0, rootY = 0;
    Window unused = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &unused);
    const int screen = DefaultScreen(display);
    EXPECT_NEAR(rootX, (DisplayWidth(display, screen) - attributes.width) / 2, 1);
    EXPECT_NEAR(rootY, (DisplayHeight(display, screen) - attributes.height) / 2, 1);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, window, &hints, &supplied));
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(hints.min_width, attributes.width);
    EXPECT_EQ(hints.max_width, attributes.width);
    EXPECT_EQ(hints.min_height, attributes.height);
    EXPECT_EQ(hints.max_height, attributes.height);

    EXPECT_TRUE(hasAtom(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
    EXPECT_TRUE(hasAtom(display, window, "WM_PROTOCOLS", "WM_DELETE_WINDOW"));
    Atom type = 0;
    int format = 0;
    const std::vector<unsigned char> title = property(display, window, "_NET_WM_NAME", &type, &format);
    EXPECT_EQ(std::string(title.begin(), title.end()), "Zorvex");
    EXPECT_EQ(type, XInternAtom(display, "UTF8_STRING", False));
}

TEST_F(MessageBoxTest, ShowsTheIconTheTextAndTheFocusedButton)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const Picture picture = screenshot(display, window);
    ASSERT_GT(picture.width, 0);

    const Box disc = findIcon(picture);
    EXPECT_NEAR(disc.width(), 40, 4);
    EXPECT_NEAR(disc.height(), 40, 4);
    EXPECT_GT(disc.count, 800) << "a filled disc of about 1250 pixels, less the i";
    const Box mark = find(picture, disc.left, disc.top, disc.right + 1, disc.bottom + 1, isWhite);
    EXPECT_GT(mark.count, 40) << "a white i inside the disc";
    EXPECT_NEAR((mark.left + mark.right) / 2, (disc.left + disc.right) / 2, 2);
    EXPECT_GT(mark.height(), 20);

    const Box ring = findFocusRing(picture);
    EXPECT_GT(ring.count, 200);
    EXPECT_NEAR(ring.width(), 76, 6);
    EXPECT_NEAR(ring.height(), 24, 6);
    EXPECT_LT(picture.width - ring.right, 40) << "OK sits at the right";
    EXPECT_LT(picture.height - ring.bottom, 40) << "OK sits at the bottom";

    const Box text = find(picture, disc.right + 1, 0, picture.width, ring.top, isDark);
    EXPECT_GT(text.count, 100) << "two lines of dark text beside the icon";
    EXPECT_GT(text.width(), 100);
    EXPECT_LT(text.top, disc.bottom);
    EXPECT_GT(text.bottom, disc.top);
    const Box label = find(picture, ring.left, ring.top, ring.right + 1, ring.bottom + 1, isDark);
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
    ASSERT_EQ(findIcon(screenshot(display, window)).count, 0);
    XClearArea(display, window, 0, 0, 0, 0, True);
    XSync(display, False);
    EXPECT_TRUE(waitFor([&] { return findIcon(screenshot(display, window)).count > 800; }, milliseconds(2000)));
}

class DismissKeyTest : public MessageBoxTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DismissKeyTest, KeyDismissesTheBox)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    expectDismissedBy(std::string("key ") + GetParam());
    std::printf("appeared after %lld ms, closed %lld ms after the key\n",
                static_cast<long long>(appearTime.count()), static_cast<long long>(closeTime.count()));
}

INSTANTIATE_TEST_SUITE_P(Keys, DismissKeyTest, ::testing::Values("Return", "KP_Enter", "space", "Escape"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(MessageBoxTest, OtherKeysDoNotDismissIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    ASSERT_TRUE(run(xdotool("key a key Tab key Left key o")));
    EXPECT_TRUE(stillUpAfterHandlingAllSent());
    expectDismissedBy("key Return");
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
        ~ReleaseSpace() { run("xdotool keyup space >/dev/null 2>&1"); }
    } releaseSpaceWhateverHappens;
    ASSERT_TRUE(run(xdotool("keydown space")));
    ASSERT_NO_FATAL_FAILURE(showBox());
    const KeyCode space = XKeysymToKeycode(display, XK_space);
    XSelectInput(display, window, KeyPressMask);
    int repeats = 0;
    ASSERT_TRUE(waitFor([&] { return (repeats += keyPressesSeen(display, window, space)) >= 3; }))
        << "the server does not repeat a held key";
    EXPECT_TRUE(stillUpAfterHandlingAllSent()) << "dismissed by the repeats of a key held before it opened";
    ASSERT_TRUE(run(xdotool("keyup space")));
    EXPECT_TRUE(stillUpAfterHandlingAllSent()) << "dismissed by the release of a key held before it opened";
    expectDismissedBy("key space");
}

TEST_F(MessageBoxTest, ClickOnOkDismissesIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const Box ring = findFocusRing(screenshot(display, window));
    ASSERT_GT(ring.count, 0);
    expectDismissedBy(moveTo((ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2) + " click 1");
}

TEST_F(MessageBoxTest, ClicksBesideOkDoNotDismissIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    const Box ring = findFocusRing(screenshot(display, window));
    ASSERT_GT(ring.count, 0);
    const int okX = (ring.left + ring.right) / 2;
    const int okY = (ring.top + ring.bottom) / 2;
    // A click on the text, a right click on OK, and a press on OK released beside it.
    ASSERT_TRUE(run(xdotool(moveTo(120, 40) + " click 1")));
    ASSERT_TRUE(run(xdotool(moveTo(okX, okY) + " click 3")));
    ASSERT_TRUE(run(xdotool(moveTo(okX, okY) + " mousedown 1 " + moveTo(20, okY) + " mouseup 1")));
    EXPECT_TRUE(stillUpAfterHandlingAllSent());
    expectDismissedBy(moveTo(okX, okY) + " click 1");
}

TEST_F(MessageBoxTest, WindowManagerCloseDismissesIt)
{
    ASSERT_NO_FATAL_FAILURE(showBox());
    sendDeleteWindow(display, window);
    EXPECT_EQ(waitForExit(child, milliseconds(2000)), "exit 0");
}

TEST_F(MessageBoxTest, ClosesItsWindowAndConnectionBeforeReturning)
{
    ASSERT_NO_FATAL_FAILURE(showBox("--linger"));
    ASSERT_TRUE(run(xdotool("key Escape")));
    EXPECT_EQ(readAll(child.stdoutFd, 3, true), "returned") << "the call did not return, or left its connection open";
    // The child is still alive here, so its window cannot have gone with its connection.
    XWindowAttributes attributes{};
    EXPECT_FALSE(XGetWindowAttributes(display, window, &attributes)) << "the window still exists";
    EXPECT_EQ(findBox(display), 0u);
    EXPECT_EQ(waitForExit(child, milliseconds(3000)), "exit 0");
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
        std::string path = keepBuiltIns ? "built-ins" : "";
        if (!keepBuiltIns && mkdtemp(emptyDirectory) != nullptr && run("echo 0 > " + fontsDir()))
            path = emptyDirectory;
        char* newPath[] = {&path[0]};
        if (!path.empty())
            XSetFontPath(display, newPath, 1);
    }
    ~FontPath()
    {
        XSetFontPath(display, oldPath, oldCount);
        XFreeFontPath(oldPath);
        std::remove(fontsDir().c_str());
        rmdir(emptyDirectory);
    }

private:
    std::string fontsDir() const { return std::string(emptyDirectory) + "/fonts.dir"; }
    Display* display = nullptr;
    char emptyDirectory[32] = "/tmp/zorvex-nofonts-XXXXXX";
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
    const Picture picture = screenshot(display, window);
    const Box disc = findIcon(picture);
    EXPECT_GT(find(picture, disc.right + 1, 0, picture.width, picture.height / 2, isDark).count, 100);
    EXPECT_EQ(findText(picture, isGrey).count, 0) << "antialiased: drawn by Xft, not in the core font";
    expectDismissedBy("key Return");
}

// Without any font the box still comes up and works; it just has no text.
TEST_F(MessageBoxTest, WorksWithoutAnyFont)
{
    FontPath noFonts(display, false);
    ASSERT_FALSE(serverHasFont(display, "fixed")) << "could not take the fonts away from the X server";
    ASSERT_NO_FATAL_FAILURE(showBox(nullptr, {fontConfig("")}));
    const Picture picture = screenshot(display, window);
    EXPECT_GT(findIcon(picture).count, 800);
    EXPECT_GT(findFocusRing(picture).count, 200);
    EXPECT_EQ(find(picture, 0, 0, picture.width, picture.height, isDark).count, 0) << "no text without a font";
    expectDismissedBy("key Return");
}

// Antialiased text in the box, scaled by Xft.dpi; the box grows to hold a long text at either size.
TEST_F(MessageBoxTest, DrawsAntialiasedTextAtXftDpiThatFitsTheBox)
{
    ASSERT_TRUE(std::filesystem::exists(dejaVuDirectory)) << "needs fonts-dejavu-core";
    Box text[2];
    for (int i = 0; i < 2; ++i) {
        // XENVIRONMENT names a resource file that Xlib lays over the server's resources.
        const std::string resources = i == 0 ? "Xft.dpi:\t96\n" : "Xft.dpi:\t192\n";
        const std::string xResources = "XENVIRONMENT=" + scratchFile("Xresources", resources);
        const char* const longText = "Level 1 Complete\nThanks for playing! Now try it once more, from the start.\nBye";
        ASSERT_NO_FATAL_FAILURE(showBox(longText, {fontConfig(dejaVuDirectory), xResources}));
        const Picture picture = screenshot(display, window);
        text[i] = findText(picture);
        EXPECT_GT(findText(picture, isGrey).count, 100) << resources << "no antialiased edges";
        EXPECT_EQ(countLines(picture, text[i]), 3) << resources;
        EXPECT_GT(picture.height - text[i].bottom, 40) << resources << "the text runs into OK";
        EXPECT_GE(picture.width - text[i].right, 8) << resources << "the text runs into the right edge";
        EXPECT_LE(picture.width - text[i].right, 32) << resources << "not sized to the text";
        expectDismissedBy("key Return");
    }
    EXPECT_NEAR(static_cast<double>(text[1].height()) / text[0].height(), 2.0, 0.25);
}

// With no X server to talk to, the message goes to standard error and the call returns at once.
class NoDisplayTest : public ::testing::TestWithParam<bool> {};

TEST_P(NoDisplayTest, WritesTheMessageToStandardError)
{
    Child child = spawnBox(GetParam() ? nullptr : ":9876");
    ASSERT_GT(child.pid, 0);
    // It returns without waiting for anyone: no input ever comes.
    const std::string ending = waitForExit(child, milliseconds(20000));
    if (child.pid > 0) {
        kill(child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
    }
    const std::string errors = readAll(child.stderrFd);
    const std::string output = readAll(child.stdoutFd);
    close(child.stdoutFd);
    close(child.stderrFd);
    EXPECT_EQ(ending, "exit 0");
    EXPECT_EQ(errors, std::string("Zorvex: ") + winText + "\n");
    EXPECT_EQ(output, "");
}

INSTANTIATE_TEST_SUITE_P(Display, NoDisplayTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Unset" : "Unreachable";
                         });

}  // namespace
