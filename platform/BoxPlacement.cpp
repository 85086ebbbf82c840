#include "platform/BoxPlacement.h"

#include <algorithm>

namespace {

long long overlap(const ScreenRect& a, const ScreenRect& b)
{
    const long long width = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const long long height = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

// The squared distance from the point to the rectangle's nearest pixel; 0 inside it.
long long distanceSquared(ScreenPoint point, const ScreenRect& rect)
{
    const long long dx = point.x < rect.x ? rect.x - point.x : std::max(0, point.x - (rect.x + rect.width - 1));
    const long long dy = point.y < rect.y ? rect.y - point.y : std::max(0, point.y - (rect.y + rect.height - 1));
    return dx * dx + dy * dy;
}

ScreenRect nearestTo(ScreenPoint point, const std::vector<ScreenRect>& monitors)
{
    return *std::min_element(monitors.begin(), monitors.end(), [&](const ScreenRect& a, const ScreenRect& b) {
        return distanceSquared(point, a) < distanceSquared(point, b);
    });
}

ScreenPoint centreOf(const ScreenRect& rect) { return {rect.x + rect.width / 2, rect.y + rect.height / 2}; }

// Where a length `length` starting at `start` ends up inside [low, low + room): moved as little
// as it takes, and to `low` where it is longer than the room.
int keepWithin(int start, int length, int low, int room) { return std::max(low, std::min(start, low + room - length)); }

}  // namespace

ScreenRect framed(const ScreenRect& window, const FrameExtents& frame)
{
    return {window.x - frame.left, window.y - frame.top, window.width + frame.left + frame.right,
            window.height + frame.top + frame.bottom};
}

ScreenRect chooseMonitor(const std::optional<ScreenRect>& owner, ScreenPoint pointer,
                         const std::vector<ScreenRect>& monitors, const ScreenRect& screen)
{
    if (monitors.empty())
        return screen;
    if (!owner)
        return nearestTo(pointer, monitors);
    const auto most = std::max_element(monitors.begin(), monitors.end(), [&](const ScreenRect& a, const ScreenRect& b) {
        return overlap(*owner, a) < overlap(*owner, b);
    });
    return overlap(*owner, *most) > 0 ? *most : nearestTo(centreOf(*owner), monitors);
}

ScreenPoint placeBox(int width, int height, const std::optional<ScreenRect>& owner, const ScreenRect& monitor)
{
    const ScreenPoint centre = centreOf(owner.value_or(monitor));
    return {keepWithin(centre.x - width / 2, width, monitor.x, monitor.width),
            keepWithin(centre.y - height / 2, height, monitor.y, monitor.height)};
}
