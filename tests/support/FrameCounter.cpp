#include "FrameCounter.h"

#include "Poll.h"
#include "XDisplay.h"

#include <X11/extensions/Xdamage.h>
#include <stdexcept>

FrameCounter::FrameCounter(WindowId window) : display_(std::make_unique<XDisplay>())
{
    Display* display = display_->get();
    int errorBase = 0;
    if (!XDamageQueryExtension(display, &damageEventBase_, &errorBase))
        throw std::runtime_error("the X server has no DAMAGE extension");
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || display_->syncAndCheckErrors())
        throw std::runtime_error("frame counter: no such window");
    windowArea_ = static_cast<long long>(attributes.width) * attributes.height;
    // Raw rectangles: every drawing request reports the area it touched, so areas add up.
    damage_ = XDamageCreate(display, window, XDamageReportRawRectangles);
    if (display_->syncAndCheckErrors())
        throw std::runtime_error("frame counter: cannot watch the window: " + display_->lastError());
}

FrameCounter::~FrameCounter()
{
    // The window may be gone, and the damage object with it: any error is recorded, not fatal.
    XDamageDestroy(display_->get(), damage_);
    display_->syncAndCheckErrors();
}

void FrameCounter::readPendingDamage()
{
    Display* display = display_->get();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != damageEventBase_ + XDamageNotify)
            continue;
        const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
        damagedArea_ += static_cast<long long>(notify.area.width) * notify.area.height;
    }
}

long FrameCounter::frames() const
{
    return static_cast<long>(damagedArea_ / windowArea_);
}

bool FrameCounter::waitForFrames(long count, std::chrono::milliseconds limit)
{
    return pollUntil(limit, [&] {
        readPendingDamage();
        return frames() >= count;
    }, std::chrono::milliseconds(5));
}

bool framesGoBy(WindowId window, long count, std::chrono::milliseconds limit)
{
    return FrameCounter(window).waitForFrames(count, limit);
}
