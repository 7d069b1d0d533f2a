#include "shell/dll_search_win.h"

#include <string>

namespace shell {
namespace {

// Whether LoadLibraryExW knows the LOAD_LIBRARY_SEARCH_* flags: the systems
// that have them have AddDllDirectory too.
bool searchFlagsKnown() {
    static const bool known =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return known;
}

} // namespace

bool restrictDllSearch() {
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return setDefaultDllDirectories &&
           setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    if (searchFlagsKnown())
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (length == 0 || length >= path.size())
        return nullptr;
    path.resize(length);
    return LoadLibraryW((path + L'\\' + name).c_str());
}

} // namespace shell
