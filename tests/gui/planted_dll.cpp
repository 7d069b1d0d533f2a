// A DLL that somebody places beside a tool under the name of a system DLL:
// when any process loads it, it leaves the file "planted-dll-loaded.txt"
// beside itself. The tests look for that file.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    wchar_t path[MAX_PATH + 32] = {};
    if (reason != DLL_PROCESS_ATTACH || GetModuleFileNameW(module, path, MAX_PATH) >= MAX_PATH)
        return TRUE;
    if (wchar_t* const slash = std::wcsrchr(path, L'\\')) {
        std::wcscpy(slash + 1, L"planted-dll-loaded.txt");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
