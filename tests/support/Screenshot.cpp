#include "Screenshot.h"

#include "Poll.h"
#include "XDisplay.h"

#include <X11/Xutil.h>
#include <stdexcept>

namespace {

// Where a channel lies in a pixel value, from the visual's mask (8 bits per channel here).
int shiftOf(unsigned long mask)
{
    return mask != 0 ? __builtin_ctzl(mask) : 0;
}

}  // namespace

Image captureWindow(WindowId window)
{
    XDisplay display;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display.get(), window, &attributes) || display.syncAndCheckErrors())
        throw std::runtime_error("screenshot: no such window");
    XImage* shot =
        XGetImage(display.get(), window, 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!shot || display.syncAndCheckErrors()) {
        if (shot)
            XDestroyImage(shot);
        throw std::runtime_error("screenshot: XGetImage failed: " + display.lastError());
    }
    const int redShift = shiftOf(shot->red_mask);
    const int greenShift = shiftOf(shot->green_mask);
    const int blueShift = shiftOf(shot->blue_mask);
    Image image(shot->width, shot->height);
    for (int y = 0; y < shot->height; ++y)
        for (int x = 0; x < shot->width; ++x) {
            const unsigned long pixel = XGetPixel(shot, x, y);
            image.set(x, y,
                      {static_cast<uint8_t>((pixel & shot->red_mask) >> redShift),
                       static_cast<uint8_t>((pixel & shot->green_mask) >> greenShift),
                       static_cast<uint8_t>((pixel & shot->blue_mask) >> blueShift)});
        }
    XDestroyImage(shot);
    return image;
}

PictureWait waitForPicture(WindowId window, std::chrono::milliseconds limit,
                           const std::function<bool(const Image&)>& condition)
{
    PictureWait wait;
    wait.satisfied = pollUntil(limit, [&] {
        wait.last = captureWindow(window);
        return condition(wait.last);
    });
    return wait;
}

PictureWait waitForChange(WindowId window, const Image& earlier, std::chrono::milliseconds limit)
{
    return waitForPicture(window, limit, [&](const Image& shot) {
        return shot.width == earlier.width && shot.height == earlier.height &&
               countDifferences(shot, earlier, {0, 0, shot.width, shot.height}) > 0;
    });
}
