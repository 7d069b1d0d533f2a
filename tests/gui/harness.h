// Driving the real tool programs from outside, as a user would: start a copy
// of a tool in a folder of its own, find its dialog, press buttons, type into
// boxes, read lists across the process boundary, answer message boxes and
// file dialogs, read the clipboard and the files a tool writes, and play the
// host with hostprobe. Every wait polls with a timeout. Actions that may open
// a modal box are posted, never sent, so that the test is never blocked.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gui {

using Millis = std::chrono::milliseconds;
inline constexpr Millis kTimeout{20000};
// A window that has just appeared may still be settling under Wine.
inline constexpr Millis kSettle{150};

std::string narrowed(UINT codePage, std::wstring_view text);
inline std::string utf8(std::wstring_view text) { return narrowed(CP_UTF8, text); }
inline std::string codePage936(std::wstring_view text) { return narrowed(936, text); }
std::wstring wide(std::string_view utf8Text);

std::optional<std::string> readFileBytes(const std::filesystem::path& path);
bool writeFileBytes(const std::filesystem::path& path, std::string_view bytes);
// TT_GUI_TOOL_DIR (such as the 32-bit programs' folder), else the test program's.
std::filesystem::path programDirectory();

// A fresh temporary folder, removed when the object goes (kept with TT_GUI_KEEP_TEMP).
struct TempFolder {
    explicit TempFolder(std::wstring_view prefix = L"gui");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::wstring_view name) const { return path_ / name; }
    std::filesystem::path path_;
};

bool waitUntil(const std::function<bool()>& condition, Millis timeout = kTimeout);
inline void pause(Millis time) { Sleep(static_cast<DWORD>(time.count())); }

// A started program, ended when the last copy of this object goes.
struct Process {
    Process() = default;
    Process(HANDLE handle, DWORD id);
    static Process start(const std::filesystem::path& program,
                         const std::vector<std::wstring>& arguments = {},
                         const std::filesystem::path& workDir = {});
    // A copy of programDirectory()/`exeName` in `folder`, where its settings stay.
    static std::filesystem::path copyProgram(std::wstring_view exeName, const TempFolder& folder);
    static Process startCopy(std::wstring_view exeName, const TempFolder& folder,
                             const std::vector<std::wstring>& arguments = {});

    explicit operator bool() const { return handle_ != nullptr; }
    DWORD id() const { return id_; }
    bool running() const {
        return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
    }
    std::optional<DWORD> waitForExit() const;
    std::shared_ptr<void> handle_;
    DWORD id_ = 0;
};

// Sent with a timeout, so that a hung tool cannot block the test.
std::optional<LRESULT> sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// A visible dialog of the process owned by `owner`: with none, the tool's main window.
HWND findOwnedDialog(HWND owner, DWORD processId = 0);
inline HWND waitForOwnedDialog(HWND owner, DWORD processId = 0) {
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = findOwnedDialog(owner, processId)) != nullptr; });
    return dialog;
}
inline HWND waitForMainDialog(DWORD processId) {
    const HWND dialog = waitForOwnedDialog(nullptr, processId);
    return dialog ? (pause(kSettle), dialog) : nullptr;
}
// Children of a dialog in z order, all or of one class (case ignored).
std::vector<HWND> childWindows(HWND dialog, const wchar_t* className = nullptr);
HWND childWithText(HWND dialog, std::wstring_view text);

inline HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }
inline std::wstring controlText(HWND dialog, int id) { return windowText(control(dialog, id)); }
inline bool setControlText(HWND dialog, int id, std::wstring_view text) {
    const std::wstring value(text);
    return sendWithTimeout(control(dialog, id), WM_SETTEXT, 0, LPARAM(value.c_str())).value_or(0);
}
inline bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(control(dialog, id)) != FALSE; }
inline bool isChecked(HWND dialog, int id) {
    return sendWithTimeout(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline void postCommand(HWND dialog, int id, int code = 0) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(control(dialog, id)));
}
inline void clickButton(HWND dialog, int id) { postCommand(dialog, id, BN_CLICKED); }
// `id` set to `checked`, the rest of `group` cleared, then clicked.
inline void clickRadio(HWND dialog, int id, std::initializer_list<int> group, bool checked = true) {
    for (int other : group)
        PostMessageW(control(dialog, other), BM_SETCHECK, other == id && checked, 0);
    clickButton(dialog, id);
}
inline void setCheckBox(HWND dialog, int id, bool on) { clickRadio(dialog, id, {id}, on); }
inline void postSysCommand(HWND window, WPARAM command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}
inline bool selectComboItem(HWND dialog, int id, int index) {
    if (sendWithTimeout(control(dialog, id), CB_SETCURSEL, WPARAM(index), 0) != index)
        return false;
    postCommand(dialog, id, CBN_SELCHANGE);
    return true;
}
inline int comboSelection(HWND dialog, int id) {
    return int(sendWithTimeout(control(dialog, id), CB_GETCURSEL, 0, 0).value_or(-2));
}

// Posted key down, character and up: the dialog's loop sees it as typed in `window`.
void pressKey(HWND window, UINT virtualKey);
// Once the dialog's thread has handled all posted before (also under a modal box).
bool flush(HWND dialog, Millis timeout = kTimeout);
inline bool focusControl(HWND dialog, int id) {
    // With a window handle, WM_NEXTDLGCTL moves the focus as Tab does.
    PostMessageW(dialog, WM_NEXTDLGCTL, WPARAM(control(dialog, id)), TRUE);
    return flush(dialog);
}

inline bool dismiss(HWND box, int buttonId = IDOK) {
    clickButton(box, buttonId);
    return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}
struct MessageBoxSeen { std::wstring title, text; };
// A message box owned by `owner`, read, then OK.
std::optional<MessageBoxSeen> answerMessageBox(HWND owner);

// Another process's list-view (64- or 32-bit), read through a buffer in that process.
struct RemoteListView {
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    int rowCount() const { return int(sendWithTimeout(list_, LVM_GETITEMCOUNT, 0, 0).value_or(-1)); }
    std::vector<std::wstring> row(int index) const;
    std::wstring cell(int row, int column) const;
    HWND list_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
    bool narrow_ = false; // a 32-bit tool read by a 64-bit test
};
// A cell's rectangle on screen (column 0 ends where column 1 begins).
std::optional<RECT> listCellOnScreen(HWND list, int row, int column);

bool setClipboardText(std::string_view bytes);
std::optional<std::string> clipboardText();
// The clipboard held open for the scope, as another program would hold it.
struct ClipboardHold {
    bool held = OpenClipboard(nullptr) != FALSE;
    ~ClipboardHold() {
        if (held)
            CloseClipboard();
    }
    explicit operator bool() const { return held; }
};
inline constexpr char kCopyFailedText[] = "复制失败: 剪贴板正被其他程序占用, 请稍后再试。";

// Completes an open or save dialog owned by `owner` with `file` (Yes to `replacing` it).
bool completeFileDialog(HWND owner, const std::filesystem::path& file, bool replacing = false);

// A file with `bytes` that the test holds open, shared with nobody.
struct LockedFile {
    LockedFile(std::filesystem::path file, std::string_view bytes);
    ~LockedFile() { CloseHandle(handle); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path path_;
    HANDLE handle;
};
inline std::string writeFailureText(const std::filesystem::path& file) {
    return "无法写入文件:\n" + utf8(file.wstring());
}

struct CopyDataMessage {
    std::uint64_t sender = 0, dwData = 0;
    std::uint32_t cbData = 0;
    std::vector<std::uint8_t> bytes{};
};
struct HostLog {
    std::vector<CopyDataMessage> messages;
    bool hangStarted = false;
};

// hostprobe.exe as a host, with the tool it started (if any) and its WM_COPYDATA log.
struct HostProbe {
    // `probeOptions` go to hostprobe itself (such as --hang-after N).
    static std::optional<HostProbe> start(const std::filesystem::path& toolExe,
                                          const std::filesystem::path& log,
                                          const std::vector<std::wstring>& toolArguments = {},
                                          const std::vector<std::wstring>& probeOptions = {});
    HostLog read() const;
    bool waitForMessages(std::size_t count) const {
        return waitUntil([&] { return read().messages.size() >= count; });
    }
    Process& tool() { return tool_; }
    std::uint64_t hostWindow() const { return hostWindow_; }
    Process probe_, tool_;
    std::filesystem::path log_;
    std::uint64_t hostWindow_ = 0;
};

// Wine's Unix path of a Windows path (nothing on Windows).
std::optional<std::string> unixPath(const std::filesystem::path& path);
// Runs a Unix program (xdotool, chmod) and waits for it; true on status 0.
bool runX11Command(const std::vector<std::string>& argv, Millis timeout = kTimeout);
// Screen coordinates, which are the X root's under Wine's virtual desktop.
inline RECT screenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}
// Real clicks: button 1 left, 3 right; on a control near its left edge, halfway down.
inline bool clickOnDisplay(int x, int y, int button = 1) {
    return runX11Command({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
                          std::to_string(button)});
}
inline bool clickControlOnDisplay(HWND dialog, int id) {
    const RECT rect = screenRect(control(dialog, id));
    return clickOnDisplay(rect.left + std::min<int>(8, (rect.right - rect.left) / 2),
                          (rect.top + rect.bottom) / 2);
}
COLORREF screenPixel(int x, int y);

} // namespace gui
