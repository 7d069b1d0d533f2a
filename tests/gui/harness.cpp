#include "harness.h"

#include "window_image_win.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>
#include <utility>

namespace gui {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The tests' arguments hold no quotes: blanks are all that needs quoting.
std::wstring quoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t") == std::wstring_view::npos)
        return std::wstring(argument);
    return L"\"" + std::wstring(argument) + L"\"";
}

std::optional<LRESULT> sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000,
                             &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path testProgramDirectory() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return fs::path(path).parent_path();
}

} // namespace

std::string narrowed(UINT codePage, std::wstring_view text) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view utf8Text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(),
                                         static_cast<int>(utf8Text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), out.data(),
                        size);
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
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> iniLines(const fs::path& file) {
    auto lines = splitLines(readFileBytes(file).value_or(""));
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

fs::path programDirectory() {
    const std::string configured = environment("TT_GUI_TOOL_DIR");
    return configured.empty() ? testProgramDirectory() : fs::path(wide(configured));
}

fs::path screenshotDirectory() {
    const std::string configured = environment("TT_SCREENSHOT_DIR");
    if (!configured.empty())
        return fs::path(wide(configured));
    return (testProgramDirectory() / L"../../screenshots").lexically_normal();
}

TempFolder::TempFolder(std::wstring_view prefix) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        path_ = fs::temp_directory_path() /
                (std::wstring(prefix) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount()));
        if (fs::create_directory(path_))
            return;
    }
}

TempFolder::~TempFolder() {
    if (!environment("TT_GUI_KEEP_TEMP").empty())
        return;
    // A tool that just ended may still hold its copy for a moment.
    waitUntil(
        [&] {
            std::error_code error;
            fs::remove_all(path_, error);
            return !error;
        },
        Millis{1000});
}

bool waitUntil(const std::function<bool()>& condition, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(Millis{10});
    }
    return true;
}

Process::~Process() {
    terminate();
}

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        terminate();
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = std::exchange(other.id_, 0);
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
    const fs::path directory = workDir.empty() ? program.parent_path() : workDir;
    Process process;
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle_ = info.hProcess;
        process.id_ = info.dwProcessId;
    }
    return process;
}

fs::path Process::copyProgram(std::wstring_view exeName, const TempFolder& folder) {
    std::error_code error;
    fs::copy_file(programDirectory() / exeName, folder.file(exeName),
                  fs::copy_options::overwrite_existing, error);
    return error ? fs::path{} : folder.file(exeName);
}

Process Process::startCopy(std::wstring_view exeName, const TempFolder& folder,
                           const std::vector<std::wstring>& arguments) {
    const fs::path copy = copyProgram(exeName, folder);
    return copy.empty() ? Process{} : start(copy, arguments, folder.path());
}

Process Process::attach(DWORD processId) {
    Process process;
    process.handle_ =
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    process.id_ = process.handle_ ? processId : 0;
    return process;
}

bool Process::running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::waitForExit(Millis timeout) const {
    if (!handle_ ||
        WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return code;
}

void Process::terminate() {
    if (!handle_)
        return;
    if (running()) {
        TerminateProcess(handle_, 99);
        WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    id_ = 0;
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText is not.
    wchar_t buffer[4096] = {};
    const auto length =
        sendWithTimeout(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(std::max<LRESULT>(0, length.value_or(0))));
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
            if (IsWindowVisible(window) && windowProcess(window) == s.processId &&
                (!s.className || windowClass(window) == s.className))
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
                if (!GetWindow(window, GW_OWNER))
                    dialog = window;
            return dialog != nullptr;
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

std::vector<HWND> childWindows(HWND dialog, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!className || _wcsicmp(windowClass(child).c_str(), className) == 0)
            found.push_back(child);
    return found;
}

HWND childWithText(HWND dialog, std::wstring_view text) {
    for (HWND child : childWindows(dialog))
        if (windowText(child) == text)
            return child;
    return nullptr;
}

std::vector<std::wstring> staticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child : childWindows(dialog, L"Static"))
        texts.push_back(windowText(child));
    return texts;
}

bool setControlText(HWND dialog, int id, std::wstring_view text) {
    const std::wstring value(text);
    return sendWithTimeout(control(dialog, id), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(value.c_str()))
               .value_or(0) != 0;
}

bool isChecked(HWND dialog, int id) {
    return sendWithTimeout(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
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
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(control(dialog, id)));
}

bool selectComboItem(HWND dialog, int id, int index) {
    if (sendWithTimeout(control(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index)
        return false;
    postCommand(dialog, id, CBN_SELCHANGE);
    return true;
}

int comboSelection(HWND dialog, int id) {
    return static_cast<int>(sendWithTimeout(control(dialog, id), CB_GETCURSEL, 0, 0).value_or(-2));
}

int comboItemCount(HWND dialog, int id) {
    return static_cast<int>(sendWithTimeout(control(dialog, id), CB_GETCOUNT, 0, 0).value_or(-1));
}

void pressKey(HWND window, UINT virtualKey) {
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(window, WM_KEYDOWN, virtualKey, down);
    if (const UINT character = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR))
        PostMessageW(window, WM_CHAR, character, down);
    PostMessageW(window, WM_KEYUP, virtualKey, down | (1LL << 30) | (1LL << 31));
}

bool focusControl(HWND dialog, int id) {
    // With a window handle, WM_NEXTDLGCTL moves the focus as Tab does.
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE);
    return flush(dialog);
}

bool flush(HWND dialog, Millis timeout) {
    // A marker posted behind the messages, read back once handled: the text
    // limit of one of the dialog's edit boxes, restored afterwards. A rich
    // edit may be replaced by a fresh one meanwhile; the marker then goes to
    // the new box, behind whatever came before.
    const auto findBox = [&]() -> std::pair<HWND, UINT> {
        for (HWND child : childWindows(dialog)) {
            const std::wstring name = windowClass(child);
            if (_wcsicmp(name.c_str(), L"Edit") == 0)
                return {child, EM_SETLIMITTEXT};
            if (_wcsnicmp(name.c_str(), L"RichEdit", 8) == 0)
                return {child, EM_EXLIMITTEXT};
        }
        return {nullptr, 0};
    };
    HWND box = nullptr;
    UINT setLimit = 0;
    std::optional<LRESULT> original;
    // The box may be going away right now: ask again until one answers.
    if (!waitUntil(
            [&] {
                std::tie(box, setLimit) = findBox();
                return !box || (original = sendWithTimeout(box, EM_GETLIMITTEXT, 0, 0));
            },
            timeout))
        return false;
    if (!box) {
        // No box: let the posted messages be taken, then wait for a sent one.
        pause(Millis{200});
        return sendWithTimeout(dialog, WM_NULL, 0, 0).has_value();
    }
    static std::atomic<unsigned> counter{0};
    const LRESULT marker = 0x3A0000 + (counter++ & 0xFFFF);
    const auto post = [&] {
        PostMessageW(box, setLimit, setLimit == EM_SETLIMITTEXT ? marker : 0,
                     setLimit == EM_SETLIMITTEXT ? 0 : marker);
    };
    post();
    const bool arrived = waitUntil(
        [&] {
            if (!IsWindow(box)) {
                std::tie(box, setLimit) = findBox();
                if (!box)
                    return false;
                post();
            }
            return sendWithTimeout(box, EM_GETLIMITTEXT, 0, 0) == marker;
        },
        timeout);
    if (arrived)
        sendWithTimeout(box, setLimit, setLimit == EM_SETLIMITTEXT ? *original : 0,
                        setLimit == EM_SETLIMITTEXT ? 0 : *original);
    return arrived;
}

std::optional<MessageBoxSeen> waitForMessageBox(HWND owner, Millis timeout) {
    const HWND box = waitForOwnedDialog(owner, timeout);
    if (!box)
        return std::nullopt;
    MessageBoxSeen seen{box, windowText(box), {}};
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

namespace {
constexpr std::size_t kTextChars = 1024;
constexpr std::size_t kTextAt = 1024; // the structure first, the text behind it

// LVCOLUMNW and LVITEMW as a 32-bit process lays them out.
struct Column32 {
    UINT mask;
    int fmt, cx;
    std::uint32_t pszText;
    int cchTextMax, iSubItem, iImage, iOrder, cxMin, cxDefault, cxIdeal;
};
struct Item32 {
    UINT mask;
    int iItem, iSubItem;
    UINT state, stateMask;
    std::uint32_t pszText;
    int cchTextMax, iImage;
    std::uint32_t lParam;
    int iIndent, iGroupId;
    UINT cColumns;
    std::uint32_t puColumns, piColFmt;
    int iGroup;
};

const void* address(std::uint32_t value) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(value));
}
const void* address(const wchar_t* value) {
    return value;
}
} // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                               PROCESS_QUERY_LIMITED_INFORMATION,
                           FALSE, windowProcess(list));
    if (!process_)
        return;
    memory_ = VirtualAllocEx(process_, nullptr, kTextAt + kTextChars * sizeof(wchar_t),
                             MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    BOOL wow64 = FALSE;
    narrow_ = sizeof(void*) == 8 && IsWow64Process(process_, &wow64) && wow64;
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
    const auto header = sendWithTimeout(list_, LVM_GETHEADER, 0, 0).value_or(0);
    return header ? static_cast<int>(sendWithTimeout(reinterpret_cast<HWND>(header),
                                                     HDM_GETITEMCOUNT, 0, 0)
                                         .value_or(-1))
                  : -1;
}

// Writes the request of the tool's layout, sends it and reads the text from
// where the answer points (the control may point at a buffer of its own).
template <class Wide, class Narrow>
std::wstring RemoteListView::askText(UINT message, WPARAM wParam, Wide request,
                                     Narrow request32) const {
    if (!memory_)
        return {};
    auto* remoteText = static_cast<char*>(memory_) + kTextAt;
    request.pszText = reinterpret_cast<LPWSTR>(remoteText);
    request32.pszText = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(remoteText));
    request.cchTextMax = request32.cchTextMax = static_cast<int>(kTextChars);
    const wchar_t empty = L'\0';
    const bool written = narrow_ ? WriteProcessMemory(process_, memory_, &request32,
                                                      sizeof request32, nullptr)
                                 : WriteProcessMemory(process_, memory_, &request, sizeof request,
                                                      nullptr);
    if (!written || !WriteProcessMemory(process_, remoteText, &empty, sizeof empty, nullptr) ||
        !sendWithTimeout(list_, message, wParam, reinterpret_cast<LPARAM>(memory_)))
        return {};
    const void* textAt = nullptr;
    if (narrow_ ? ReadProcessMemory(process_, memory_, &request32, sizeof request32, nullptr)
                : ReadProcessMemory(process_, memory_, &request, sizeof request, nullptr))
        textAt = narrow_ ? address(request32.pszText) : address(request.pszText);
    std::wstring text(kTextChars, L'\0');
    if (!ReadProcessMemory(process_, textAt ? textAt : remoteText, text.data(),
                           kTextChars * sizeof(wchar_t), nullptr))
        return {};
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

std::wstring RemoteListView::columnName(int column) const {
    LVCOLUMNW request{};
    Column32 request32{};
    request.mask = request32.mask = LVCF_TEXT;
    return askText(LVM_GETCOLUMNW, static_cast<WPARAM>(column), request, request32);
}

std::wstring RemoteListView::cell(int row, int column) const {
    LVITEMW request{};
    Item32 request32{};
    request.mask = request32.mask = LVIF_TEXT;
    request.iItem = request32.iItem = row;
    request.iSubItem = request32.iSubItem = column;
    return askText(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), request, request32);
}

std::vector<std::wstring> RemoteListView::row(int index) const {
    std::vector<std::wstring> cells;
    for (int column = 0, columns = columnCount(); column < columns; ++column)
        cells.push_back(cell(index, column));
    return cells;
}

std::optional<RECT> RemoteListView::cellOnScreen(int row, int column) const {
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    if (!memory_ || !WriteProcessMemory(process_, memory_, &rect, sizeof rect, nullptr) ||
        !sendWithTimeout(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(memory_))
             .value_or(0) ||
        !ReadProcessMemory(process_, memory_, &rect, sizeof rect, nullptr))
        return std::nullopt;
    if (column == 0)
        rect.right = rect.left + static_cast<LONG>(
                                     sendWithTimeout(list_, LVM_GETCOLUMNWIDTH, 0, 0).value_or(0));
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool setClipboardText(std::string_view bytes) {
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
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
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }, timeout))
        return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = std::string(bytes, std::find(bytes, bytes + GlobalSize(data), '\0'));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

namespace {
// Types the path into the file-name box (combo 1148, or edit 1152 in older
// templates) and posts OK; the dialog, or null.
HWND submitFileDialog(HWND owner, const fs::path& file, Millis timeout) {
    const HWND dialog = waitForOwnedDialog(owner, timeout);
    HWND nameBox = nullptr;
    if (!dialog || !waitUntil(
                       [&] {
                           nameBox = GetDlgItem(dialog, 1148);
                           if (!nameBox || !IsWindowVisible(nameBox))
                               nameBox = GetDlgItem(dialog, 1152);
                           return nameBox && IsWindowVisible(nameBox);
                       },
                       timeout))
        return nullptr;
    pause(kSettle);
    const std::wstring path = file.wstring();
    if (!sendWithTimeout(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())))
        return nullptr;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return dialog;
}
} // namespace

bool completeFileDialog(HWND owner, const fs::path& file, Millis timeout) {
    const HWND dialog = submitFileDialog(owner, file, timeout);
    return dialog && waitForWindowGone(dialog, timeout);
}

bool completeSaveDialogReplacing(HWND owner, const fs::path& file, Millis timeout) {
    const HWND dialog = submitFileDialog(owner, file, timeout);
    const HWND question = dialog ? waitForOwnedDialog(dialog, timeout) : nullptr;
    return question && dismiss(question, IDYES, timeout) && waitForWindowGone(dialog, timeout);
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

namespace {
// The value of "key=value" in a log line.
std::optional<std::string> field(const std::string& line, const std::string& key) {
    const std::string marker = " " + key + "=";
    const std::size_t at = (" " + line).find(marker);
    if (at == std::string::npos)
        return std::nullopt;
    const std::size_t start = at + marker.size() - 1;
    return line.substr(start, line.find(' ', start) - start);
}

std::uint64_t number(const std::string& line, const std::string& key) {
    return std::stoull(field(line, key).value_or("0"));
}
} // namespace

HostLog parseHostLog(std::string_view text) {
    HostLog log;
    for (const std::string& line : splitLines(text)) {
        if (line.starts_with("host ")) {
            log.hostWindow = number(line, "hwnd");
            log.toolProcessId = static_cast<DWORD>(number(line, "tool_pid"));
        } else if (line.starts_with("copydata ")) {
            CopyDataMessage message{static_cast<int>(number(line, "seq")), number(line, "sender"),
                                    number(line, "dwData"),
                                    static_cast<std::uint32_t>(number(line, "cbData")),
                                    {}};
            const std::string hex = field(line, "hex").value_or("");
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
                message.bytes.push_back(
                    static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
            log.messages.push_back(std::move(message));
        } else if (line.starts_with("tool_exit ")) {
            log.toolExitCode = static_cast<int>(number(line, "code"));
        } else {
            log.hangStarted = log.hangStarted || line.starts_with("hang start");
            log.hangEnded = log.hangEnded || line.starts_with("hang end");
        }
    }
    return log;
}

std::optional<HostProbe> HostProbe::start(const fs::path& toolExe, const fs::path& log,
                                          const std::vector<std::wstring>& toolArguments,
                                          const std::vector<std::wstring>& probeOptions) {
    HostProbe host;
    host.log_ = log;
    std::vector<std::wstring> arguments{L"--log", log.wstring()};
    arguments.insert(arguments.end(), probeOptions.begin(), probeOptions.end());
    if (!toolExe.empty()) {
        arguments.insert(arguments.end(), {L"--exit-with-tool", L"--", toolExe.wstring()});
        arguments.insert(arguments.end(), toolArguments.begin(), toolArguments.end());
    }
    host.probe_ = Process::start(programDirectory() / L"hostprobe.exe", arguments,
                                 toolExe.empty() ? log.parent_path() : toolExe.parent_path());
    HostLog seen;
    if (!host.probe_ || !waitUntil([&] {
            seen = host.read();
            return seen.hostWindow && seen.toolProcessId;
        }))
        return std::nullopt;
    host.hostWindow_ = *seen.hostWindow;
    if (!toolExe.empty() && !(host.tool_ = Process::attach(*seen.toolProcessId)))
        return std::nullopt;
    return host;
}

HostLog HostProbe::read() const {
    return parseHostLog(readFileBytes(log_).value_or(""));
}

bool HostProbe::waitForMessages(std::size_t count, Millis timeout) const {
    return waitUntil([&] { return read().messages.size() >= count; }, timeout);
}

int windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0)
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

std::optional<std::string> unixPath(const fs::path& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* converted = convert ? convert(path.c_str()) : nullptr;
    if (!converted)
        return std::nullopt;
    std::string result = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

bool runX11Command(const std::vector<std::string>& argv, Millis timeout) {
    // Wine starts a Unix program for a Unix path but gives no handle to wait
    // on: /bin/sh runs it and leaves its status in a file.
    TempFolder folder(L"x11");
    const fs::path doneFile = folder.file(L"done");
    const auto done = unixPath(doneFile);
    if (!done)
        return false;
    const auto quoted = [](const std::string& word) {
        std::string out = "'";
        for (char c : word)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    std::string script;
    for (const auto& word : argv)
        script += quoted(word) + " ";
    script += "; echo $? > " + quoted(*done);
    std::wstring commandLine = L"/bin/sh -c " + quoteArgument(wide(script));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string status;
    waitUntil(
        [&] {
            status = readFileBytes(doneFile).value_or("");
            return !status.empty() && status.back() == '\n';
        },
        timeout);
    return status == "0\n";
}

bool typeKeysOnDisplay(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "50"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    return runX11Command(argv);
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

} // namespace gui
