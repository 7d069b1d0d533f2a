// Pixel constants are written for 96 DPI and scaled to the window's DPI;
// dialog templates scale by themselves.
#pragma once

#include <windows.h>

namespace shell {

int dpiOf(HWND window);
inline int scaledForDpi(int pixelsAt96, int dpi) {
    return MulDiv(pixelsAt96, dpi, 96);
}

// The system's fonts and sizes of window frames, menus and messages, for
// the given DPI where the system can tell them per DPI (Windows 10 1607 on),
// else for the session's DPI. False when the system gives none.
bool readNonClientMetrics(int dpi, NONCLIENTMETRICSW& metrics);

} // namespace shell
