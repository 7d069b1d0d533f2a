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
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
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
// The lines without their line ends.
std::vector<std::string> splitLines(std::string_view text);
// A settings file's lines without trailing empty lines; nothing when unreadable.
std::vector<std::string> iniLines(const std::filesystem::path& file);

// TT_GUI_TOOL_DIR (a Windows path, such as the 32-bit programs') when set,
// else the test program's own folder.
std::filesystem::path programDirectory();
// TT_SCREENSHOT_DIR, else build/screenshots.
std::filesystem::path screenshotDirectory();

// A fresh temporary folder, removed with its contents when the object goes
// (kept when TT_GUI_KEEP_TEMP is set).
class TempFolder {
  public:
    explicit TempFolder(std::wstring_view prefix = L"gui");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::wstring_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Little-endian fields of a hand-off record.
template <class T = std::uint32_t>
T recordField(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}
inline std::uint32_t word32(const std::vector<std::uint8_t>& b, std::size_t at) { return recordField(b, at); }
inline float real32(const std::vector<std::uint8_t>& b, std::size_t at) { return recordField<float>(b, at); }
inline bool allZero(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    return std::all_of(&bytes[from], &bytes[0] + to, [](std::uint8_t b) { return b == 0; });
}


bool waitUntil(const std::function<bool()>& condition, Millis timeout = kTimeout);
inline void pause(Millis time) { Sleep(static_cast<DWORD>(time.count())); }


// A started program; the destructor ends it if it still runs.
class Process {
  public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

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
    bool running() const;
    std::optional<DWORD> waitForExit(Millis timeout = kTimeout) const;
    void terminate();

  private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};


std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
DWORD windowProcess(HWND window);
// Visible top-level windows of a process, optionally of one class.
std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// The visible, unowned dialog of a process (a tool's main window), settled.
HWND waitForMainDialog(DWORD processId, Millis timeout = kTimeout);
// A visible dialog (message box, About box, file dialog) owned by `owner`.
HWND findOwnedDialog(HWND owner);
HWND waitForOwnedDialog(HWND owner, Millis timeout = kTimeout);
inline bool waitForWindowGone(HWND window, Millis timeout = kTimeout) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}
// Children of a dialog in z order, all or of one class (case ignored).
std::vector<HWND> childWindows(HWND dialog, const wchar_t* className = nullptr);
HWND childWithText(HWND dialog, std::wstring_view text);
std::vector<std::wstring> staticTexts(HWND dialog);


inline HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }
inline std::wstring controlText(HWND dialog, int id) { return windowText(control(dialog, id)); }
bool setControlText(HWND dialog, int id, std::wstring_view text);
inline bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(control(dialog, id)) != FALSE; }
bool isChecked(HWND dialog, int id);

// Posted WM_COMMAND (menu items: code 0).
void postCommand(HWND dialog, int id, int code = 0);
// BN_CLICKED, as a click sends it.
inline void clickButton(HWND dialog, int id) { postCommand(dialog, id, BN_CLICKED); }
// BM_SETCHECK, then BN_CLICKED.
void setCheckBox(HWND dialog, int id, bool checked);
// `id` checked, the rest of `group` cleared, then BN_CLICKED.
void clickRadio(HWND dialog, int id, std::initializer_list<int> group);
inline void postSysCommand(HWND window, WPARAM command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

// CB_SETCURSEL, then CBN_SELCHANGE posted.
bool selectComboItem(HWND dialog, int id, int index);
int comboSelection(HWND dialog, int id);
int comboItemCount(HWND dialog, int id);

// Posted WM_KEYDOWN, WM_CHAR (when the key has one), WM_KEYUP: the dialog's
// message loop sees the key as typed in `window`.
void pressKey(HWND window, UINT virtualKey);
bool focusControl(HWND dialog, int id);

// Returns once the dialog's thread has handled every message posted to it
// before the call (also while it shows a modal box).
bool flush(HWND dialog, Millis timeout = kTimeout);


struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};
// A message box owned by `owner`, read and left open.
std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, Millis timeout = kTimeout);
// Presses a button of a box (posted) and waits until the box is gone.
bool dismiss(HWND box, int buttonId = IDOK, Millis timeout = kTimeout);
// waitForMessageBox, then OK.
std::optional<MessageBoxSeen> answerMessageBox(HWND owner, Millis timeout = kTimeout);


// Another process's list-view control (64- or 32-bit), read through a buffer
// in that process.
class RemoteListView {
  public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    explicit operator bool() const { return memory_ != nullptr; }
    int rowCount() const;
    int columnCount() const;
    std::wstring columnName(int column) const;
    std::wstring cell(int row, int column) const;
    std::vector<std::wstring> row(int index) const;
    // A cell's rectangle in screen coordinates (column 0 ends where column 1 begins).
    std::optional<RECT> cellOnScreen(int row, int column) const;

  private:
    template <class Wide, class Narrow>
    std::wstring askText(UINT message, WPARAM wParam, Wide request, Narrow request32) const;

    HWND list_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
    bool narrow_ = false; // a 32-bit tool read by a 64-bit test
};


bool setClipboardText(std::string_view bytes);
// The CF_TEXT bytes up to the terminating zero.
std::optional<std::string> clipboardText(Millis timeout = kTimeout);

// The clipboard held open for the scope, as another program would hold it.
class ClipboardHold {
  public:
    ClipboardHold() : held_(OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardHold() {
        if (held_)
            CloseClipboard();
    }
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    explicit operator bool() const { return held_; }

  private:
    bool held_;
};
inline constexpr char kCopyFailedText[] = "复制失败: 剪贴板正被其他程序占用, 请稍后再试。";


// Completes an open or save dialog owned by `owner` with `file`.
bool completeFileDialog(HWND owner, const std::filesystem::path& file, Millis timeout = kTimeout);
// The same with an existing `file`, answering Yes to replacing it.
bool completeSaveDialogReplacing(HWND owner, const std::filesystem::path& file,
                                 Millis timeout = kTimeout);

// A file with `bytes` that the test holds open, shared with nobody.
class LockedFile {
  public:
    LockedFile(std::filesystem::path path, std::string_view bytes);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
// What a tool says of a file it could not write.
inline std::string writeFailureText(const std::filesystem::path& file) {
    return "无法写入文件:\n" + utf8(file.wstring());
}


struct CopyDataMessage {
    int seq = 0;
    std::uint64_t sender = 0;
    std::uint64_t dwData = 0;
    std::uint32_t cbData = 0;
    std::vector<std::uint8_t> bytes;
};
struct HostLog {
    std::optional<std::uint64_t> hostWindow;
    std::optional<DWORD> toolProcessId;
    std::vector<CopyDataMessage> messages;
    std::optional<int> toolExitCode;
    bool hangStarted = false;
    bool hangEnded = false;
};
HostLog parseHostLog(std::string_view text);

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
    bool waitForMessages(std::size_t count, Millis timeout = kTimeout) const;
    Process& probe() { return probe_; }
    Process& tool() { return tool_; }
    std::uint64_t hostWindow() const { return hostWindow_; }

  private:
    Process probe_;
    Process tool_;
    std::filesystem::path log_;
    std::uint64_t hostWindow_ = 0;
};


int windowDpi(HWND window);
// Saves screenshotDirectory()/<baseName>-<dpi>dpi.bmp.
std::optional<std::filesystem::path> saveScreenshot(HWND window, std::wstring_view baseName);
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
bool typeKeysOnDisplay(const std::vector<std::string>& keys);
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
inline std::optional<RECT> listCellOnScreen(HWND list, int row, int column) {
    return RemoteListView(list).cellOnScreen(row, column);
}
COLORREF screenPixel(int x, int y);

} // namespace gui
