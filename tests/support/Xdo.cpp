#include "Xdo.h"

#include <stdexcept>

Xdo::Xdo() : xdo_(xdo_new_with_opened_display(display_.get(), nullptr, 0))
{
    if (xdo_ == nullptr)
        throw std::runtime_error("libxdo cannot use the X display");
}

Xdo::~Xdo()
{
    // The connection is ours (XDisplay's), not libxdo's to close.
    xdo_free(xdo_);
}
