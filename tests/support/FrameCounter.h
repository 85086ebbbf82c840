// Counts the frames a window puts on the screen, through the X server's DAMAGE extension: the
// proof that a program has really been running for a while, which a sleep alone is not. A
// buffer swap damages the whole window once, however many requests it takes to get there, so
// a frame is counted for each window's worth of damaged area.
#pragma once
#include "WindowId.h"

#include <chrono>
#include <memory>

class XDisplay;

class FrameCounter {
public:
    // Counts from now on. Throws std::runtime_error if the window is gone or the server has no
    // DAMAGE extension.
    explicit FrameCounter(WindowId window);
    ~FrameCounter();
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;

    // True once `count` frames have been counted since the counter was made; false if they
    // haven't by `limit`.
    bool waitForFrames(long count, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    long frames() const;

private:
    void readPendingDamage();

    std::unique_ptr<XDisplay> display_;
    unsigned long damage_ = 0;
    int damageEventBase_ = 0;
    long long windowArea_ = 1;
    long long damagedArea_ = 0;
};

// Waits until `count` frames have reached the window from now on; false if they haven't by `limit`.
bool framesGoBy(WindowId window, long count, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
