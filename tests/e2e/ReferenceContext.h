// A GL context of the test's own, for working out what the game's shader build reports
// (ShaderReports.h): the same kind of default context that the game's window gets, on the same
// X server and driver, made on a window that is never mapped.
#pragma once
#include <functional>

// Runs `work` with the context current, then lets the context and its window go. Throws
// std::runtime_error if the context can't be made current.
void inReferenceContext(const std::function<void()>& work);
