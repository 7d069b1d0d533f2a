// The whole text of a window of this process, however long.
#pragma once

#include <windows.h>

#include <string>

namespace shell {

std::wstring windowText(HWND window);

} // namespace shell
