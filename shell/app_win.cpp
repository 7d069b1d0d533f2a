#include "shell/app_win.h"

#include "shell/dll_search_win.h"
#include "shell/field_text.h"
#include "shell/strconv_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

namespace shell {
namespace {

struct ProcessState {
    HINSTANCE instance = nullptr;
    HostLink hostLink;
    std::wstring appName;
    bool mainWindowOpened = false;
};

ProcessState& state() {
    static ProcessState s;
    return s;
}

std::wstring programFileName() {
    const std::wstring path = programPath();
    const auto slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.resize(dot);
    return name;
}

HostLink hostLinkFromCommandLine() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    HostLink link;
    if (count >= 2)
        link = HostLink(hostHandleFromArgument(toUtf8(arguments[1])));
    LocalFree(arguments);
    return link;
}

} // namespace

std::wstring programPath() {
    // GetModuleFileNameW cuts a path that does not fit, so grow until it does.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L"";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HINSTANCE instance() {
    return state().instance;
}
const HostLink& hostLink() {
    return state().hostLink;
}
const std::wstring& appName() {
    return state().appName;
}

int startTool(HINSTANCE instance, const ToolTraits& traits,
              const std::function<void()>& runMainDialog) {
    restrictDllSearch();
    ProcessState& process = state();
    process.instance = instance;
    process.appName = programFileName();
    process.mainWindowOpened = false;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    bool oleReady = false;
    if (traits.usesRichEdit) {
        oleReady = SUCCEEDED(OleInitialize(nullptr));
        loadSystemLibrary(L"Msftedit.dll");
    }
    if (traits.readsCommandLine)
        process.hostLink = hostLinkFromCommandLine();

    runMainDialog();
    if (!process.mainWindowOpened)
        showMessage(nullptr, L"无法创建程序窗口。");

    if (oleReady)
        OleUninitialize();
    return process.mainWindowOpened ? 0 : 1;
}

void noteMainWindowOpened() {
    state().mainWindowOpened = true;
}

void showMessage(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), appName().c_str(), MB_OK);
}

void showCopyFailure(HWND owner) {
    showMessage(owner, L"复制失败: 剪贴板正被其他程序占用, 请稍后再试。");
}

void showWriteFailure(HWND owner, const std::wstring& path) {
    showMessage(owner, L"无法写入文件:\n" + path);
}

} // namespace shell
