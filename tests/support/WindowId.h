// An X window, as libxdo and Xlib take it. Kept apart from Xlib's own header,
// whose macros (None, Bool, Status) clash with ordinary C++ such as GoogleTest's.
#pragma once

using WindowId = unsigned long;
