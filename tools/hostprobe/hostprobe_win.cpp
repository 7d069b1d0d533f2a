// hostprobe plays the host program: a visible window that starts a tool with
// the window's handle as its first argument and records every WM_COPYDATA
// the tool hands over, on screen and in a log the GUI tests read.
//
//   hostprobe.exe [--log FILE] [--exit-with-tool] [--hang-after N [--hang-for MS]]
//                 [--] TOOL.exe [ARGS...]
//
// With --hang-after the probe plays a host that stops answering: once it has
// handled N WM_COPYDATA messages (0: as soon as the tool is started) its
// thread sleeps for MS milliseconds (default 60000) without pumping messages,
// then goes on and logs whatever it receives after all.
//
// Log lines (UTF-8, one write per line, appended):
//   host hwnd=<decimal> tool_pid=<decimal>
//   copydata seq=<n> sender=<decimal wParam> dwData=<n> cbData=<n> hex=<lowercase hex>
//   tool_exit code=<n>
//   hang start ms=<n>   /   hang end
// and, when the tool cannot be started, tool_start_failed error=<n>.
#include "tools/hostprobe/payload_decode.h"

#include "shell/dll_search_win.h"
#include "shell/dpi_win.h"
#include "shell/handles_win.h"
#include "shell/strconv_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"HostProbeWindow";
constexpr wchar_t kWindowTitle[] = L"hostprobe";
constexpr UINT kDpiChanged = 0x02E0; // WM_DPICHANGED, not in the Windows 7 headers
constexpr int kMargin = 8;           // pixels at 96 DPI
constexpr int kStatusHeight = 40;

constexpr wchar_t kUsage[] =
    L"hostprobe [--log FILE] [--exit-with-tool] [--hang-after N [--hang-for MS]] [--] TOOL.exe "
    L"[ARGS...]\n\n"
    L"Starts TOOL.exe with this window's handle as its first argument and records every "
    L"WM_COPYDATA it receives. Without TOOL it waits for a tool started by hand. With "
    L"--hang-after it stops answering messages for MS milliseconds (default 60000) once it has "
    L"handled N of them.";

using shell::widen;

std::string cp936ToUtf8(std::string_view bytes) {
    return shell::toUtf8(shell::fromCodePage936(bytes));
}

// Window handles travel as decimal text read by atoi: only the low 32 bits
// count, sign-extended as a 32-bit process would see them.
long long handleNumber(UINT_PTR value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// One argument quoted so that the C runtime's parser gives it back unchanged.
std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

struct Options {
    std::wstring logPath;
    bool exitWithTool = false;
    std::optional<unsigned long long> hangAfter;
    DWORD hangMs = 60000;
    std::wstring tool;
    std::vector<std::wstring> toolArguments;
};

bool parseOptions(const std::vector<std::wstring>& arguments, Options& options) {
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--") {
            ++i;
            break;
        }
        if (argument == L"--log" && i + 1 < arguments.size()) {
            options.logPath = arguments[++i];
        } else if (argument == L"--exit-with-tool") {
            options.exitWithTool = true;
        } else if (argument == L"--hang-after" && i + 1 < arguments.size()) {
            options.hangAfter = std::wcstoull(arguments[++i].c_str(), nullptr, 10);
        } else if (argument == L"--hang-for" && i + 1 < arguments.size()) {
            options.hangMs = static_cast<DWORD>(std::wcstoul(arguments[++i].c_str(), nullptr, 10));
        } else if (argument.starts_with(L"--")) {
            return false;
        } else {
            break;
        }
    }
    if (i < arguments.size()) {
        options.tool = arguments[i];
        options.toolArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     arguments.end());
    }
    return true;
}

class LogFile {
  public:
    bool open(const std::wstring& path) {
        file_ = shell::FileHandle(CreateFileW(
            path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file_);
    }

    // One unbuffered write per line: a reader sees whole lines at once.
    void writeLine(const std::string& line) {
        if (!file_)
            return;
        const std::string bytes = line + "\n";
        DWORD written = 0;
        WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

  private:
    shell::FileHandle file_;
};

shell::Font createMessageFont(int dpi) {
    NONCLIENTMETRICSW metrics;
    if (!shell::readNonClientMetrics(dpi, metrics))
        return shell::Font{};
    return shell::Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

std::wstring timeOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%02u:%02u:%02u.%03u", now.wHour, now.wMinute, now.wSecond,
             now.wMilliseconds);
    return text;
}

class ProbeWindow {
  public:
    explicit ProbeWindow(Options options) : options_(std::move(options)) {}
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    bool create(HINSTANCE instance, int show);
    void startTool();
    int run();

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createChildren();
    void applyDpi(int dpi);
    void layout();
    void onCopyData(WPARAM sender, const COPYDATASTRUCT& data);
    void onToolExit();
    void hangIfDue();
    void setStatus(const std::wstring& toolState);
    int scaled(int pixels) const { return shell::scaledForDpi(pixels, dpi_); }

    Options options_;
    LogFile log_;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    HWND list_ = nullptr;
    shell::Font font_;
    int dpi_ = 96;
    unsigned long long sequence_ = 0;
    shell::KernelHandle tool_;
    DWORD toolExitCode_ = 0;
};

bool ProbeWindow::create(HINSTANCE instance, int show) {
    if (!options_.logPath.empty())
        log_.open(options_.logPath);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &ProbeWindow::windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128)); // the suite's icon
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass))
        return false;
    window_ = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 900, 420, nullptr, nullptr, instance, this);
    if (!window_)
        return false;
    ShowWindow(window_, show);
    UpdateWindow(window_);
    return true;
}

void ProbeWindow::createChildren() {
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    status_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                              0, 0, 0, window_, nullptr, instance, nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
                                LVS_NOSORTHEADER,
                            0, 0, 0, 0, window_, nullptr, instance, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);

    struct Column {
        const wchar_t* name;
        int width; // at 96 DPI
    };
    static constexpr Column kColumns[] = {
        {L"seq", 40},    {L"time", 90},   {L"sender", 80},
        {L"dwData", 60}, {L"cbData", 60}, {L"summary", 1400},
    };
    int index = 0;
    for (const Column& column : kColumns) {
        LVCOLUMNW entry{};
        entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        entry.pszText = const_cast<wchar_t*>(column.name);
        entry.cx = scaled(column.width);
        entry.iSubItem = index;
        ListView_InsertColumn(list_, index, &entry);
        ++index;
    }
}

void ProbeWindow::applyDpi(int dpi) {
    const int previous = dpi_;
    dpi_ = dpi;
    font_ = createMessageFont(dpi_);
    for (HWND child : {status_, list_})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    if (previous != dpi_ && list_) {
        HWND header = ListView_GetHeader(list_);
        for (int column = 0; column < Header_GetItemCount(header); ++column)
            ListView_SetColumnWidth(list_, column,
                                    MulDiv(ListView_GetColumnWidth(list_, column), dpi_, previous));
    }
    layout();
}

void ProbeWindow::layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int margin = scaled(kMargin);
    const int statusHeight = scaled(kStatusHeight);
    MoveWindow(status_, margin, margin, client.right - 2 * margin, statusHeight, TRUE);
    const int listTop = 2 * margin + statusHeight;
    MoveWindow(list_, margin, listTop, client.right - 2 * margin,
               std::max<int>(0, static_cast<int>(client.bottom) - listTop - margin), TRUE);
}

void ProbeWindow::setStatus(const std::wstring& toolState) {
    const std::wstring handle = std::to_wstring(handleNumber(reinterpret_cast<UINT_PTR>(window_)));
    const std::wstring text = L"host hwnd=" + handle +
                              L"   (a tool started by hand takes this number as its first "
                              L"argument)\r\n" +
                              toolState;
    SetWindowTextW(status_, text.c_str());
}

void ProbeWindow::startTool() {
    const std::string hwndText = std::to_string(handleNumber(reinterpret_cast<UINT_PTR>(window_)));
    if (options_.tool.empty()) {
        log_.writeLine("host hwnd=" + hwndText + " tool_pid=0");
        setStatus(L"no tool: waiting for WM_COPYDATA");
        return;
    }
    wchar_t fullPath[MAX_PATH * 4] = {};
    wchar_t* fileName = nullptr;
    const DWORD length = GetFullPathNameW(options_.tool.c_str(), MAX_PATH * 4, fullPath, &fileName);
    const std::wstring toolPath = length > 0 && length < MAX_PATH * 4 ? fullPath : options_.tool;
    // The tool runs in its own folder, where it keeps its settings file.
    const std::size_t slash = toolPath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : toolPath.substr(0, slash);

    std::wstring commandLine = quoteArgument(toolPath) + L" " + widen(hwndText);
    for (const std::wstring& argument : options_.toolArguments)
        commandLine += L" " + quoteArgument(argument);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(toolPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        const DWORD error = GetLastError();
        log_.writeLine("host hwnd=" + hwndText + " tool_pid=0");
        log_.writeLine("tool_start_failed error=" + std::to_string(error));
        setStatus(L"could not start " + toolPath + L" (error " + std::to_wstring(error) + L")");
        if (options_.exitWithTool) {
            toolExitCode_ = 1;
            DestroyWindow(window_);
        }
        return;
    }
    CloseHandle(process.hThread);
    tool_.reset(process.hProcess);
    log_.writeLine("host hwnd=" + hwndText + " tool_pid=" + std::to_string(process.dwProcessId));
    setStatus(L"tool pid " + std::to_wstring(process.dwProcessId) + L" running: " + commandLine);
}

void ProbeWindow::onToolExit() {
    DWORD code = 0;
    GetExitCodeProcess(tool_.get(), &code);
    tool_.reset();
    toolExitCode_ = code;
    log_.writeLine("tool_exit code=" + std::to_string(code));
    setStatus(L"tool exited with code " + std::to_wstring(code));
    if (options_.exitWithTool)
        DestroyWindow(window_);
}

void ProbeWindow::onCopyData(WPARAM sender, const COPYDATASTRUCT& data) {
    // The block is only valid while the message is handled: copy it first.
    std::vector<std::uint8_t> bytes;
    if (data.lpData && data.cbData > 0) {
        const auto* first = static_cast<const std::uint8_t*>(data.lpData);
        bytes.assign(first, first + data.cbData);
    }
    ++sequence_;
    const std::string senderText = std::to_string(handleNumber(sender));
    log_.writeLine("copydata seq=" + std::to_string(sequence_) + " sender=" + senderText +
                   " dwData=" + std::to_string(static_cast<unsigned long long>(data.dwData)) +
                   " cbData=" + std::to_string(data.cbData) + " hex=" + hostprobe::toHex(bytes));

    const std::wstring cells[] = {
        std::to_wstring(sequence_),
        timeOfDay(),
        widen(senderText),
        std::to_wstring(static_cast<unsigned long long>(data.dwData)),
        std::to_wstring(data.cbData),
        widen(hostprobe::describePayload(bytes, &cp936ToUtf8)),
    };
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(list_);
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    const int row = ListView_InsertItem(list_, &item);
    if (row < 0)
        return;
    for (int column = 1; column < static_cast<int>(std::size(cells)); ++column)
        ListView_SetItemText(list_, row, column, const_cast<wchar_t*>(cells[column].c_str()));
    ListView_EnsureVisible(list_, row, FALSE);
}

LRESULT CALLBACK ProbeWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ProbeWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<ProbeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind through user32.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        return message == WM_COPYDATA ? TRUE : DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT ProbeWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        dpi_ = shell::dpiOf(window_);
        createChildren();
        applyDpi(dpi_);
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case kDpiChanged: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        applyDpi(HIWORD(wParam));
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COPYDATA:
        if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam))
            onCopyData(wParam, *data);
        return TRUE;
    case WM_DESTROY:
        // With --exit-with-tool the probe ends with the tool's exit code.
        PostQuitMessage(options_.exitWithTool ? static_cast<int>(toolExitCode_) : 0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// A host that stops answering: the thread sleeps without retrieving a single
// message, so the system soon counts the window as hung, and a tool's send
// waits or gives up.
void ProbeWindow::hangIfDue() {
    if (!options_.hangAfter || sequence_ < *options_.hangAfter)
        return;
    options_.hangAfter.reset();
    log_.writeLine("hang start ms=" + std::to_string(options_.hangMs));
    Sleep(options_.hangMs);
    log_.writeLine("hang end");
}

// The message loop also watches the tool's process, so its end is noticed on
// this thread, after every message it sent has been handled.
int ProbeWindow::run() {
    for (;;) {
        hangIfDue();
        const HANDLE tool = tool_.get();
        const DWORD handles = tool ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjectsEx(handles, tool ? &tool : nullptr, INFINITE,
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (handles && woke == WAIT_OBJECT_0) {
            onToolExit();
            continue;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

std::vector<std::wstring> commandLineArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> result;
    for (int i = 1; arguments && i < count; ++i)
        result.emplace_back(arguments[i]);
    LocalFree(arguments);
    return result;
}

int runProbe(HINSTANCE instance, int show) {
    Options options;
    if (!parseOptions(commandLineArguments(), options)) {
        MessageBoxW(nullptr, kUsage, kWindowTitle, MB_OK);
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ProbeWindow probe(std::move(options));
    if (!probe.create(instance, show))
        return 1;
    probe.startTool();
    return probe.run();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    shell::restrictDllSearch();
    try {
        return runProbe(instance, show);
    } catch (...) {
        return 3;
    }
}
