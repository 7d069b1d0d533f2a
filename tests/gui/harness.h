// Driving the real tool programs from outside, as a user would: start a copy
// of a tool in a folder of its own, find its dialog, press buttons, type into
// boxes, read lists across the process boundary, answer message boxes and
// file dialogs, read the clipboard and the files a tool writes, and play the
// host with hostprobe. Every wait polls with a timeout. Actions that may open
// a modal box are posted, never sent, so that the test is never blocked.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
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
inline std::string utf8(std::wstring_view text) {
    return narrowed(CP_UTF8, text);
}
inline std::string codePage936(std::wstring_view text) {
    return narrowed(936, text);
}
std::wstring wide(std::string_view utf8Text);

std::optional<std::string> readFileBytes(const std::filesystem::path& path);
bool writeFileBytes(const std::filesystem::path& path, std::string_view bytes);
// TT_GUI_TOOL_DIR (a Windows path, such as the 32-bit programs') when set,
// else the test program's own folder.
std::filesystem::path programDirectory();

// A fresh temporary folder, removed with its contents when the object goes
// (kept when TT_GUI_KEEP_TEMP is set).
class TempFolder {
  public:
    explicit TempFolder(std::wstring_view prefix = L"gui");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::wstring_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

bool waitUntil(const std::function<bool()>& condition, Millis timeout = kTimeout);
inline void pause(Millis time) {
    Sleep(static_cast<DWORD>(time.count()));
}

// A started program, ended when the last copy of this object goes.
class Process {
  public:
    Process() = default;
    // `workDir` empty: the program's own folder.
    static Process start(const std::filesystem::path& program,
                         const std::vector<std::wstring>& arguments = {},
                         const std::filesystem::path& workDir = {});
    // Copies `exeName` from programDirectory() into `folder`; empty on failure.
    static std::filesystem::path copyProgram(std::wstring_view exeName, const TempFolder& folder);
    // copyProgram, then start the copy there (its settings stay in `folder`).
    static Process startCopy(std::wstring_view exeName, const TempFolder& folder,
                             const std::vector<std::wstring>& arguments = {});
    static Process attach(DWORD processId);

    explicit operator bool() const { return handle_ != nullptr; }
    DWORD id() const { return id_; }
    bool running() const {
        return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
    }
    std::optional<DWORD> waitForExit() const;

  private:
    Process(HANDLE handle, DWORD id);
    std::shared_ptr<void> handle_;
    DWORD id_ = 0;
};

std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
// Visible top-level windows of a process, optionally of one class.
std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// The visible, unowned dialog of a process (a tool's main window), settled.
HWND waitForMainDialog(DWORD processId);
// A visible dialog (message box, About box, file dialog) owned by `owner`.
HWND findOwnedDialog(HWND owner);
HWND waitForOwnedDialog(HWND owner);
// Children of a dialog in z order, all or of one class (case ignored).
std::vector<HWND> childWindows(HWND dialog, const wchar_t* className = nullptr);
HWND childWithText(HWND dialog, std::wstring_view text);
std::vector<std::wstring> staticTexts(HWND dialog);

inline HWND control(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}
inline std::wstring controlText(HWND dialog, int id) {
    return windowText(control(dialog, id));
}
bool setControlText(HWND dialog, int id, std::wstring_view text);
inline bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(control(dialog, id)) != FALSE;
}
bool isChecked(HWND dialog, int id);

// Posted WM_COMMAND (menu items: code 0).
void postCommand(HWND dialog, int id, int code = 0);
inline void clickButton(HWND dialog, int id) {
    postCommand(dialog, id, BN_CLICKED);
}
// `id` set to `checked`, the rest of `group` cleared, then BN_CLICKED.
void clickRadio(HWND dialog, int id, std::initializer_list<int> group, bool checked = true);
inline void setCheckBox(HWND dialog, int id, bool checked) {
    clickRadio(dialog, id, {id}, checked);
}
inline void postSysCommand(HWND window, WPARAM command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}
// CB_SETCURSEL, then CBN_SELCHANGE posted.
bool selectComboItem(HWND dialog, int id, int index);
int comboSelection(HWND dialog, int id);

// Posted WM_KEYDOWN, WM_CHAR (when the key has one), WM_KEYUP: the dialog's
// message loop sees the key as typed in `window`.
void pressKey(HWND window, UINT virtualKey);
bool focusControl(HWND dialog, int id);
// Returns once the dialog's thread has handled every message posted to it
// before the call (also while it shows a modal box).
bool flush(HWND dialog, Millis timeout = kTimeout);

struct MessageBoxSeen {
    std::wstring title, text;
};
// Presses a button of a box (posted) and waits until the box is gone.
bool dismiss(HWND box, int buttonId = IDOK);
// A message box owned by `owner`, read, then OK.
std::optional<MessageBoxSeen> answerMessageBox(HWND owner);

// Another process's list-view control (64- or 32-bit), read through a buffer
// in that process.
class RemoteListView {
  public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    int rowCount() const;
    std::vector<std::wstring> row(int index) const;
    // A cell's rectangle in screen coordinates (column 0 ends where column 1 begins).
    std::optional<RECT> cellOnScreen(int row, int column) const;

  private:
    std::wstring cell(int row, int column) const;
    HWND list_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
    bool narrow_ = false; // a 32-bit tool read by a 64-bit test
};
inline std::optional<RECT> listCellOnScreen(HWND list, int row, int column) {
    return RemoteListView(list).cellOnScreen(row, column);
}

bool setClipboardText(std::string_view bytes);
// The CF_TEXT bytes up to the terminating zero.
std::optional<std::string> clipboardText();
// The clipboard held open for the scope, as another program would hold it.
struct ClipboardHold {
    bool held = OpenClipboard(nullptr) != FALSE;
    ClipboardHold() = default;
    ClipboardHold(const ClipboardHold&) = delete;
    ~ClipboardHold() {
        if (held)
            CloseClipboard();
    }
    explicit operator bool() const { return held; }
};
inline constexpr char kCopyFailedText[] = "复制失败: 剪贴板正被其他程序占用, 请稍后再试。";

// Completes an open or save dialog owned by `owner` with `file`; with
// `replacing`, answers Yes to replacing the existing `file`.
bool completeFileDialog(HWND owner, const std::filesystem::path& file, bool replacing = false);

// A file with `bytes` that the test holds open, shared with nobody.
class LockedFile {
  public:
    LockedFile(std::filesystem::path path, std::string_view bytes);
    ~LockedFile() { CloseHandle(handle_); }
    LockedFile(const LockedFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    HANDLE handle_;
};
// What a tool says of a file it could not write.
inline std::string writeFailureText(const std::filesystem::path& file) {
    return "无法写入文件:\n" + utf8(file.wstring());
}

struct CopyDataMessage {
    std::uint64_t sender = 0, dwData = 0;
    std::uint32_t cbData = 0;
    std::vector<std::uint8_t> bytes;
};
struct HostLog {
    std::vector<CopyDataMessage> messages;
    bool hangStarted = false;
};

// hostprobe.exe as a host: its window, the tool it started with that window's
// handle (none when `toolExe` is empty) and the log of every WM_COPYDATA.
class HostProbe {
  public:
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

  private:
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
// xdotool key names ("Return", "End", "7") typed into the focused window.
inline bool typeKeysOnDisplay(std::vector<std::string> keys) {
    keys.insert(keys.begin(), {"xdotool", "key", "--delay", "50"});
    return runX11Command(keys);
}
// A real click at a screen point (button 1 left, 3 right).
inline bool clickOnDisplay(int x, int y, int button = 1) {
    return runX11Command({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
                          std::to_string(button)});
}
// A real left click near a control's left edge, halfway down.
inline bool clickControlOnDisplay(HWND dialog, int id) {
    const RECT rect = screenRect(control(dialog, id));
    return clickOnDisplay(rect.left + std::min<int>(8, (rect.right - rect.left) / 2),
                          (rect.top + rect.bottom) / 2);
}
COLORREF screenPixel(int x, int y);

} // namespace gui
