#include "harness.h"

#include "window_image_win.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace gui {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr Millis kPoll{10};
constexpr UINT kSendTimeoutMs = 5000;

std::wstring quoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::optional<LRESULT> sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

// ---------------------------------------------------------------- text, files

std::string utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view utf8Text) {
    if (utf8Text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(),
                                         static_cast<int>(utf8Text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), out.data(),
                        size);
    return out;
}

std::string codePage936(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool writeFileBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

namespace {

fs::path testProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return fs::path(path).parent_path();
}

} // namespace

fs::path programDirectory() {
    const std::string configured = environment("TT_GUI_TOOL_DIR");
    if (!configured.empty())
        return fs::path(wide(configured));
    return testProgramDirectory();
}

fs::path screenshotDirectory() {
    const std::string configured = environment("TT_SCREENSHOT_DIR");
    if (!configured.empty())
        return fs::path(wide(configured));
    return (testProgramDirectory() / L".." / L".." / L"screenshots").lexically_normal();
}

TempFolder::TempFolder(std::wstring_view prefix) {
    static std::atomic<unsigned> counter{0};
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        wchar_t name[96];
        std::swprintf(name, 96, L"%ls-%lu-%u-%lu", std::wstring(prefix).c_str(),
                      GetCurrentProcessId(), counter++, GetTickCount());
        std::error_code error;
        if (fs::create_directory(base / name, error)) {
            path_ = base / name;
            return;
        }
        if (error)
            throw fs::filesystem_error("cannot create a temporary folder", base / name, error);
    }
}

TempFolder::~TempFolder() {
    if (!environment("TT_GUI_KEEP_TEMP").empty())
        return;
    // The tool may still be letting go of its copy for a moment.
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::error_code error;
        fs::remove_all(path_, error);
        if (!error)
            return;
        pause(Millis{20});
    }
}

// ---------------------------------------------------------------- waiting

bool waitUntil(const std::function<bool()>& condition, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
}

void pause(Millis time) {
    std::this_thread::sleep_for(time);
}

// ---------------------------------------------------------------- processes

Process::~Process() {
    terminate();
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
    other.handle_ = nullptr;
    other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        terminate();
        handle_ = other.handle_;
        id_ = other.id_;
        other.handle_ = nullptr;
        other.id_ = 0;
    }
    return *this;
}

Process Process::start(const fs::path& program, const std::vector<std::wstring>& arguments,
                       const fs::path& workDir) {
    std::wstring commandLine = quoteArgument(program.wstring());
    for (const auto& argument : arguments)
        commandLine += L" " + quoteArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const std::wstring directory =
        workDir.empty() ? program.parent_path().wstring() : workDir.wstring();
    Process process;
    if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, directory.c_str(), &startup, &info))
        return process;
    CloseHandle(info.hThread);
    process.handle_ = info.hProcess;
    process.id_ = info.dwProcessId;
    return process;
}

fs::path Process::copyProgram(std::wstring_view exeName, const TempFolder& folder) {
    const fs::path copy = folder.file(exeName);
    std::error_code error;
    fs::copy_file(programDirectory() / exeName, copy, fs::copy_options::overwrite_existing, error);
    return error ? fs::path{} : copy;
}

Process Process::startCopy(std::wstring_view exeName, const TempFolder& folder,
                           const std::vector<std::wstring>& arguments) {
    const fs::path copy = copyProgram(exeName, folder);
    if (copy.empty())
        return Process{};
    return start(copy, arguments, folder.path());
}

Process Process::attach(DWORD processId) {
    Process process;
    process.handle_ =
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process.handle_)
        process.id_ = processId;
    return process;
}

bool Process::running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::waitForExit(Millis timeout) const {
    if (!handle_)
        return std::nullopt;
    if (WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return code;
}

void Process::terminate() {
    if (!handle_)
        return;
    if (WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(handle_, 99);
        WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    id_ = 0;
}

// ---------------------------------------------------------------- windows

std::wstring windowText(HWND window) {
    // WM_GETTEXT is marshalled between processes; GetWindowText is not for
    // another process's controls.
    wchar_t buffer[4096] = {};
    const auto length =
        sendWithTimeout(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    if (!length)
        return {};
    return std::wstring(buffer, static_cast<std::size_t>(std::max<LRESULT>(0, *length)));
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

DWORD windowProcess(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (!IsWindowVisible(window) || windowProcess(window) != s.processId)
                return TRUE;
            if (s.className && windowClass(window) != s.className)
                return TRUE;
            s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForMainDialog(DWORD processId, Millis timeout) {
    HWND dialog = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(processId, L"#32770"))
                if (!GetWindow(window, GW_OWNER)) {
                    dialog = window;
                    return true;
                }
            return false;
        },
        timeout);
    if (dialog)
        pause(kSettle);
    return dialog;
}

HWND findOwnedDialog(HWND owner) {
    for (HWND window : topLevelWindows(windowProcess(owner), L"#32770"))
        if (GetWindow(window, GW_OWNER) == owner)
            return window;
    return nullptr;
}

HWND waitForOwnedDialog(HWND owner, Millis timeout) {
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = findOwnedDialog(owner)) != nullptr; }, timeout);
    return dialog;
}

bool waitForWindowGone(HWND window, Millis timeout) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

std::vector<std::wstring> staticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (_wcsicmp(windowClass(child).c_str(), L"Static") == 0)
            texts.push_back(windowText(child));
    return texts;
}

// ---------------------------------------------------------------- controls

HWND control(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

std::wstring controlText(HWND dialog, int id) {
    return windowText(control(dialog, id));
}

bool setControlText(HWND dialog, int id, std::wstring_view text) {
    const std::wstring value(text);
    const auto result = sendWithTimeout(control(dialog, id), WM_SETTEXT, 0,
                                        reinterpret_cast<LPARAM>(value.c_str()));
    return result && *result;
}

bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(control(dialog, id)) != FALSE;
}

bool isChecked(HWND dialog, int id) {
    const auto state = sendWithTimeout(control(dialog, id), BM_GETCHECK, 0, 0);
    return state && *state == BST_CHECKED;
}

void clickButton(HWND dialog, int id) {
    postCommand(dialog, id, BN_CLICKED);
}

void setCheckBox(HWND dialog, int id, bool checked) {
    PostMessageW(control(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    clickButton(dialog, id);
}

void clickRadio(HWND dialog, int id, std::initializer_list<int> group) {
    for (int other : group)
        PostMessageW(control(dialog, other), BM_SETCHECK, other == id ? BST_CHECKED : BST_UNCHECKED,
                     0);
    clickButton(dialog, id);
}

void postCommand(HWND dialog, int id, int code) {
    // A control's notification carries its window; a menu command carries none.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(control(dialog, id)));
}

void postSysCommand(HWND window, WPARAM command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

bool selectComboItem(HWND dialog, int id, int index) {
    const HWND combo = control(dialog, id);
    const auto result = sendWithTimeout(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!result || *result != index)
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}

int comboSelection(HWND dialog, int id) {
    return static_cast<int>(sendWithTimeout(control(dialog, id), CB_GETCURSEL, 0, 0).value_or(-2));
}

int comboItemCount(HWND dialog, int id) {
    return static_cast<int>(sendWithTimeout(control(dialog, id), CB_GETCOUNT, 0, 0).value_or(-1));
}

void pressKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1LL << 30) | (1LL << 31);
    PostMessageW(window, WM_KEYDOWN, virtualKey, down);
    const UINT character = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR);
    if (character)
        PostMessageW(window, WM_CHAR, character, down);
    PostMessageW(window, WM_KEYUP, virtualKey, up);
}

bool focusControl(HWND dialog, int id) {
    // WM_NEXTDLGCTL with a window handle moves the focus the way Tab does.
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE);
    return flush(dialog);
}

bool flush(HWND dialog, Millis timeout) {
    // A marker that a posted message leaves where it can be read back: the
    // text limit of one of the dialog's edit boxes, restored afterwards.
    HWND edit = nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child && !edit;
         child = GetWindow(child, GW_HWNDNEXT))
        if (_wcsicmp(windowClass(child).c_str(), L"Edit") == 0)
            edit = child;
    if (!edit) {
        // No edit box: let the posted messages be picked up, then wait for a
        // sent one (sent messages are handled before posted ones).
        pause(Millis{200});
        return sendWithTimeout(dialog, WM_NULL, 0, 0).has_value();
    }
    static std::atomic<unsigned> counter{0};
    const auto original = sendWithTimeout(edit, EM_GETLIMITTEXT, 0, 0);
    if (!original)
        return false;
    const WPARAM marker = 0x3A0000 + (counter++ & 0xFFFF);
    PostMessageW(edit, EM_SETLIMITTEXT, marker, 0);
    const bool arrived = waitUntil(
        [&] {
            return sendWithTimeout(edit, EM_GETLIMITTEXT, 0, 0) == static_cast<LRESULT>(marker);
        },
        timeout);
    sendWithTimeout(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(*original), 0);
    return arrived;
}

// ---------------------------------------------------------------- message boxes

std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, Millis timeout) {
    const HWND box = waitForOwnedDialog(owner, timeout);
    if (!box)
        return std::nullopt;
    MessageBoxSeen seen;
    seen.window = box;
    seen.title = windowText(box);
    // The text may be set a moment after the box shows.
    waitUntil([&] { return !(seen.text = windowText(GetDlgItem(box, 0xFFFF))).empty(); },
              Millis{1000});
    return seen;
}

bool dismiss(HWND box, int buttonId, Millis timeout) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
    return waitForWindowGone(box, timeout);
}

std::optional<MessageBoxSeen> answerMessageBox(HWND owner, Millis timeout) {
    auto seen = waitForMessageBox(owner, timeout);
    if (seen && !dismiss(seen->window))
        return std::nullopt;
    return seen;
}

// ---------------------------------------------------------------- list views

namespace {
constexpr std::size_t kTextChars = 1024;
constexpr std::size_t kRemoteSize = 4096 + kTextChars * sizeof(wchar_t);

// LVCOLUMNW and LVITEMW as a 32-bit process lays them out (4-byte pointers):
// what a 64-bit test writes into a 32-bit tool's memory.
struct Column32 {
    UINT mask;
    int fmt;
    int cx;
    std::uint32_t pszText;
    int cchTextMax;
    int iSubItem, iImage, iOrder, cxMin, cxDefault, cxIdeal;
};
struct Item32 {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    std::uint32_t pszText;
    int cchTextMax;
    int iImage;
    std::uint32_t lParam;
    int iIndent, iGroupId;
    UINT cColumns;
    std::uint32_t puColumns, piColFmt;
    int iGroup;
};

std::uint32_t address32(const void* address) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
}

// Whether the process runs with 32-bit pointers while this one has 64-bit ones.
bool narrowerProcess(HANDLE process) {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 && IsWow64Process(process, &wow64) && wow64;
}
} // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                               PROCESS_QUERY_LIMITED_INFORMATION,
                           FALSE, windowProcess(list));
    if (process_) {
        memory_ = VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
        narrow_ = narrowerProcess(process_);
    }
}

RemoteListView::~RemoteListView() {
    if (memory_)
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_)
        CloseHandle(process_);
}

int RemoteListView::rowCount() const {
    return static_cast<int>(sendWithTimeout(list_, LVM_GETITEMCOUNT, 0, 0).value_or(-1));
}

int RemoteListView::columnCount() const {
    const auto header = sendWithTimeout(list_, LVM_GETHEADER, 0, 0);
    if (!header || !*header)
        return -1;
    return static_cast<int>(
        sendWithTimeout(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT, 0, 0).value_or(-1));
}

// The structure goes first in the remote block, the text buffer behind it.
std::wstring RemoteListView::columnName(int column) const {
    if (!memory_)
        return {};
    auto* remoteText = static_cast<char*>(memory_) + 1024;
    LVCOLUMNW request{};
    request.mask = LVCF_TEXT;
    request.pszText = reinterpret_cast<LPWSTR>(remoteText);
    request.cchTextMax = static_cast<int>(kTextChars);
    Column32 request32{};
    request32.mask = LVCF_TEXT;
    request32.pszText = address32(remoteText);
    request32.cchTextMax = static_cast<int>(kTextChars);
    SIZE_T moved = 0;
    if (!(narrow_ ? WriteProcessMemory(process_, memory_, &request32, sizeof request32, &moved)
                  : WriteProcessMemory(process_, memory_, &request, sizeof request, &moved)))
        return {};
    const auto ok = sendWithTimeout(list_, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                                    reinterpret_cast<LPARAM>(memory_));
    if (!ok || !*ok)
        return {};
    const void* textAt = nullptr;
    if (narrow_) {
        Column32 answer{};
        ReadProcessMemory(process_, memory_, &answer, sizeof answer, &moved);
        textAt = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(answer.pszText));
    } else {
        LVCOLUMNW answer{};
        ReadProcessMemory(process_, memory_, &answer, sizeof answer, &moved);
        textAt = answer.pszText;
    }
    std::wstring text(kTextChars, L'\0');
    if (!ReadProcessMemory(process_, textAt, text.data(), kTextChars * sizeof(wchar_t), &moved))
        return {};
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

std::wstring RemoteListView::cell(int row, int column) const {
    if (!memory_)
        return {};
    auto* remoteText = static_cast<char*>(memory_) + 1024;
    LVITEMW request{};
    request.mask = LVIF_TEXT;
    request.iItem = row;
    request.iSubItem = column;
    request.pszText = reinterpret_cast<LPWSTR>(remoteText);
    request.cchTextMax = static_cast<int>(kTextChars);
    Item32 request32{};
    request32.mask = LVIF_TEXT;
    request32.iItem = row;
    request32.iSubItem = column;
    request32.pszText = address32(remoteText);
    request32.cchTextMax = static_cast<int>(kTextChars);
    const wchar_t empty = L'\0';
    SIZE_T moved = 0;
    if (!(narrow_ ? WriteProcessMemory(process_, memory_, &request32, sizeof request32, &moved)
                  : WriteProcessMemory(process_, memory_, &request, sizeof request, &moved)) ||
        !WriteProcessMemory(process_, remoteText, &empty, sizeof empty, &moved))
        return {};
    const auto length = sendWithTimeout(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(memory_));
    if (!length)
        return {};
    // The control may answer with a pointer of its own instead of filling the buffer.
    const void* textAt = nullptr;
    if (narrow_) {
        Item32 answer{};
        ReadProcessMemory(process_, memory_, &answer, sizeof answer, &moved);
        textAt = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(answer.pszText));
    } else {
        LVITEMW answer{};
        ReadProcessMemory(process_, memory_, &answer, sizeof answer, &moved);
        textAt = answer.pszText;
    }
    if (textAt == nullptr)
        textAt = remoteText;
    std::wstring text(kTextChars, L'\0');
    if (!ReadProcessMemory(process_, textAt, text.data(), kTextChars * sizeof(wchar_t), &moved))
        return {};
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

std::vector<std::wstring> RemoteListView::row(int index) const {
    std::vector<std::wstring> cells;
    const int columns = columnCount();
    for (int column = 0; column < columns; ++column)
        cells.push_back(cell(index, column));
    return cells;
}

std::vector<std::wstring> RemoteListView::column(int index) const {
    std::vector<std::wstring> cells;
    const int rows = rowCount();
    for (int r = 0; r < rows; ++r)
        cells.push_back(cell(r, index));
    return cells;
}

// ---------------------------------------------------------------- clipboard

namespace {

bool openClipboard(Millis timeout) {
    return waitUntil([] { return OpenClipboard(nullptr) != FALSE; }, timeout);
}

} // namespace

bool setClipboardText(std::string_view bytes) {
    if (!openClipboard(kTimeout))
        return false;
    EmptyClipboard();
    bool placed = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1)) {
        auto* target = static_cast<char*>(GlobalLock(block));
        std::copy(bytes.begin(), bytes.end(), target);
        target[bytes.size()] = '\0';
        GlobalUnlock(block);
        placed = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!placed)
            GlobalFree(block);
    }
    CloseClipboard();
    return placed;
}

std::optional<std::string> clipboardText(Millis timeout) {
    if (!openClipboard(timeout))
        return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        const SIZE_T size = GlobalSize(data);
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            const auto* end = std::find(bytes, bytes + size, '\0');
            text = std::string(bytes, end);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// ---------------------------------------------------------------- file dialogs

bool completeFileDialog(HWND owner, const fs::path& file, Millis timeout) {
    const HWND dialog = waitForOwnedDialog(owner, timeout);
    if (!dialog)
        return false;
    pause(kSettle);
    // The file-name box: a combo box (1148) in newer templates, an edit (1152) in older.
    HWND nameBox = nullptr;
    waitUntil(
        [&] {
            nameBox = GetDlgItem(dialog, 1148);
            if (!nameBox || !IsWindowVisible(nameBox))
                nameBox = GetDlgItem(dialog, 1152);
            return nameBox && IsWindowVisible(nameBox);
        },
        timeout);
    if (!nameBox)
        return false;
    const std::wstring path = file.wstring();
    if (!sendWithTimeout(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())))
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return waitForWindowGone(dialog, timeout);
}

// ---------------------------------------------------------------- the host

namespace {

// "key=value" fields of one log line.
std::optional<std::string> field(const std::string& line, const std::string& key) {
    const std::string marker = key + "=";
    std::size_t at = 0;
    while ((at = line.find(marker, at)) != std::string::npos) {
        if (at == 0 || line[at - 1] == ' ') {
            const std::size_t start = at + marker.size();
            const std::size_t end = line.find(' ', start);
            return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        }
        at += marker.size();
    }
    return std::nullopt;
}

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

} // namespace

HostLog parseHostLog(std::string_view text) {
    HostLog log;
    for (const std::string& line : splitLines(text)) {
        if (line.rfind("host ", 0) == 0) {
            if (auto value = field(line, "hwnd"))
                log.hostWindow = std::stoull(*value);
            if (auto value = field(line, "tool_pid"))
                log.toolProcessId = static_cast<DWORD>(std::stoul(*value));
        } else if (line.rfind("copydata ", 0) == 0) {
            CopyDataMessage message;
            message.seq = std::stoi(field(line, "seq").value_or("0"));
            message.sender = std::stoull(field(line, "sender").value_or("0"));
            message.dwData = std::stoull(field(line, "dwData").value_or("0"));
            message.cbData =
                static_cast<std::uint32_t>(std::stoul(field(line, "cbData").value_or("0")));
            message.bytes = fromHex(field(line, "hex").value_or(""));
            log.messages.push_back(std::move(message));
        } else if (line.rfind("tool_exit ", 0) == 0) {
            log.toolExitCode = std::stoi(field(line, "code").value_or("0"));
        }
    }
    return log;
}

std::optional<HostProbe> HostProbe::start(const fs::path& toolExe, const fs::path& log,
                                          const std::vector<std::wstring>& toolArguments) {
    HostProbe host;
    host.log_ = log;
    std::vector<std::wstring> arguments{L"--log", log.wstring(), L"--exit-with-tool", L"--",
                                        toolExe.wstring()};
    arguments.insert(arguments.end(), toolArguments.begin(), toolArguments.end());
    host.probe_ =
        Process::start(programDirectory() / L"hostprobe.exe", arguments, toolExe.parent_path());
    if (!host.probe_)
        return std::nullopt;
    HostLog seen;
    if (!waitUntil(
            [&] {
                seen = host.read();
                return seen.hostWindow && seen.toolProcessId;
            },
            kTimeout))
        return std::nullopt;
    host.hostWindow_ = *seen.hostWindow;
    host.tool_ = Process::attach(*seen.toolProcessId);
    if (!host.tool_)
        return std::nullopt;
    return host;
}

HostLog HostProbe::read() const {
    const auto bytes = readFileBytes(log_);
    return bytes ? parseHostLog(*bytes) : HostLog{};
}

bool HostProbe::waitForMessages(std::size_t count, Millis timeout) const {
    return waitUntil([&] { return read().messages.size() >= count; }, timeout);
}

// ---------------------------------------------------------------- screenshots and real input

int windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::optional<fs::path> saveScreenshot(HWND window, std::wstring_view baseName) {
    std::error_code error;
    fs::create_directories(screenshotDirectory(), error);
    const fs::path file = screenshotDirectory() / (std::wstring(baseName) + L"-" +
                                                   std::to_wstring(windowDpi(window)) + L"dpi.bmp");
    if (!winsnap::saveWindowImage(window, file.wstring()))
        return std::nullopt;
    return file;
}

namespace {

std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

bool runX11Command(const std::vector<std::string>& argv, Millis timeout) {
    // Wine starts a Unix program for a Unix path but gives no handle to wait
    // on: the command runs under /bin/sh, which leaves a file when it is done.
    TempFolder folder(L"x11");
    const fs::path doneFile = folder.file(L"done");
    const auto done = unixPath(doneFile);
    if (!done)
        return false;
    std::string script;
    for (const auto& word : argv)
        script += shellQuote(word) + " ";
    script += "; echo $? > " + shellQuote(*done);
    std::wstring commandLine = L"/bin/sh -c " + quoteArgument(wide(script));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread)
        CloseHandle(info.hThread);
    if (info.hProcess)
        CloseHandle(info.hProcess);
    std::optional<std::string> status;
    waitUntil(
        [&] {
            status = readFileBytes(doneFile);
            return status && !status->empty() && status->back() == '\n';
        },
        timeout);
    return status && status->rfind("0", 0) == 0;
}

RECT screenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool typeKeysOnDisplay(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "50"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    return runX11Command(argv);
}

bool clickControlOnDisplay(HWND dialog, int id) {
    const RECT rect = screenRect(control(dialog, id));
    const int x = rect.left + std::min<int>(8, (rect.right - rect.left) / 2);
    const int y = (rect.top + rect.bottom) / 2;
    return clickOnDisplay(x, y, 1);
}

bool clickOnDisplay(int x, int y, int button) {
    return runX11Command({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
                          std::to_string(button)});
}

std::optional<std::string> unixPath(const fs::path& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::nullopt;
    char* converted = convert(path.wstring().c_str());
    if (!converted)
        return std::nullopt;
    std::string result = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}


std::vector<std::string> iniLines(const fs::path& file) {
    const auto bytes = readFileBytes(file);
    if (!bytes)
        return {};
    auto lines = splitLines(*bytes);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

float real32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    float value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

bool allZero(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

// ---------------------------------------------------------------- calculators: cells, pixels, replaced files

std::optional<RECT> listCellOnScreen(HWND list, int row, int column) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 processId);
    if (!process)
        return std::nullopt;
    std::optional<RECT> result;
    void* remote =
        VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote) {
        RECT rect{LVIR_BOUNDS, column, 0, 0};
        DWORD_PTR answer = 0;
        if (WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr) &&
            SendMessageTimeoutW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                                &answer) &&
            answer && ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr)) {
            if (column == 0) {
                DWORD_PTR width = 0;
                if (SendMessageTimeoutW(list, LVM_GETCOLUMNWIDTH, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                        &width))
                    rect.right = rect.left + static_cast<LONG>(width);
            }
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
            result = rect;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool completeSaveDialogReplacing(HWND owner, const fs::path& file, Millis timeout) {
    const HWND dialog = waitForOwnedDialog(owner, timeout);
    if (!dialog)
        return false;
    pause(kSettle);
    HWND nameBox = nullptr;
    waitUntil(
        [&] {
            nameBox = GetDlgItem(dialog, 1148);
            if (!nameBox || !IsWindowVisible(nameBox))
                nameBox = GetDlgItem(dialog, 1152);
            return nameBox && IsWindowVisible(nameBox);
        },
        timeout);
    if (!nameBox)
        return false;
    const std::wstring path = file.wstring();
    SendMessageTimeoutW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    const HWND question = waitForOwnedDialog(dialog, timeout);
    if (!question || !dismiss(question, IDYES, timeout))
        return false;
    return waitForWindowGone(dialog, timeout);
}

LockedFile::LockedFile(fs::path path, std::string_view bytes) : path_(std::move(path)) {
    if (writeFileBytes(path_, bytes))
        handle_ = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

LockedFile::~LockedFile() {
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

std::string writeFailureText(const fs::path& file) {
    return "无法写入文件:\n" + utf8(file.wstring());
}

} // namespace gui
