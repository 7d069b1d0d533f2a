// Pixel constants are written for 96 DPI and scaled to the window's DPI;
// dialog templates scale by themselves.
#pragma once

#include <windows.h>

namespace shell {

int dpiOf(HWND window);
inline int scaledForDpi(int pixelsAt96, int dpi) {
    return MulDiv(pixelsAt96, dpi, 96);
}

} // namespace shell
