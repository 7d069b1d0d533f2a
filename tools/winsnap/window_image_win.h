// Saves what is on the screen as a 24-bit BMP file: a window's rectangle as
// the user sees it (under Wine and Xvfb the pixels come from the X root), or
// the whole virtual screen.
#pragma once

#include <windows.h>

#include <string>

namespace winsnap {

// The window's screen rectangle (GetWindowRect), copied from the screen, so
// whatever covers the window is in the picture too.
bool saveWindowImage(HWND window, const std::wstring& bmpPath);

// Every monitor: the virtual screen's rectangle.
bool saveScreenImage(const std::wstring& bmpPath);

// Any screen rectangle; false when it is empty or the file cannot be written.
bool saveScreenRect(const RECT& screenRect, const std::wstring& bmpPath);

} // namespace winsnap
