// A modal information box with a caption, a text and one OK button.
#pragma once

// Returns only once the player has dismissed the box. Without a display to show it on,
// writes the caption and the text to standard error and returns.
// Both strings are UTF-8; the text may hold line feeds.
void showMessageBox(const char* caption, const char* text);
