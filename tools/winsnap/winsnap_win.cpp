// winsnap: saves a top-level window as it appears on the screen.
//
//   winsnap.exe (--title TEXT | --pid PID | --exe NAME | --hwnd N | --screen) OUT.bmp
//               [--wait-ms N] [--settle-ms N] [--press ID]...
//
// Waits up to --wait-ms (10000 by default) for a visible top-level window with
// exactly that title, or the first one of that process (or of any process
// running the program file NAME, such as stakeladder.exe), or that handle; lets
// it settle for --settle-ms (300 by default); clicks the push buttons given by
// --press (control identifiers, in order, 500 ms apart) as a user would and
// lets it settle again; saves it and prints
//   hwnd=<decimal> left=<n> top=<n> right=<n> bottom=<n>
// Exit codes: 0 saved, 1 no such window, 2 wrong arguments, 3 not saved.
#include "window_image_win.h"

#include "shell/dll_search_win.h"
#include "shell/handles_win.h"
#include "shell/window_text_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultWaitMs = 10000;
constexpr DWORD kPollMs = 100;
constexpr DWORD kSettleMs = 300;
constexpr DWORD kPressMs = 500;

enum class Target { None, Title, Process, Executable, Handle, Screen };

struct Options {
    Target target = Target::None;
    std::wstring title;
    DWORD processId = 0;
    std::wstring executable;
    HWND handle = nullptr;
    std::wstring outputPath;
    DWORD waitMs = kDefaultWaitMs;
    DWORD settleMs = kSettleMs;
    std::vector<int> presses;
};

std::optional<long long> parseNumber(const wchar_t* text) {
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text, &end, 10);
    if (end == text || *end != L'\0')
        return std::nullopt;
    return value;
}

// Handles are passed as decimal text whose low 32 bits count.
HWND handleFromNumber(long long value) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(value)));
}

long long numberFromHandle(HWND window) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

bool parseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--title" && hasValue) {
            options.target = Target::Title;
            options.title = argv[++i];
        } else if (argument == L"--pid" && hasValue) {
            const auto value = parseNumber(argv[++i]);
            if (!value || *value <= 0)
                return false;
            options.target = Target::Process;
            options.processId = static_cast<DWORD>(*value);
        } else if (argument == L"--exe" && hasValue) {
            options.target = Target::Executable;
            options.executable = argv[++i];
        } else if (argument == L"--hwnd" && hasValue) {
            const auto value = parseNumber(argv[++i]);
            if (!value || *value == 0)
                return false;
            options.target = Target::Handle;
            options.handle = handleFromNumber(*value);
        } else if (argument == L"--screen") {
            options.target = Target::Screen;
        } else if (argument == L"--press" && hasValue) {
            const auto value = parseNumber(argv[++i]);
            if (!value || *value <= 0 || *value > 0xFFFF)
                return false;
            options.presses.push_back(static_cast<int>(*value));
        } else if (argument == L"--settle-ms" && hasValue) {
            const auto value = parseNumber(argv[++i]);
            if (!value || *value < 0)
                return false;
            options.settleMs = static_cast<DWORD>(*value);
        } else if (argument == L"--wait-ms" && hasValue) {
            const auto value = parseNumber(argv[++i]);
            if (!value || *value < 0)
                return false;
            options.waitMs = static_cast<DWORD>(*value);
        } else if (argument.starts_with(L"--") || !options.outputPath.empty()) {
            return false;
        } else {
            options.outputPath = argument;
        }
    }
    return options.target != Target::None && !options.outputPath.empty();
}

// Physical pixels: the rectangle must be the one the screen copy sees.
void becomeDpiAware() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
        return;
    SetProcessDPIAware();
}

bool isShown(HWND window) {
    RECT rect;
    return IsWindowVisible(window) && GetWindowRect(window, &rect) && rect.right > rect.left &&
           rect.bottom > rect.top;
}

struct Search {
    const Options* options;
    std::vector<DWORD> processIds;
    HWND found = nullptr;
};

std::vector<DWORD> processesRunning(const std::wstring& executable) {
    std::vector<DWORD> ids;
    // Empty, like a file that could not be opened, when it fails.
    const shell::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, executable.c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

BOOL CALLBACK checkWindow(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (!isShown(window))
        return TRUE;
    bool matches = false;
    if (search.options->target == Target::Title) {
        matches = shell::windowText(window) == search.options->title;
    } else {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (search.options->target == Target::Executable) {
            for (DWORD id : search.processIds)
                matches = matches || id == processId;
        } else {
            matches = processId == search.options->processId;
        }
    }
    if (!matches)
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND findOnce(const Options& options) {
    if (options.target == Target::Handle)
        return IsWindow(options.handle) && isShown(options.handle) ? options.handle : nullptr;
    Search search{&options, {}};
    if (options.target == Target::Executable)
        search.processIds = processesRunning(options.executable);
    EnumWindows(&checkWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(const Options& options) {
    const ULONGLONG deadline = GetTickCount64() + options.waitMs;
    for (;;) {
        if (HWND window = findOnce(options))
            return window;
        if (GetTickCount64() >= deadline)
            return nullptr;
        Sleep(kPollMs);
    }
}

void printRect(HWND window, const RECT& rect) {
    std::printf("hwnd=%lld left=%ld top=%ld right=%ld bottom=%ld\n", numberFromHandle(window),
                static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    shell::restrictDllSearch();
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(
            "usage: winsnap (--title TEXT | --pid PID | --exe NAME | --hwnd N | --screen) OUT.bmp "
            "[--wait-ms N] [--settle-ms N] [--press ID]...\n",
            stderr);
        return 2;
    }
    becomeDpiAware();

    if (options.target == Target::Screen) {
        const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        printRect(nullptr, RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
        return winsnap::saveScreenImage(options.outputPath) ? 0 : 3;
    }

    HWND window = waitForWindow(options);
    if (!window) {
        std::fputs("winsnap: no visible window found\n", stderr);
        return 1;
    }
    // A window that has just appeared may still be drawing itself.
    Sleep(options.settleMs);
    // Posted like a real click's notification, so a message box the button
    // opens does not block us.
    for (const int id : options.presses) {
        const HWND button = GetDlgItem(window, id);
        if (!button || !IsWindowEnabled(button)) {
            std::fprintf(stderr, "winsnap: no enabled control %d to press\n", id);
            return 1;
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        Sleep(kPressMs);
    }
    if (!options.presses.empty())
        Sleep(options.settleMs);
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        std::fputs("winsnap: the window went away\n", stderr);
        return 1;
    }
    printRect(window, rect);
    if (!winsnap::saveWindowImage(window, options.outputPath)) {
        std::fputs("winsnap: could not save the image\n", stderr);
        return 3;
    }
    return 0;
}
