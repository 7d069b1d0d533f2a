// Where DLLs are looked for. A program of the suite ships no DLL of its own:
// every DLL it loads is a system one, and one of the same name placed beside
// the program or in the working folder must never be picked up instead.
#pragma once

#include <windows.h>

namespace shell {

// Restricts the search for DLLs loaded from now on to the system folder
// where the system allows it (Windows 8 on, Windows 7 with its loader
// update), and takes the working folder out of it everywhere. Returns
// whether the search is restricted.
bool restrictDllSearch();

// A system DLL from the system folder and nowhere else; null when it
// cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t* name);

} // namespace shell
