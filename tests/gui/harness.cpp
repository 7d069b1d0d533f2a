#include "harness.h"

#include <richedit.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace gui {
namespace fs = std::filesystem;

namespace {

// The tests' arguments hold no quotes: blanks are all that needs quoting.
std::wstring quoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t") == std::wstring_view::npos)
        return std::wstring(argument);
    return L"\"" + std::wstring(argument) + L"\"";
}

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

DWORD processOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

constexpr std::size_t kTextChars = 1024;
constexpr std::size_t kTextAt = 1024; // the structure first, the text behind it

// The number after " key=" in a log line, or 0.
std::uint64_t number(const std::string& line, const std::string& key) {
    const std::size_t at = (" " + line).find(" " + key + "=");
    return at == std::string::npos ? 0 : std::stoull(line.substr(at + key.size() + 1));
}

void endProcess(HANDLE process) {
    TerminateProcess(process, 99); // refused once the program has ended
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

} // namespace

std::optional<LRESULT> sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000,
                               &result)
               ? std::optional(LRESULT(result))
               : std::nullopt;
}

std::string narrowed(UINT codePage, std::wstring_view text) {
    std::string out(text.size() * 4, '\0'); // a UTF-16 unit takes at most 3 bytes, a pair 4
    out.resize(std::max(0, WideCharToMultiByte(codePage, 0, text.data(), int(text.size()),
                                               out.data(), int(out.size()), nullptr, nullptr)));
    return out;
}

std::wstring wide(std::string_view utf8Text) {
    std::wstring out(utf8Text.size(), L'\0');
    out.resize(std::max(0, MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), int(utf8Text.size()),
                                               out.data(), int(out.size()))));
    return out;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

bool writeFileBytes(const fs::path& path, std::string_view bytes) {
    return bool(
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size())));
}

fs::path programDirectory() {
    if (const char* configured = environment("TT_GUI_TOOL_DIR"))
        return fs::path(wide(configured));
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return fs::path(path).parent_path();
}

TempFolder::TempFolder(std::wstring_view prefix) {
    static std::atomic<unsigned> counter{0};
    path_ = fs::temp_directory_path() /
            (std::wstring(prefix) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    // A tool that just ended may still hold its copy for a moment.
    std::error_code error;
    if (!environment("TT_GUI_KEEP_TEMP"))
        waitUntil([&] { return fs::remove_all(path_, error), !error; }, Millis{1000});
}

bool waitUntil(const std::function<bool()>& condition, Millis timeout) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout; !condition();
         std::this_thread::sleep_for(Millis{10}))
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    return true;
}

Process::Process(HANDLE handle, DWORD id) : handle_(handle, endProcess), id_(id) {}

Process Process::start(const fs::path& program, const std::vector<std::wstring>& arguments,
                       const fs::path& workDir) {
    std::wstring commandLine = quoteArgument(program.wstring());
    for (const auto& argument : arguments)
        commandLine += L" " + quoteArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        (workDir.empty() ? program.parent_path() : workDir).c_str(), &startup,
                        &info))
        return {};
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
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

std::optional<DWORD> Process::waitForExit() const {
    DWORD code = 0;
    if (!handle_ || WaitForSingleObject(handle_.get(), DWORD(kTimeout.count())) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(handle_.get(), &code))
        return std::nullopt;
    return code;
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText is not.
    wchar_t buffer[4096] = {};
    const auto length = sendWithTimeout(window, WM_GETTEXT, std::size(buffer), LPARAM(buffer));
    return std::wstring(buffer, std::size_t(std::max<LRESULT>(0, length.value_or(0))));
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className) {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    std::erase_if(found, [&](HWND window) {
        return !IsWindowVisible(window) || processOf(window) != processId ||
               (className && windowClass(window) != className);
    });
    return found;
}

HWND findOwnedDialog(HWND owner, DWORD processId) {
    for (HWND window : topLevelWindows(processId ? processId : processOf(owner), L"#32770"))
        if (GetWindow(window, GW_OWNER) == owner)
            return window;
    return nullptr;
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

void pressKey(HWND window, UINT virtualKey) {
    const LPARAM down = 1 | LPARAM(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, virtualKey, down);
    if (const UINT character = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR))
        PostMessageW(window, WM_CHAR, character, down);
    PostMessageW(window, WM_KEYUP, virtualKey, down | (1LL << 30) | (1LL << 31));
}

bool flush(HWND dialog, Millis timeout) {
    // A marker posted behind the messages, read back once handled: the text limit of one of
    // the dialog's edit boxes, restored afterwards. A rich edit may be replaced by a fresh one
    // meanwhile; the marker then goes to the new box, behind whatever came before.
    HWND box = nullptr;
    bool rich = false;
    const auto findBox = [&] {
        for (HWND child : childWindows(dialog)) {
            const std::wstring name = windowClass(child);
            rich = _wcsnicmp(name.c_str(), L"RichEdit", 8) == 0;
            if (rich || _wcsicmp(name.c_str(), L"Edit") == 0)
                return box = child;
        }
        return box = nullptr;
    };
    const auto setLimit = [&](LRESULT limit, bool post) {
        const UINT message = rich ? EM_EXLIMITTEXT : EM_SETLIMITTEXT;
        const auto wParam = static_cast<WPARAM>(rich ? 0 : limit);
        return post ? PostMessageW(box, message, wParam, rich ? limit : 0) != FALSE
                    : sendWithTimeout(box, message, wParam, rich ? limit : 0).has_value();
    };
    std::optional<LRESULT> original;
    // The box may be going away right now: ask again until one answers.
    if (!waitUntil(
            [&] { return !findBox() || (original = sendWithTimeout(box, EM_GETLIMITTEXT, 0, 0)); },
            timeout))
        return false;
    if (!box) {
        // No box: let the posted messages be taken, then wait for a sent one.
        pause(Millis{200});
        return sendWithTimeout(dialog, WM_NULL, 0, 0).has_value();
    }
    const LRESULT marker = 0x3A0000;
    setLimit(marker, true);
    const bool arrived = waitUntil(
        [&] {
            if (!IsWindow(box) && (!findBox() || !setLimit(marker, true)))
                return false;
            return sendWithTimeout(box, EM_GETLIMITTEXT, 0, 0) == marker;
        },
        timeout);
    if (arrived)
        setLimit(*original, false);
    return arrived;
}

std::optional<MessageBoxSeen> answerMessageBox(HWND owner) {
    const HWND box = waitForOwnedDialog(owner);
    if (!box)
        return std::nullopt;
    MessageBoxSeen seen{windowText(box), {}};
    // The text may be set a moment after the box shows.
    waitUntil([&] { return !(seen.text = windowText(GetDlgItem(box, 0xFFFF))).empty(); },
              Millis{1000});
    return dismiss(box) ? std::optional(seen) : std::nullopt;
}

RemoteListView::RemoteListView(HWND list) : list_(list) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                               PROCESS_QUERY_LIMITED_INFORMATION,
                           FALSE, processOf(list));
    memory_ =
        static_cast<char*>(VirtualAllocEx(process_, nullptr, kTextAt + kTextChars * sizeof(wchar_t),
                                          MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    BOOL wow64 = FALSE;
    narrow_ = sizeof(void*) == 8 && IsWow64Process(process_, &wow64) && wow64;
}

RemoteListView::~RemoteListView() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

// Writes an LVITEMW as the tool lays it out, in 4-byte words (a 32-bit tool's pointer takes
// one, and the text's size follows it), sends it and reads the text from where the answer
// points (the control may point at a buffer of its own).
std::wstring RemoteListView::cell(int row, int column) const {
    char* const remoteText = memory_ + kTextAt;
    const std::size_t textWord = narrow_ ? 5 : offsetof(LVITEMW, pszText) / 4;
    const std::size_t pointer = narrow_ ? 4 : sizeof(void*);
    std::uint32_t request[sizeof(LVITEMW) / 4] = {LVIF_TEXT, std::uint32_t(row),
                                                  std::uint32_t(column)};
    std::memcpy(&request[textWord], &remoteText, pointer);
    request[textWord + pointer / 4] = kTextChars;
    const std::size_t size = narrow_ ? 60 : sizeof request;
    const wchar_t empty = L'\0';
    if (!memory_ || !WriteProcessMemory(process_, memory_, request, size, nullptr) ||
        !WriteProcessMemory(process_, remoteText, &empty, sizeof empty, nullptr) ||
        !sendWithTimeout(list_, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(memory_)))
        return {};
    std::uintptr_t textAt = std::uintptr_t(remoteText);
    if (ReadProcessMemory(process_, memory_, request, size, nullptr))
        std::memcpy(&textAt, &request[textWord], pointer);
    std::wstring text(kTextChars, L'\0');
    if (!ReadProcessMemory(process_, reinterpret_cast<const void*>(textAt), text.data(),
                           kTextChars * sizeof(wchar_t), nullptr))
        return {};
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

std::vector<std::wstring> RemoteListView::row(int index) const {
    const auto header = HWND(sendWithTimeout(list_, LVM_GETHEADER, 0, 0).value_or(0));
    std::vector<std::wstring> cells;
    for (int column = 0; header && column < sendWithTimeout(header, HDM_GETITEMCOUNT, 0, 0);
         ++column)
        cells.push_back(cell(index, column));
    return cells;
}

std::optional<RECT> listCellOnScreen(HWND list, int row, int column) {
    const RemoteListView view(list);
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    if (!view.memory_ ||
        !WriteProcessMemory(view.process_, view.memory_, &rect, sizeof rect, nullptr) ||
        !sendWithTimeout(list, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(view.memory_)).value_or(0) ||
        !ReadProcessMemory(view.process_, view.memory_, &rect, sizeof rect, nullptr))
        return std::nullopt;
    if (column == 0)
        rect.right = rect.left + LONG(sendWithTimeout(list, LVM_GETCOLUMNWIDTH, 0, 0).value_or(0));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool setClipboardText(std::string_view bytes) {
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(block)));
    GlobalUnlock(block);
    const bool placed = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return placed;
}

std::optional<std::string> clipboardText() {
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        const auto* bytes = static_cast<const char*>(GlobalLock(data));
        text = std::string(bytes, std::find(bytes, bytes + GlobalSize(data), '\0'));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool completeFileDialog(HWND owner, const fs::path& file, bool replacing) {
    // The file-name box is combo 1148, or edit 1152 in older templates.
    const HWND dialog = waitForOwnedDialog(owner);
    HWND nameBox = nullptr;
    if (!dialog || !waitUntil([&] {
            for (int id : {1148, 1152})
                if (IsWindowVisible(nameBox = GetDlgItem(dialog, id)))
                    return true;
            return false;
        }))
        return false;
    pause(kSettle);
    const std::wstring path = file.wstring();
    if (!sendWithTimeout(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())))
        return false;
    clickButton(dialog, IDOK);
    if (replacing) {
        const HWND question = waitForOwnedDialog(dialog);
        if (!question || !dismiss(question, IDYES))
            return false;
    }
    return waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

LockedFile::LockedFile(fs::path file, std::string_view bytes)
    : path_(std::move(file)),
      handle(writeFileBytes(path_, bytes)
                 ? CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                 : INVALID_HANDLE_VALUE) {}

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
    std::string line;
    if (!host.probe_ || !waitUntil([&] {
            std::istringstream lines(readFileBytes(log).value_or(""));
            while (std::getline(lines, line))
                if (line.starts_with("host "))
                    return true;
            return false;
        }))
        return std::nullopt;
    host.hostWindow_ = number(line, "hwnd");
    const auto toolId = DWORD(number(line, "tool_pid"));
    host.tool_ = Process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, toolId),
        toolId);
    return toolExe.empty() || host.tool_ ? std::optional(std::move(host)) : std::nullopt;
}

HostLog HostProbe::read() const {
    HostLog log;
    std::istringstream lines(readFileBytes(log_).value_or(""));
    for (std::string line; std::getline(lines, line);) {
        log.hangStarted = log.hangStarted || line.starts_with("hang start");
        if (!line.starts_with("copydata "))
            continue;
        CopyDataMessage message{number(line, "sender"), number(line, "dwData"),
                                std::uint32_t(number(line, "cbData"))};
        for (std::size_t i = line.find(" hex=") + 5; i + 1 < line.size() && line[i] != ' '; i += 2)
            message.bytes.push_back(std::uint8_t(std::stoul(line.substr(i, 2), nullptr, 16)));
        log.messages.push_back(std::move(message));
    }
    return log;
}

std::optional<std::string> unixPath(const fs::path& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* converted = convert ? convert(path.c_str()) : nullptr;
    const auto result = converted ? std::optional<std::string>(converted) : std::nullopt;
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
    std::string script;
    for (const auto& word : argv) // the words hold no quotes
        script += "'" + word + "' ";
    std::wstring commandLine =
        L"/bin/sh -c " + quoteArgument(wide(script + "; echo $? > '" + *done + "'"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string status;
    waitUntil([&] { return (status = readFileBytes(doneFile).value_or("")).ends_with('\n'); },
              timeout);
    return status == "0\n";
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

} // namespace gui
