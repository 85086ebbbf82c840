// Start-up, frame pacing and memory of the real game, watched from outside through the X
// server, the way a player would see them:
//   - from starting the zorvex process to its window being created, mapped, and showing its
//     first frame (the first time the window is damaged and is then not all black), five times;
//   - ten seconds of play driven through XTest (space, then the arrows in turn), in which every
//     frame that reaches the window is timed by the damage it does;
//   - the game's peak resident memory (VmHWM in /proc/<pid>/status) after those ten seconds,
//     before Escape ends it.
// Run it under an X server with the DAMAGE and XTEST extensions (Xvfb has both; scripts/bench
// uses tests/with-xvfb.sh). Output: one "name value" line per figure.
#include "ChildProcess.h"
#include "Image.h"
#include "Screenshot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int fieldSize = 600;
// Damage that arrives this close to the last frame belongs to the same frame (one buffer swap
// can reach the server as several requests).
constexpr double sameFrameMs = 4.0;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

class Watcher {
public:
    explicit Watcher(Display* display) : display(display)
    {
        int errorBase = 0;
        if (!XDamageQueryExtension(display, &damageEventBase, &errorBase)) {
            std::fprintf(stderr, "startup_benchmark: the X server has no DAMAGE extension\n");
            std::exit(2);
        }
        int major = 0;
        int minor = 0;
        int eventBase = 0;
        if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
            std::fprintf(stderr, "startup_benchmark: the X server has no XTEST extension\n");
            std::exit(2);
        }
        XSetErrorHandler(ignoreErrors);
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }

    struct Run {
        std::unique_ptr<ChildProcess> process;
        Window window = 0;
        Damage damage = 0;
        bool mapped = false;
        Clock::time_point started;
        Clock::time_point created;
        Clock::time_point shown;
        Clock::time_point firstFrame;
        bool sawFirstFrame = false;
        std::vector<Clock::time_point> frames;
    };

    // Starts the game in its own folder and waits for its first frame on screen.
    bool start(const std::string& game, Run& run)
    {
        const std::string folder = game.substr(0, game.rfind('/'));
        run.started = Clock::now();
        run.process = std::make_unique<ChildProcess>(std::vector<std::string>{game}, folder, "/dev/null", "/dev/null");
        const auto deadline = run.started + std::chrono::seconds(20);
        while (!run.sawFirstFrame) {
            if (!handleNextEvent(run, deadline))
                return false;
        }
        return true;
    }

    // Processes events until `until`; false if the deadline passed without any.
    void pump(Run& run, Clock::time_point until)
    {
        while (handleNextEvent(run, until)) {
        }
    }

    void key(KeySym symbol, bool down)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
        XFlush(display);
    }

    void focus(const Run& run)
    {
        XSetInputFocus(display, run.window, RevertToPointerRoot, CurrentTime);
        XTestFakeMotionEvent(display, -1, 400, 400, CurrentTime);
        XSync(display, False);
    }

    void forget(Run& run)
    {
        if (run.damage != 0)
            XDamageDestroy(display, run.damage);
        XSync(display, False);
        run.damage = 0;
    }

private:
    Display* display;
    int damageEventBase = 0;

    bool nextEvent(XEvent& event, Clock::time_point deadline)
    {
        while (XPending(display) == 0) {
            const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, static_cast<int>(left));
        }
        XNextEvent(display, &event);
        return true;
    }

    bool handleNextEvent(Run& run, Clock::time_point deadline)
    {
        XEvent event;
        if (!nextEvent(event, deadline))
            return false;
        const auto now = Clock::now();
        if (event.type == CreateNotify && run.window == 0 && event.xcreatewindow.parent == DefaultRootWindow(display) &&
            event.xcreatewindow.width == fieldSize && event.xcreatewindow.height == fieldSize) {
            run.window = event.xcreatewindow.window;
            run.created = now;
            run.damage = XDamageCreate(display, run.window, XDamageReportNonEmpty);
            XFlush(display);
        } else if (event.type == MapNotify && run.window != 0 && event.xmap.window == run.window) {
            run.mapped = true;
            run.shown = now;
        } else if (event.type == damageEventBase + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (damage.drawable != run.window)
                return true;
            XDamageSubtract(display, run.damage, None, None);
            if (!run.sawFirstFrame) {
                if (run.mapped && showsSomething(run.window)) {
                    run.sawFirstFrame = true;
                    run.firstFrame = now;
                    run.frames.push_back(now);
                }
            } else if (msBetween(run.frames.back(), now) > sameFrameMs) {
                run.frames.push_back(now);
            }
        }
        return true;
    }

    // Whether any pixel on a 10-pixel grid of the window is not black.
    static bool showsSomething(Window window)
    {
        try {
            const Image image = captureWindow(window);
            for (int y = 5; y < image.height; y += 10)
                for (int x = 5; x < image.width; x += 10)
                    if (!isBlack(image.at(x, y)))
                        return true;
        } catch (const std::runtime_error&) {
        }
        return false;
    }
};

long statusField(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol(line.c_str() + length + 1);  // in kB
    return -1;
}

// Waits up to `limit` for the game to end; kills it if it does not. Returns its exit status,
// or -1 if it had to be ended.
int awaitExit(ChildProcess& process, milliseconds limit)
{
    const ProcessEnd end = process.waitForExit(limit);
    return end.exited ? end.code : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    char* resolved = realpath(argc > 1 ? argv[1] : ZORVEX_GAME, nullptr);
    if (resolved == nullptr) {
        std::fprintf(stderr, "startup_benchmark: no game at %s\n", argc > 1 ? argv[1] : ZORVEX_GAME);
        return 2;
    }
    const std::string game = resolved;
    std::free(resolved);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_benchmark: no X display\n");
        return 2;
    }
    Watcher watcher(display);

    // Start-up, five times: each run ends with Escape once the key callbacks are in place
    // (from the first timer tick on).
    constexpr int startups = 5;
    std::vector<double> created;
    std::vector<double> shown;
    std::vector<double> firstFrame;
    for (int i = 0; i < startups; ++i) {
        Watcher::Run run;
        if (!watcher.start(game, run)) {
            std::fprintf(stderr, "startup_benchmark: no first frame from %s\n", game.c_str());
            return 1;
        }
        created.push_back(msBetween(run.started, run.created));
        shown.push_back(msBetween(run.started, run.shown));
        firstFrame.push_back(msBetween(run.started, run.firstFrame));
        watcher.focus(run);
        watcher.pump(run, Clock::now() + milliseconds(300));
        watcher.key(XK_Escape, true);
        watcher.key(XK_Escape, false);
        const int status = awaitExit(*run.process, milliseconds(3000));
        watcher.forget(run);
        if (status != 0) {
            std::fprintf(stderr, "startup_benchmark: Escape ended the game with status %d\n", status);
            return 1;
        }
    }
    std::printf("startup_runs %d\n", startups);
    std::printf("exec_to_window_created_ms %.1f\n", median(created));
    std::printf("exec_to_window_mapped_ms %.1f\n", median(shown));
    std::printf("exec_to_first_frame_ms %.1f\n", median(firstFrame));
    std::printf("exec_to_first_frame_min_ms %.1f\n", *std::min_element(firstFrame.begin(), firstFrame.end()));
    std::printf("exec_to_first_frame_max_ms %.1f\n", *std::max_element(firstFrame.begin(), firstFrame.end()));

    // Ten seconds of play: space, then each arrow held for 0.7 s in turn.
    Watcher::Run run;
    if (!watcher.start(game, run)) {
        std::fprintf(stderr, "startup_benchmark: no first frame from %s\n", game.c_str());
        return 1;
    }
    watcher.focus(run);
    watcher.pump(run, Clock::now() + milliseconds(200));
    const auto playStart = Clock::now();
    const std::size_t framesBefore = run.frames.size();
    watcher.key(XK_space, true);
    watcher.key(XK_space, false);
    KeySym held = NoSymbol;
    for (int step = 0; step < 14; ++step) {
        if (held != NoSymbol)
            watcher.key(held, false);
        held = step % 2 == 0 ? XK_Right : XK_Left;
        watcher.key(held, true);
        watcher.pump(run, playStart + milliseconds(700 * (step + 1)));
    }
    watcher.key(held, false);
    watcher.pump(run, playStart + milliseconds(10000));
    const double played = msBetween(playStart, Clock::now());
    const long peakKb = statusField(run.process->pid(), "VmHWM");
    const long residentKb = statusField(run.process->pid(), "VmRSS");

    // Frame gaps within the ten seconds, from the first frame after the space press.
    double longestGap = 0.0;
    double longestGapAt = 0.0;
    int gapsOver40 = 0;
    std::vector<double> gaps;
    for (std::size_t i = framesBefore + 1; i < run.frames.size(); ++i) {
        const double gap = msBetween(run.frames[i - 1], run.frames[i]);
        gaps.push_back(gap);
        if (gap > longestGap) {
            longestGap = gap;
            longestGapAt = msBetween(playStart, run.frames[i]) / 1e3;
        }
        gapsOver40 += gap > 40.0 ? 1 : 0;
    }
    std::sort(gaps.begin(), gaps.end());
    const std::size_t playFrames = run.frames.size() - framesBefore;
    watcher.key(XK_Escape, true);
    watcher.key(XK_Escape, false);
    const int status = awaitExit(*run.process, milliseconds(3000));
    watcher.forget(run);

    std::printf("play_seconds %.2f\n", played / 1e3);
    std::printf("play_frames %zu\n", playFrames);
    std::printf("play_fps %.2f\n", static_cast<double>(playFrames) * 1e3 / played);
    std::printf("play_median_gap_ms %.1f\n", gaps.empty() ? 0.0 : gaps[gaps.size() / 2]);
    std::printf("play_99th_percentile_gap_ms %.1f\n", gaps.empty() ? 0.0 : gaps[gaps.size() * 99 / 100]);
    std::printf("play_longest_gap_ms %.1f\n", longestGap);
    std::printf("play_longest_gap_at_s %.2f\n", longestGapAt);
    std::printf("play_gaps_over_40ms %d\n", gapsOver40);
    std::printf("peak_rss_mb %.1f\n", static_cast<double>(peakKb) / 1024.0);
    std::printf("rss_mb %.1f\n", static_cast<double>(residentKb) / 1024.0);
    std::printf("escape_exit_status %d\n", status);
    XCloseDisplay(display);
    return status == 0 ? 0 : 1;
}
