// The tools where the world around them misbehaves: a host that has stopped
// answering or is gone, a program folder whose settings file cannot be
// written, and settings files that hold anything but what the tools wrote.
// Controls are found by their captions and classes, as a user finds them.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwctype>
#include <random>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The hand-off gives up on a host after five seconds; anything that makes a
// tool wait longer counts as a freeze.
constexpr Millis kHandOffBound{5000 + 4000};

// ---------------------------------------------------------------- helpers

HWND childWithText(HWND dialog, std::wstring_view text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (windowText(child) == text)
            return child;
    return nullptr;
}

int idOf(HWND dialog, std::wstring_view caption) {
    const HWND button = childWithText(dialog, caption);
    return button ? GetDlgCtrlID(button) : 0;
}

std::vector<HWND> childrenOfClass(HWND dialog, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (_wcsicmp(windowClass(child).c_str(), className) == 0)
            found.push_back(child);
    return found;
}

HWND planList(HWND dialog) {
    const auto lists = childrenOfClass(dialog, L"SysListView32");
    return lists.empty() ? nullptr : lists.front();
}

// Every text of the dialog's edit boxes and drop-down lists, and every cell of its list.
std::vector<std::wstring> shownTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (const wchar_t* className : {L"Edit", L"ComboBox", L"Static"})
        for (HWND child : childrenOfClass(dialog, className))
            texts.push_back(windowText(child));
    if (const HWND list = planList(dialog)) {
        RemoteListView view(list);
        for (int r = 0; r < view.rowCount(); ++r)
            for (auto& cell : view.row(r))
                texts.push_back(std::move(cell));
    }
    return texts;
}

// A number text that is not one: "nan", "inf", "-nan(ind)", "1.#INF" and the like.
bool looksUndefined(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text.find(L"nan") != std::wstring::npos || text.find(L"inf") != std::wstring::npos ||
           text.find(L"#") != std::wstring::npos;
}

Millis since(Clock::time_point start) {
    return std::chrono::duration_cast<Millis>(Clock::now() - start);
}

// A tool's dialog answers a sent message within the bound.
bool answers(HWND dialog, Millis bound) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(bound.count()),
                               &result) != 0;
}

// hostprobe as the host of one tool, with options of the probe itself (such
// as --hang-after): HostProbe::start with a say in how the host behaves.
struct Host {
    Process probe;
    Process tool;
    fs::path log;
    HostLog read() const {
        const auto bytes = readFileBytes(log);
        return bytes ? parseHostLog(*bytes) : HostLog{};
    }
    bool logHas(std::string_view text) const {
        const auto bytes = readFileBytes(log);
        return bytes && bytes->find(text) != std::string::npos;
    }
};

std::optional<Host> startHost(const fs::path& toolExe, const fs::path& log,
                              const std::vector<std::wstring>& probeOptions) {
    Host host;
    host.log = log;
    std::vector<std::wstring> arguments{L"--log", log.wstring()};
    arguments.insert(arguments.end(), probeOptions.begin(), probeOptions.end());
    arguments.insert(arguments.end(), {L"--", toolExe.wstring()});
    host.probe =
        Process::start(programDirectory() / L"hostprobe.exe", arguments, toolExe.parent_path());
    if (!host.probe)
        return std::nullopt;
    HostLog seen;
    if (!waitUntil([&] {
            seen = host.read();
            return seen.toolProcessId.has_value();
        }))
        return std::nullopt;
    host.tool = Process::attach(*seen.toolProcessId);
    if (!host.tool)
        return std::nullopt;
    return host;
}

// The handle of a window that existed a moment ago.
std::wstring closedWindowHandle() {
    const HWND window = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto number =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
    DestroyWindow(window);
    return std::to_wstring(number);
}

// ---------------------------------------------------------------- hand-off

class HardeningHandOff : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_))
            saveScreenshot(dialog_, L"hardening-handoff-failed");
    }

    // Presses a button that hands off and measures until the dialog has taken
    // every message posted before: the time the click kept the tool busy.
    Millis pressAndTime(int id) {
        const auto start = Clock::now();
        clickButton(dialog_, id);
        EXPECT_TRUE(flush(dialog_, Millis{30000})) << "the dialog did not come back";
        return since(start);
    }

    void expectUsableAndQuiet(const Process& tool) {
        EXPECT_TRUE(answers(dialog_, Millis{2000})) << "the dialog does not answer";
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
        EXPECT_TRUE(tool.running()) << "the tool ended";
    }

    TempFolder folder_{L"hardening"};
    HWND dialog_ = nullptr;
};

TEST_F(HardeningHandOff, AHungHostCostsTheCalculatorAtMostTheTimeOutAndThePlanGoesOn) {
    const fs::path toolCopy = Process::copyProgram(L"stakeladder.exe", folder_);
    ASSERT_FALSE(toolCopy.empty());
    // The host stops answering as soon as it has started the tool, for long
    // enough that a send without a time-out would still be waiting.
    auto host = startHost(toolCopy, folder_.file(L"host.log"),
                          {L"--hang-after", L"0", L"--hang-for", L"20000"});
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool.id());
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(host->logHas("hang start"));
    const int compute = idOf(dialog_, L"计算");
    const int handOff = idOf(dialog_, L"复制到方案");
    ASSERT_NE(compute, 0);
    ASSERT_NE(handOff, 0);

    clickButton(dialog_, compute);
    ASSERT_TRUE(waitUntil([&] { return RemoteListView(planList(dialog_)).rowCount() == 5; }));

    const Millis first = pressAndTime(handOff);
    EXPECT_LT(first, kHandOffBound) << "the first hand-off to the hung host";
    expectUsableAndQuiet(host->tool);
    // By now the host has not pumped for longer than the system allows: the
    // next hand-off gives up without waiting the whole time-out.
    pause(Millis{1000});
    const Millis second = pressAndTime(handOff);
    EXPECT_LT(second, kHandOffBound) << "the second hand-off to the hung host";
    std::printf("hand-off to a hung host: %lld ms, then %lld ms\n",
                static_cast<long long>(first.count()), static_cast<long long>(second.count()));
    expectUsableAndQuiet(host->tool);

    // The calculator goes on working: a new plan replaces the old one.
    ASSERT_TRUE(
        setControlText(dialog_, GetDlgCtrlID(childrenOfClass(dialog_, L"Edit").front()), L"3"));
    clickButton(dialog_, compute);
    EXPECT_TRUE(waitUntil([&] { return RemoteListView(planList(dialog_)).rowCount() == 3; }))
        << "计算 no longer works after the hand-off";

    // When the host wakes up, whatever reaches it is the record as sent.
    ASSERT_TRUE(waitUntil([&] { return host->logHas("hang end"); }, Millis{30000}));
    pause(Millis{1000});
    for (const CopyDataMessage& message : host->read().messages) {
        EXPECT_EQ(message.cbData, 2032u);
        ASSERT_EQ(message.bytes.size(), 2032u);
        EXPECT_EQ(message.bytes[0], 1u);
        EXPECT_EQ(std::string(message.bytes.begin() + 28, message.bytes.begin() + 39),
                  std::string("1,2,4,8,17\0", 11));
    }
    std::printf("records that reached the host after its hang: %zu\n",
                host->read().messages.size());
}

TEST_F(HardeningHandOff, AFilterHandsOffAtOnceToALiveHostAndIsNotHeldByItOnceItHangs) {
    const fs::path bin = folder_.path() / L"bin";
    fs::create_directories(bin);
    fs::copy_file(programDirectory() / L"sieve3.exe", bin / L"sieve3.exe");
    // The host answers one message, then stops answering.
    auto host = startHost(bin / L"sieve3.exe", folder_.file(L"host.log"),
                          {L"--hang-after", L"1", L"--hang-for", L"60000"});
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool.id());
    ASSERT_NE(dialog_, nullptr);
    const int handOff = idOf(dialog_, L"出图");
    ASSERT_NE(handOff, 0);

    // A live host has the whole list by the time the click is handled.
    pressAndTime(handOff);
    const HostLog live = host->read();
    ASSERT_EQ(live.messages.size(), 1u) << "the send returned before the host had the list";
    EXPECT_EQ(live.messages[0].cbData, 4000u);
    EXPECT_EQ(std::string(live.messages[0].bytes.begin(), live.messages[0].bytes.begin() + 8),
              "000 001 ");
    ASSERT_TRUE(waitUntil([&] { return host->logHas("hang start"); }));

    for (int attempt = 1; attempt <= 2; ++attempt) {
        const Millis took = pressAndTime(handOff);
        EXPECT_LT(took, kHandOffBound) << "hand-off " << attempt << " to the hung host";
        std::printf("hand-off %d to a hung host: %lld ms\n", attempt,
                    static_cast<long long>(took.count()));
        expectUsableAndQuiet(host->tool);
    }
    // The count display still follows the boxes: 重置 answers too.
    const int reset = idOf(dialog_, L"重置");
    ASSERT_NE(reset, 0);
    pressAndTime(reset);
    expectUsableAndQuiet(host->tool);
}

TEST_F(HardeningHandOff, AClosedHostWindowNeitherHoldsNorBothersTheTool) {
    struct Case {
        const wchar_t* exe;
        const wchar_t* handOff;
    };
    for (const Case& tool :
         {Case{L"stakeladder.exe", L"复制到方案"}, Case{L"sieve3.exe", L"出图"}}) {
        SCOPED_TRACE(utf8(tool.exe));
        TempFolder own(L"hardening-closed");
        Process process = Process::startCopy(tool.exe, own, {closedWindowHandle()});
        ASSERT_TRUE(process);
        dialog_ = waitForMainDialog(process.id());
        ASSERT_NE(dialog_, nullptr);
        const int handOff = idOf(dialog_, tool.handOff);
        ASSERT_NE(handOff, 0);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const Millis took = pressAndTime(handOff);
            EXPECT_LT(took, Millis{3000}) << "hand-off to a closed window";
        }
        pause(Millis{300});
        expectUsableAndQuiet(process);
        process.terminate();
    }
}

// ---------------------------------------------------------------- where the settings go

// %APPDATA% of the tools started while it lives: a folder of the test's own.
class UserFolderForTools {
  public:
    explicit UserFolderForTools(const fs::path& folder) {
        wchar_t old[MAX_PATH * 2] = {};
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", old, MAX_PATH * 2);
        if (length > 0 && length < MAX_PATH * 2)
            old_ = old;
        SetEnvironmentVariableW(L"APPDATA", folder.wstring().c_str());
    }
    ~UserFolderForTools() { SetEnvironmentVariableW(L"APPDATA", old_ ? old_->c_str() : nullptr); }
    UserFolderForTools(const UserFolderForTools&) = delete;
    UserFolderForTools& operator=(const UserFolderForTools&) = delete;

  private:
    std::optional<std::wstring> old_;
};

bool canCreateFileIn(const fs::path& folder) {
    const fs::path probe = folder / L"probe.tmp";
    const HANDLE file = CreateFileW(probe.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool canWriteFile(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

// A folder (and the files in it) made unwritable on the Unix side for as long
// as the object lives. Permission bits stop an ordinary user but not root,
// which Wine lets write anywhere; the immutable flag stops root too, where
// the file system and the capabilities allow it. made() says whether either
// worked.
class UnwritableFolder {
  public:
    explicit UnwritableFolder(const fs::path& folder) {
        if (const auto path = unixPath(folder))
            folder_ = *path;
        for (const auto& entry : fs::directory_iterator(folder))
            if (const auto path = unixPath(entry.path()))
                files_.push_back(*path);
        if (folder_.empty())
            return;
        run({"chmod", "a-w"});
        if (!writable(folder))
            return;
        run({"chattr", "+i"});
        immutable_ = true;
        made_ = !writable(folder);
        how_ = "the immutable flag";
    }
    ~UnwritableFolder() {
        if (immutable_)
            run({"chattr", "-i"});
        run({"chmod", "u+w"});
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool made() const { return made_; }
    const char* how() const { return how_; }

  private:
    bool writable(const fs::path& folder) const {
        if (canCreateFileIn(folder))
            return true;
        for (const auto& entry : fs::directory_iterator(folder))
            if (!entry.is_directory() && canWriteFile(entry.path()))
                return true;
        return false;
    }
    void run(std::vector<std::string> command) const {
        for (const auto& file : files_)
            command.push_back(file);
        command.push_back(folder_);
        runX11Command(command, Millis{10000});
    }

    std::string folder_;
    std::vector<std::string> files_;
    bool immutable_ = false;
    bool made_ = true;
    const char* how_ = "permissions";
};

std::string iniText(const fs::path& file) {
    return readFileBytes(file).value_or("<missing>");
}

class HardeningSettings : public ::testing::Test {
  protected:
    // Starts a copy of the tool that lies in `folder` and waits for its dialog.
    HWND open(const fs::path& exe) {
        tool_ = Process::start(exe, {}, exe.parent_path());
        EXPECT_TRUE(tool_) << utf8(exe.wstring()) << " did not start";
        dialog_ = tool_ ? waitForMainDialog(tool_.id()) : nullptr;
        EXPECT_NE(dialog_, nullptr) << "the dialog did not show";
        return dialog_;
    }
    // The first edit box, which holds the tool's first input.
    std::wstring firstInput() const {
        return windowText(childrenOfClass(dialog_, L"Edit").front());
    }
    // Types into the first edit box and closes with Esc, which saves.
    void closeWithFirstInput(const wchar_t* value) {
        const HWND edit = childrenOfClass(dialog_, L"Edit").front();
        ASSERT_TRUE(setControlText(dialog_, GetDlgCtrlID(edit), value));
        postCommand(dialog_, IDCANCEL, BN_CLICKED);
        EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr);
    }

    TempFolder folder_{L"hardening-settings"};
    TempFolder appData_{L"hardening-appdata"};
    UserFolderForTools userFolder_{appData_.path()};
    fs::path userCopy(const wchar_t* name) const { return appData_.path() / L"TrendTools" / name; }
    Process tool_;
    HWND dialog_ = nullptr;
};

// A folder in place of "setbt.ini" makes the file beside the program
// unwritable for everybody, root included, on Windows and under Wine alike.
TEST_F(HardeningSettings, WhereTheFileBesideTheProgramCannotBeWrittenTheUserCopyTakesOver) {
    const fs::path exe = Process::copyProgram(L"stakeladder.exe", folder_);
    ASSERT_FALSE(exe.empty());
    const fs::path beside = folder_.file(L"setbt.ini");
    fs::create_directory(beside);

    ASSERT_TRUE(open(exe));
    EXPECT_EQ(utf8(firstInput()), "5") << "no settings anywhere: the default";
    closeWithFirstInput(L"7");
    EXPECT_TRUE(fs::is_directory(beside));
    EXPECT_NE(iniText(userCopy(L"setbt.ini")).find("nQishu=7"), std::string::npos)
        << iniText(userCopy(L"setbt.ini"));

    // While the place beside the program stays unwritable, the copy is read.
    ASSERT_TRUE(open(exe));
    EXPECT_EQ(utf8(firstInput()), "7");
    closeWithFirstInput(L"8");
    EXPECT_NE(iniText(userCopy(L"setbt.ini")).find("nQishu=8"), std::string::npos);

    // Once it can be written again, the file beside the program is the one.
    fs::remove(beside);
    ASSERT_TRUE(open(exe));
    EXPECT_EQ(utf8(firstInput()), "5") << "the file beside the program is missing: the default";
    closeWithFirstInput(L"9");
    EXPECT_NE(iniText(beside).find("nQishu=9"), std::string::npos) << iniText(beside);
    EXPECT_NE(iniText(userCopy(L"setbt.ini")).find("nQishu=8"), std::string::npos)
        << "the user copy was touched although the folder could be written";
    ASSERT_TRUE(open(exe));
    EXPECT_EQ(utf8(firstInput()), "9");
    tool_.terminate();
}

// A read-only program folder with a read-only "setgl.ini" of both tools that
// share it: the file is read as long as there is no user copy, and the copy
// made on the first close keeps the other tool's section.
TEST_F(HardeningSettings, AReadOnlyFolderMovesSetglWithBothSectionsToTheUserCopy) {
    const fs::path segment = Process::copyProgram(L"segmentstake.exe", folder_);
    const fs::path snowball = Process::copyProgram(L"snowballstake.exe", folder_);
    ASSERT_FALSE(segment.empty());
    ASSERT_FALSE(snowball.empty());
    const fs::path beside = folder_.file(L"setgl.ini");
    const std::string original = "[SetFD]\r\nnQishu=40\r\n[SetBT]\r\nnQishu=6\r\n";
    ASSERT_TRUE(writeFileBytes(beside, original));
    UnwritableFolder locked(folder_.path());
    if (!locked.made())
        GTEST_SKIP() << "neither permissions nor the immutable flag make a folder unwritable here";
    std::printf("the folder is unwritable by %s\n", locked.how());

    ASSERT_TRUE(open(segment));
    EXPECT_EQ(utf8(firstInput()), "40") << "the read-only file beside the program is read";
    closeWithFirstInput(L"41");

    ASSERT_TRUE(open(snowball));
    EXPECT_EQ(utf8(firstInput()), "6") << "segmentstake's copy lost snowballstake's section";
    closeWithFirstInput(L"7");

    const std::string copy = iniText(userCopy(L"setgl.ini"));
    const auto fd = copy.find("[SetFD]");
    const auto bt = copy.find("[SetBT]");
    ASSERT_NE(fd, std::string::npos) << copy;
    ASSERT_NE(bt, std::string::npos) << copy;
    EXPECT_NE(copy.find("nQishu=41"), std::string::npos) << copy;
    EXPECT_NE(copy.find("nQishu=7", bt), std::string::npos) << copy;
    EXPECT_EQ(iniText(beside), original) << "the read-only file changed";

    ASSERT_TRUE(open(segment));
    EXPECT_EQ(utf8(firstInput()), "41") << "the user copy is read while the folder stays locked";
    tool_.terminate();
}

// ---------------------------------------------------------------- a DLL planted beside the tool

// planted_dll.dll, built beside the tests, leaves this file beside itself
// when it is loaded.
constexpr wchar_t kPlantedMarker[] = L"planted-dll-loaded.txt";

// A tool that loads a system DLL by name, and that name.
struct PlantedDll {
    const wchar_t* exe;
    const wchar_t* dllName;
};

class HardeningPlantedDll : public ::testing::TestWithParam<PlantedDll> {};

TEST_P(HardeningPlantedDll, IsNotLoadedAndTheNumberBoxWorks) {
    const PlantedDll& planted = GetParam();
    TempFolder folder(L"hardening-dll");
    std::error_code error;
    fs::copy_file(programDirectory() / L"planted_dll.dll", folder.file(planted.dllName), error);
    ASSERT_FALSE(error) << "the stand-in DLL could not be copied";
    Process tool = Process::startCopy(planted.exe, folder);
    ASSERT_TRUE(tool);

    const HWND dialog = waitForMainDialog(tool.id());
    EXPECT_FALSE(fs::exists(folder.file(kPlantedMarker)))
        << "the DLL planted beside the tool was loaded";
    ASSERT_NE(dialog, nullptr) << "the dialog did not show";
    const auto boxes = childrenOfClass(dialog, L"RICHEDIT50W");
    ASSERT_EQ(boxes.size(), 1u) << "no number box";
    const int show = idOf(dialog, L"显示号码");
    ASSERT_NE(show, 0);
    clickButton(dialog, show);
    ASSERT_TRUE(flush(dialog));
    EXPECT_GT(SendMessageW(boxes.front(), WM_GETTEXTLENGTH, 0, 0), 0) << "the number box is empty";
    tool.terminate();
}

INSTANTIATE_TEST_SUITE_P(PlantedDll, HardeningPlantedDll,
                         ::testing::Values(PlantedDll{L"sieve4.exe", L"Msftedit.dll"},
                                           PlantedDll{L"sieve5.exe", L"Msftedit.dll"}),
                         [](const ::testing::TestParamInfo<PlantedDll>& info) {
                             std::string name = utf8(info.param.exe);
                             return name.substr(0, name.find('.'));
                         });

// ---------------------------------------------------------------- hostile settings files

struct Calculator {
    const wchar_t* exe;
    const wchar_t* iniName;
    const char* section;
    std::vector<const char*> keys;
    std::vector<const wchar_t*> actions; // buttons pressed in turn
};

const Calculator kCalculators[] = {
    {L"stakeladder.exe",
     L"setbt.ini",
     "SetBT",
     {"nModel", "nLirunLv", "nLirunType", "nQishu", "nStartBeishu", "nXingshu", "nZhushu", "fLirun",
      "fPeilv"},
     {L"计算", L"复制到剪贴板"}},
    {L"segmentstake.exe",
     L"setgl.ini",
     "SetFD",
     {"nQishu", "nMode", "nXingshu", "nZhushu", "nZhong", "nPeilv", "fYingli"},
     {L"初始", L"挂", L"中", L"挂", L"中"}},
    {L"wavestake.exe",
     L"settb.ini",
     "SetBT",
     {"nBoshu", "nQishu", "nMode", "nXingshu", "nZhushu", "fLirun", "fPeilv"},
     {L"计算"}},
    {L"snowballstake.exe",
     L"setgl.ini",
     "SetBT",
     {"nQishu", "nMode", "nXingshu", "nZhushu", "nStartBeishu", "fPeilv"},
     {L"计算"}},
};

void PrintTo(const Calculator& tool, std::ostream* out) {
    *out << utf8(tool.exe);
}

struct HostileFile {
    std::string name;
    std::string bytes;
};

std::string header(const Calculator& tool) {
    return "[" + std::string(tool.section) + "]\r\n";
}

// The keys that hold list indexes: the drop-down lists and the radio group.
bool isListIndex(std::string_view key) {
    return key == "nModel" || key == "nMode" || key == "nXingshu" || key == "nLirunType";
}

// `value` in every key that holds a number, the list indexes left to their
// defaults; with `validBets` not in 注数, so that the plan gets computed.
std::string everyNumber(const Calculator& tool, const std::string& value, bool validBets) {
    std::string text = header(tool);
    for (const char* key : tool.keys)
        if (!isListIndex(key) && !(validBets && std::string_view(key) == "nZhushu"))
            text += std::string(key) + "=" + value + "\r\n";
    return text;
}

std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::vector<HostileFile> hostileFiles(const Calculator& tool) {
    std::vector<HostileFile> files = {
        {"empty", ""},
        {"binary garbage", garbage(4096, 1)},
        {"garbage behind the section header", header(tool) + garbage(4096, 2)},
        {"UTF-16 byte-order mark, then garbage of odd length", "\xFF\xFE" + garbage(4095, 3)},
        {"UTF-8 byte-order mark, then garbage", "\xEF\xBB\xBF" + garbage(4096, 4)},
        {"zero bytes inside the values", everyNumber(tool,
                                                     std::string("12\0"
                                                                 "34",
                                                                 5),
                                                     false)},
        {"one line of 10 MB without a line break", header(tool) + std::string(10 << 20, '=')},
        {"every key missing", header(tool) + "nSomethingElse=3\r\n"},
        {"list indexes beyond the lists",
         header(tool) + "nModel=8\r\nnMode=8\r\nnXingshu=5\r\nnLirunType=2\r\n"},
        {"list indexes far below and beyond the lists",
         header(tool) + "nModel=-7\r\nnMode=1000000\r\nnXingshu=-5\r\nnLirunType=-1\r\n"},
    };
    // Every key with a long run of digits, then lines up to 10 MB.
    std::string huge = everyNumber(tool, std::string(100000, '9'), false);
    const std::string line = "x" + std::string(998, '7') + "\r\n";
    while (huge.size() < 10 * 1024 * 1024)
        huge += line;
    files.push_back({"10 MB", std::move(huge)});
    // 10000 is the longest plan the tools accept; 3.4e38 just fits single precision.
    for (const char* value : {"-1", "0", "10000", "99999999999", "2147483647", "-2147483648", "abc",
                              "1e40", "-1e40", "3.4e38", "1e-40", "nan", "inf"}) {
        files.push_back({std::string(value) + " everywhere", everyNumber(tool, value, false)});
        files.push_back({std::string(value) + " but for 注数", everyNumber(tool, value, true)});
        // stakeladder's amount mode uses other inputs than its rate mode.
        if (std::find(tool.keys.begin(), tool.keys.end(), std::string_view("nLirunType")) !=
            tool.keys.end())
            files.push_back({std::string(value) + " but for 注数, amount mode",
                             everyNumber(tool, value, true) + "nLirunType=1\r\n"});
    }
    return files;
}

class HardeningHostile : public ::testing::TestWithParam<Calculator> {
  protected:
    void TearDown() override { tool_.terminate(); }

    // The texts shown anywhere in the dialog that are no numbers.
    void expectNoUndefinedNumber(const std::string& when) {
        for (const std::wstring& text : shownTexts(dialog_))
            EXPECT_FALSE(looksUndefined(text)) << when << ": the dialog shows " << utf8(text);
    }

    // Presses a button; a message box it opens is read, checked and closed.
    void press(const wchar_t* caption) {
        const int id = idOf(dialog_, caption);
        ASSERT_NE(id, 0) << "no button " << utf8(caption);
        if (!IsWindowEnabled(GetDlgItem(dialog_, id)))
            return;
        clickButton(dialog_, id);
        ASSERT_TRUE(flush(dialog_)) << utf8(caption) << ": the dialog does not answer";
        if (const HWND box = findOwnedDialog(dialog_)) {
            const auto seen = waitForMessageBox(dialog_, Millis{2000});
            ASSERT_TRUE(seen);
            summary_ += " " + utf8(caption) + "→\"" + utf8(seen->text) + "\"";
            EXPECT_FALSE(looksUndefined(seen->text)) << utf8(seen->text);
            ASSERT_TRUE(dismiss(box)) << "the box of " << utf8(caption) << " does not close";
        }
        ASSERT_TRUE(tool_.running()) << utf8(caption) << " ended the tool";
    }

    TempFolder folder_{L"hardening-hostile"};
    std::string summary_;
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_P(HardeningHostile, EveryHostileSettingsFileOpensWithDefinedNumbersAndEveryActionWorks) {
    const Calculator& tool = GetParam();
    const fs::path exe = Process::copyProgram(tool.exe, folder_);
    ASSERT_FALSE(exe.empty());
    for (const HostileFile& hostile : hostileFiles(tool)) {
        SCOPED_TRACE(hostile.name);
        ASSERT_TRUE(writeFileBytes(folder_.file(tool.iniName), hostile.bytes));
        tool_ = Process::start(exe, {}, folder_.path());
        ASSERT_TRUE(tool_);
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
        ASSERT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened at start-up";
        expectNoUndefinedNumber("at start-up");
        summary_ = "inputs";
        for (HWND edit : childrenOfClass(dialog_, L"Edit"))
            summary_ += " " + utf8(windowText(edit));
        for (HWND combo : childrenOfClass(dialog_, L"ComboBox"))
            summary_ += " [" + utf8(windowText(combo)) + "]";

        for (const wchar_t* action : tool.actions) {
            press(action);
            if (HasFatalFailure())
                return;
        }
        expectNoUndefinedNumber("after the actions");
        const HWND list = planList(dialog_);
        ASSERT_NE(list, nullptr);
        EXPECT_LE(RemoteListView(list).rowCount(), 100000);
        std::printf("%-34s %s; %d rows\n", hostile.name.c_str(), summary_.c_str(),
                    RemoteListView(list).rowCount());

        // Closing saves, whatever the file held before.
        postCommand(dialog_, IDCANCEL, BN_CLICKED);
        EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "closing did not end the tool";
        if (::testing::Test::HasFailure())
            std::printf("%s: failed with \"%s\"\n", utf8(tool.exe).c_str(), hostile.name.c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(Hardening, HardeningHostile, ::testing::ValuesIn(kCalculators),
                         [](const ::testing::TestParamInfo<Calculator>& info) {
                             std::string name = utf8(info.param.exe);
                             return name.substr(0, name.find('.'));
                         });

} // namespace
