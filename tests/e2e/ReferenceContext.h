// A GL context of the test's own, current while the object lives, for working out what the
// game's shader build reports (ShaderReports.h): the same kind of default context that the
// game's window gets, on the same X server and driver, made on a window that is never mapped.
#pragma once
#include <memory>

class XDisplay;

class ReferenceContext {
public:
    // Throws std::runtime_error if it can't be made current.
    ReferenceContext();
    ~ReferenceContext();
    ReferenceContext(const ReferenceContext&) = delete;
    ReferenceContext& operator=(const ReferenceContext&) = delete;

private:
    std::unique_ptr<XDisplay> display_;
    unsigned long window_ = 0;
    unsigned long colormap_ = 0;
    void* context_ = nullptr;
};
