// Reading a window's pixels straight from the X server (XGetImage), as the player sees them.
// The window must be mapped and lie wholly on the screen.
#pragma once
#include "Image.h"
#include "WindowId.h"

#include <chrono>
#include <functional>

// Throws std::runtime_error if the window is gone or can't be read.
Image captureWindow(WindowId window);

struct PictureWait {
    bool satisfied = false;
    Image last;  // the picture that satisfied the condition, or the last one taken
};

// Takes screenshots until `condition` holds for one of them or `limit` has passed.
PictureWait waitForPicture(WindowId window, std::chrono::milliseconds limit,
                           const std::function<bool(const Image&)>& condition);
// Takes screenshots until one of the same size as `earlier` differs from it in some pixel.
PictureWait waitForChange(WindowId window, const Image& earlier, std::chrono::milliseconds limit);
