// Driving the suite's real tool programs from outside, as a user would: start
// a copy of a tool in a folder of its own, find its dialog, press buttons,
// type into boxes, read lists across the process boundary, answer message
// boxes and file dialogs, read the clipboard and the files the tool writes,
// play the host with hostprobe, and take screenshots.
//
// Every wait has a timeout. Actions on another process's dialog are posted
// (PostMessage), never sent, where the tool may answer with a modal box: a
// sent message would block the test until somebody closed that box.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace gui {

using Millis = std::chrono::milliseconds;
// Generous: a loaded machine under Wine can take seconds to show a window.
inline constexpr Millis kTimeout{20000};
// A window that has just appeared may still be settling under Wine.
inline constexpr Millis kSettle{150};

// ---------------------------------------------------------------- text, files

std::string utf8(std::wstring_view text);
std::wstring wide(std::string_view utf8Text);
// Bytes in code page 936 as the tools write them to files and the clipboard.
std::string codePage936(std::wstring_view text);

std::optional<std::string> readFileBytes(const std::filesystem::path& path);
bool writeFileBytes(const std::filesystem::path& path, std::string_view bytes);
// The lines of a text file without their line ends.
std::vector<std::string> splitLines(std::string_view text);

// The folder of the programs under test: TT_GUI_TOOL_DIR when set (a Windows
// path, such as the 32-bit programs' folder), else the test program's own,
// beside which the tools are built.
std::filesystem::path programDirectory();
// TT_SCREENSHOT_DIR, else build/screenshots (two levels above bin/).
std::filesystem::path screenshotDirectory();

// A fresh folder under the temporary directory, removed with its contents
// when the object goes (kept when TT_GUI_KEEP_TEMP is set).
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

// A settings file's lines without their line ends and without trailing
// empty lines; nothing when the file cannot be read.
std::vector<std::string> iniLines(const std::filesystem::path& file);

// Fields of a little-endian hand-off record.
std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t offset);
float real32(const std::vector<std::uint8_t>& bytes, std::size_t offset);
// Whether bytes [from, to) are all zero.
bool allZero(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to);

// ---------------------------------------------------------------- waiting

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool waitUntil(const std::function<bool()>& condition, Millis timeout = kTimeout);
void pause(Millis time);

// ---------------------------------------------------------------- processes

// A program started by a test. The destructor ends it if it still runs, so a
// failing test never leaves a tool (or its message box) behind.
class Process {
  public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `program` with `arguments` (each quoted as needed) in `workDir`.
    static Process start(const std::filesystem::path& program,
                         const std::vector<std::wstring>& arguments = {},
                         const std::filesystem::path& workDir = {});
    // Copies `exeName` from programDirectory() into `folder`; returns the copy
    // (empty when it could not be made).
    static std::filesystem::path copyProgram(std::wstring_view exeName, const TempFolder& folder);
    // Copies `exeName` from programDirectory() into `folder` and starts the
    // copy there, so that the tool keeps its settings beside itself in the folder.
    static Process startCopy(std::wstring_view exeName, const TempFolder& folder,
                             const std::vector<std::wstring>& arguments = {});
    // Takes over a process somebody else started (to end it at the latest in teardown).
    static Process attach(DWORD processId);

    explicit operator bool() const { return handle_ != nullptr; }
    DWORD id() const { return id_; }
    bool running() const;
    // The exit code, or nothing when the process still runs after `timeout`.
    std::optional<DWORD> waitForExit(Millis timeout = kTimeout) const;
    void terminate();

  private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// ---------------------------------------------------------------- windows

std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
DWORD windowProcess(HWND window);
// Visible top-level windows of a process, optionally of one class.
std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// The visible, unowned top-level dialog (#32770) of a process: a tool's main
// window. Waits kSettle after it appears. Null after the timeout.
HWND waitForMainDialog(DWORD processId, Millis timeout = kTimeout);
// A visible dialog (#32770: message box, About box, file dialog) owned by `owner`.
HWND findOwnedDialog(HWND owner);
HWND waitForOwnedDialog(HWND owner, Millis timeout = kTimeout);
bool waitForWindowGone(HWND window, Millis timeout = kTimeout);
// The texts of a window's static children, in z order.
std::vector<std::wstring> staticTexts(HWND dialog);

// ---------------------------------------------------------------- controls

HWND control(HWND dialog, int id);
std::wstring controlText(HWND dialog, int id);
// WM_SETTEXT (edit boxes only notify the dialog, which never opens a box on that).
bool setControlText(HWND dialog, int id, std::wstring_view text);
bool isEnabled(HWND dialog, int id);
bool isChecked(HWND dialog, int id);

// Posted WM_COMMAND BN_CLICKED for a push button, as its click sends it.
void clickButton(HWND dialog, int id);
// A check box clicked into the given state: BM_SETCHECK, then BN_CLICKED.
void setCheckBox(HWND dialog, int id, bool checked);
// A radio button clicked: it gets checked, the others of `group` cleared, BN_CLICKED.
void clickRadio(HWND dialog, int id, std::initializer_list<int> group);
// Posted WM_COMMAND with any id and code (menu items: code 0).
void postCommand(HWND dialog, int id, int code = 0);
void postSysCommand(HWND window, WPARAM command);

// Drop-down lists: CB_SETCURSEL, then CBN_SELCHANGE posted to the dialog.
bool selectComboItem(HWND dialog, int id, int index);
int comboSelection(HWND dialog, int id);
int comboItemCount(HWND dialog, int id);

// A key pressed and released in `window` (posted WM_KEYDOWN, WM_CHAR for
// keys that have one, WM_KEYUP): the dialog's message loop sees it as typed
// while that window has the focus, so a dialog key reaches IsDialogMessage.
void pressKey(HWND window, UINT virtualKey);
// Gives the focus to a control of another process's dialog.
bool focusControl(HWND dialog, int id);

// Returns once the dialog's thread has taken every message posted to it
// before this call (a marker posted behind them comes back). Works while the
// tool shows a modal box, whose loop dispatches posted messages too.
bool flush(HWND dialog, Millis timeout = kTimeout);

// ---------------------------------------------------------------- message boxes

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text; // the message (static 0xFFFF)
};
// A message box owned by `owner`, read but left open.
std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, Millis timeout = kTimeout);
// Presses a button of a dialog or message box (posted WM_COMMAND) and waits until it closes.
bool dismiss(HWND box, int buttonId = IDOK, Millis timeout = kTimeout);
// Waits for a message box owned by `owner`, reads it and presses OK.
std::optional<MessageBoxSeen> answerMessageBox(HWND owner, Millis timeout = kTimeout);

// ---------------------------------------------------------------- list views

// Reads another process's list-view control. Item texts go through a buffer
// allocated in the tool's process (a local pointer would mean nothing there).
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
    std::vector<std::wstring> column(int index) const;

  private:
    HWND list_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
    bool narrow_ = false; // a 32-bit tool read by a 64-bit test
};

// ---------------------------------------------------------------- clipboard

// Places a known text (so a later copy can be told from an old one).
bool setClipboardText(std::string_view bytes);
// The CF_TEXT bytes up to the terminating zero; nothing when the clipboard
// holds no CF_TEXT or cannot be opened within the timeout.
std::optional<std::string> clipboardText(Millis timeout = kTimeout);

// ---------------------------------------------------------------- file dialogs

// Completes an open or save dialog owned by `owner`: the path goes into the
// file-name box (combo 1148 or edit 1152) and OK is pressed. False when no
// such dialog shows up or it does not close.
bool completeFileDialog(HWND owner, const std::filesystem::path& file, Millis timeout = kTimeout);

// ---------------------------------------------------------------- the host

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
};
HostLog parseHostLog(std::string_view text);

// hostprobe.exe as the host of one tool: it opens its window, starts the tool
// with that window's handle and logs every WM_COPYDATA.
class HostProbe {
  public:
    // Starts hostprobe with the tool at `toolExe` (plus `toolArguments`),
    // logging into `log`, and waits until it has started the tool.
    static std::optional<HostProbe> start(const std::filesystem::path& toolExe,
                                          const std::filesystem::path& log,
                                          const std::vector<std::wstring>& toolArguments = {});
    HostLog read() const;
    // Waits until the log holds at least `count` messages.
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

// ---------------------------------------------------------------- screenshots and real input

// The DPI the window is shown at (GetDpiForWindow where it exists).
int windowDpi(HWND window);
// Saves the window as screenshotDirectory()/<baseName>-<dpi>dpi.bmp; returns the path.
std::optional<std::filesystem::path> saveScreenshot(HWND window, std::wstring_view baseName);

// Wine's own conversion from a Windows path to the Unix one (nothing on Windows).
std::optional<std::string> unixPath(const std::filesystem::path& path);

// Runs an X11 program (xdotool) on the display Wine uses and waits for it.
// Real mouse and keyboard input reach Wine's windows this way.
bool runX11Command(const std::vector<std::string>& argv, Millis timeout = kTimeout);
// The window's rectangle in screen coordinates, which are the X root's
// coordinates under Wine's virtual desktop at the origin.
RECT screenRect(HWND window);
// xdotool key: keys (X keysym names such as "Return", "Down", "7") typed into
// whatever window has the focus, 50 ms apart.
bool typeKeysOnDisplay(const std::vector<std::string>& keys);
// xdotool mousemove + click at a screen point (button 1 left, 3 right). Two
// clicks at one spot within the double-click time make a double click.
bool clickOnDisplay(int x, int y, int button = 1);
// A real left click on a control, near its left edge (on the box of a check
// box or radio button) and halfway down.
bool clickControlOnDisplay(HWND dialog, int id);

// ---------------------------------------------------------------- calculators: cells, pixels, replaced files

// A cell of another process's report list on the screen (column 0 ends
// where column 1 begins); nothing when the row is not there.
std::optional<RECT> listCellOnScreen(HWND list, int row, int column);
// The colour of a pixel of the screen.
COLORREF screenPixel(int x, int y);
// Completes a save dialog owned by `owner` with an existing `file` and
// answers its question whether to replace the file with Yes.
bool completeSaveDialogReplacing(HWND owner, const std::filesystem::path& file,
                                 Millis timeout = kTimeout);
// The clipboard held open by the test for the scope, as another program
// would hold it: a tool's copy then cannot take place.
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
// A file the tool cannot write: it exists with `bytes` and the test holds
// it open, sharing it with nobody, until the object goes.
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
std::string writeFailureText(const std::filesystem::path& file);
// What a tool says of a clipboard copy that did not take place.
inline constexpr char kCopyFailedText[] = "复制失败: 剪贴板正被其他程序占用, 请稍后再试。";

} // namespace gui
