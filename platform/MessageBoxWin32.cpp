// The message box on Windows: the system's own modal information box.
// Depends on user32 (MessageBoxW) and kernel32 (MultiByteToWideChar), both linked by default.
#include "platform/MessageBox.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// MessageBoxW takes UTF-16; the game hands over UTF-8. Invalid bytes become U+FFFD.
std::wstring widen(const char* utf8)
{
    if (utf8 == nullptr || *utf8 == '\0')
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));  // the count included the terminator
    return wide;
}

}  // namespace

void showMessageBox(const char* caption, const char* text)
{
    const std::wstring wideCaption = widen(caption);
    const std::wstring wideText = widen(text);
    // 0 means the box could not be shown at all (no interactive desktop, as in a service).
    if (MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_ICONINFORMATION) == 0) {
        std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
        std::fflush(stderr);
    }
}
