// A Windows program for the Wine tests: prints what a top-level window shows, so that a test
// can read a message box that the game has put up. Found by its exact title, the window is
// printed as one line per item, each text in UTF-8 with its line feeds written as "\n":
//   class <window class>
//   owner <none|some>
//   <control class> <its text>      for each child control, in order
//   icon                            for a static control that shows an icon (a message box
//                                   without one keeps the control, hidden and empty)
// Exits with 1 if there is no such window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace {

std::wstring widen(const char* utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

std::string classOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return narrow(name);
}

std::string textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return narrow(text);
}

BOOL CALLBACK printControl(HWND control, LPARAM)
{
    const std::string controlClass = classOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (controlClass == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
        if (IsWindowVisible(control) && SendMessageW(control, STM_GETICON, 0, 0) != 0)
            std::printf("icon\n");
    } else {
        std::printf("%s %s\n", controlClass.c_str(), escaped(textOf(control)).c_str());
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_texts TITLE\n");
        return 2;
    }
    // Our own line ends, not the console's "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    const HWND window = FindWindowW(nullptr, widen(argv[1]).c_str());
    if (window == nullptr)
        return 1;
    std::printf("class %s\n", classOf(window).c_str());
    std::printf("owner %s\n", GetWindow(window, GW_OWNER) == nullptr ? "none" : "some");
    EnumChildWindows(window, printControl, 0);
    return 0;
}
