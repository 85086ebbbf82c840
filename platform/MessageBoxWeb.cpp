// The message box in the browser: the page's own modal dialog (web/index.html), opened through
// web/zorvex-library.js. The page cannot block while the player reads it, so the call unwinds to
// the browser and resumes where it left off once the dialog is dismissed (Asyncify, set up in
// cmake/Web.cmake): to the game it returns only then, as on the desktop.
#include "platform/MessageBox.h"

#include <cstdio>

// Returns 1 once the dialog has been dismissed, 0 at once when the page has no dialog.
extern "C" int zorvex_show_message_box(const char* caption, const char* text);

void showMessageBox(const char* caption, const char* text)
{
    if (caption == nullptr)
        caption = "";
    if (text == nullptr)
        text = "";
    if (zorvex_show_message_box(caption, text) == 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
    }
}
