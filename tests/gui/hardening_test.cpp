// The tools where the world around them misbehaves: a host that hangs or is
// gone, a settings file that cannot be written, settings files that hold
// anything but what the tools wrote, and a DLL planted beside a tool.
// Controls are found by their captions and classes, as a user finds them.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <deque>
#include <random>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The hand-off gives up on a host after five seconds.
constexpr Millis kHandOffBound{5000 + 4000};

int idOf(HWND dialog, std::wstring_view caption) {
    const HWND button = childWithText(dialog, caption);
    return button ? GetDlgCtrlID(button) : 0;
}

int rowCount(HWND dialog) {
    const auto lists = childWindows(dialog, L"SysListView32");
    return lists.empty() ? -1 : RemoteListView(lists.front()).rowCount();
}

HWND firstEdit(HWND dialog) {
    return childWindows(dialog, L"Edit").front();
}


// The handle of a window that existed a moment ago.
std::wstring closedWindowHandle() {
    const HWND window = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    DestroyWindow(window);
    return std::to_wstring(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

// A calculator and a filter hand off to a host that answers once and then
// hangs, and to a window that is gone: each click comes back within the
// time-out, opens nothing, and the tools go on working.
TEST(HardeningHandOff, AHungOrClosedHostHoldsNoToolLongerThanTheTimeOut) {
    TempFolder folder(L"hardening");
    auto host = HostProbe::start({}, folder.file(L"host.log"), {}, {L"--hang-after", L"1"});
    ASSERT_TRUE(host) << "hostprobe did not start";
    const std::wstring hung = std::to_wstring(host->hostWindow());
    const struct {
        const wchar_t* exe;
        const wchar_t* handOff;
        std::wstring host;
    } cases[] = {{L"sieve3.exe", L"出图", hung},
                 {L"stakeladder.exe", L"复制到方案", hung},
                 {L"sieve3.exe", L"出图", closedWindowHandle()},
                 {L"stakeladder.exe", L"复制到方案", closedWindowHandle()}};
    std::deque<TempFolder> folders;
    std::vector<Process> tools;
    for (const auto& c : cases)
        tools.push_back(Process::startCopy(c.exe, folders.emplace_back(L"hardening-tool"), {c.host}));
    std::vector<HWND> dialogs;
    std::vector<int> handOffs;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        ASSERT_NE(dialogs.emplace_back(waitForMainDialog(tools[i].id())), nullptr);
        ASSERT_NE(handOffs.emplace_back(idOf(dialogs[i], cases[i].handOff)), 0);
    }

    // A live host has the whole list by the time the click is handled.
    clickButton(dialogs[0], handOffs[0]);
    ASSERT_TRUE(flush(dialogs[0]));
    ASSERT_EQ(host->read().messages.size(), 1u) << "the send returned before the host had it";
    EXPECT_EQ(host->read().messages[0].cbData, 4000u);
    ASSERT_TRUE(waitUntil([&] { return host->read().hangStarted; }));

    for (int round = 1; round <= 2; ++round) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < tools.size(); ++i)
            clickButton(dialogs[i], handOffs[i]);
        for (std::size_t i = 0; i < tools.size(); ++i) {
            SCOPED_TRACE(utf8(cases[i].exe) + " " + std::to_string(i));
            EXPECT_TRUE(flush(dialogs[i], kHandOffBound)) << "hand-off " << round << " froze";
            EXPECT_EQ(findOwnedDialog(dialogs[i]), nullptr) << "a box opened";
            EXPECT_TRUE(tools[i].running());
        }
        std::printf("hand-off round %d to hung and closed hosts: %lld ms\n", round,
                    static_cast<long long>(std::chrono::duration_cast<Millis>(Clock::now() - start)
                                               .count()));
    }
    // The calculators still compute, the filters still reset.
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (i % 2 == 0) {
            clickButton(dialogs[i], idOf(dialogs[i], L"重置"));
            EXPECT_TRUE(flush(dialogs[i]));
            continue;
        }
        ASSERT_TRUE(setControlText(dialogs[i], GetDlgCtrlID(firstEdit(dialogs[i])), L"3"));
        clickButton(dialogs[i], idOf(dialogs[i], L"计算"));
        EXPECT_TRUE(waitUntil([&] { return rowCount(dialogs[i]) == 3; })) << "计算 no longer works";
    }
    EXPECT_EQ(host->read().messages.size(), 1u);
}


// %APPDATA% of the tools started while it lives.
class UserFolderForTools {
  public:
    explicit UserFolderForTools(const fs::path& folder) {
        wchar_t old[MAX_PATH * 2] = {};
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", old, MAX_PATH * 2);
        if (length > 0 && length < MAX_PATH * 2)
            old_ = old;
        SetEnvironmentVariableW(L"APPDATA", folder.c_str());
    }
    ~UserFolderForTools() { SetEnvironmentVariableW(L"APPDATA", old_ ? old_->c_str() : nullptr); }

  private:
    std::optional<std::wstring> old_;
};

bool writable(const fs::path& folder) {
    const HANDLE file = CreateFileW((folder / L"probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// A folder and its files made unwritable on the Unix side while the object
// lives: permission bits stop an ordinary user; root, whom Wine lets write
// anywhere, only the immutable flag stops, where the file system allows it.
class UnwritableFolder {
  public:
    explicit UnwritableFolder(const fs::path& folder) {
        for (const auto& entry : fs::directory_iterator(folder))
            paths_.push_back(unixPath(entry.path()).value_or(""));
        paths_.push_back(unixPath(folder).value_or(""));
        run({"chmod", "a-w"});
        if (writable(folder)) {
            run({"chattr", "+i"});
            immutable_ = true;
        }
        made_ = !writable(folder);
    }
    ~UnwritableFolder() {
        if (immutable_)
            run({"chattr", "-i"});
        run({"chmod", "u+w"});
    }
    bool made() const { return made_; }

  private:
    void run(std::vector<std::string> command) const {
        command.insert(command.end(), paths_.begin(), paths_.end());
        runX11Command(command, Millis{10000});
    }
    std::vector<std::string> paths_;
    bool immutable_ = false;
    bool made_ = false;
};

class HardeningSettings : public ::testing::Test {
  protected:
    // Starts the program, checks its first input, types `next` there and closes with Esc.
    void cycle(const fs::path& exe, const char* shown, const wchar_t* next) {
        Process tool = Process::start(exe);
        const HWND dialog = tool ? waitForMainDialog(tool.id()) : nullptr;
        ASSERT_NE(dialog, nullptr) << utf8(exe.wstring()) << " did not open";
        const int first = GetDlgCtrlID(firstEdit(dialog));
        EXPECT_EQ(utf8(controlText(dialog, first)), shown) << utf8(exe.filename().wstring());
        ASSERT_TRUE(setControlText(dialog, first, next));
        postCommand(dialog, IDCANCEL, BN_CLICKED);
        EXPECT_EQ(tool.waitForExit(), std::optional<DWORD>(0));
    }
    std::string userCopy(const wchar_t* name) const {
        return readFileBytes(appData_.path() / L"TrendTools" / name).value_or("<missing>");
    }

    TempFolder folder_{L"hardening-settings"};
    TempFolder appData_{L"hardening-appdata"};
    UserFolderForTools userFolder_{appData_.path()};
};

// A folder in place of "setbt.ini" makes the file beside the program
// unwritable for everybody, root included, on Windows and under Wine alike.
TEST_F(HardeningSettings, WhereTheFileBesideTheProgramCannotBeWrittenTheUserCopyTakesOver) {
    const fs::path exe = Process::copyProgram(L"stakeladder.exe", folder_);
    const fs::path beside = folder_.file(L"setbt.ini");
    ASSERT_TRUE(fs::create_directory(beside));
    cycle(exe, "5", L"7"); // no settings anywhere: the default
    EXPECT_NE(userCopy(L"setbt.ini").find("nQishu=7"), std::string::npos);
    cycle(exe, "7", L"8"); // the user copy is read while the place stays unwritable
    fs::remove(beside);
    cycle(exe, "5", L"9"); // then the file beside the program is the one again
    EXPECT_NE(readFileBytes(beside).value_or("").find("nQishu=9"), std::string::npos);
    EXPECT_NE(userCopy(L"setbt.ini").find("nQishu=8"), std::string::npos) << "user copy touched";
}

// A read-only folder with a read-only "setgl.ini" of the two tools that share
// it: the file is read while there is no user copy, and the copy made on the
// first close keeps the other tool's section.
TEST_F(HardeningSettings, AReadOnlyFolderMovesSetglWithBothSectionsToTheUserCopy) {
    const fs::path segment = Process::copyProgram(L"segmentstake.exe", folder_);
    const fs::path snowball = Process::copyProgram(L"snowballstake.exe", folder_);
    const std::string original = "[SetFD]\r\nnQishu=40\r\n[SetBT]\r\nnQishu=6\r\n";
    ASSERT_TRUE(writeFileBytes(folder_.file(L"setgl.ini"), original));
    UnwritableFolder locked(folder_.path());
    if (!locked.made())
        GTEST_SKIP() << "neither permissions nor the immutable flag make a folder unwritable here";
    cycle(segment, "40", L"41");
    cycle(snowball, "6", L"7");
    const std::string copy = userCopy(L"setgl.ini");
    const auto bt = copy.find("[SetBT]");
    ASSERT_NE(bt, std::string::npos) << copy;
    EXPECT_LT(copy.find("nQishu=41"), bt) << copy;
    EXPECT_NE(copy.find("nQishu=7", bt), std::string::npos) << copy;
    EXPECT_EQ(readFileBytes(folder_.file(L"setgl.ini")), original);
    cycle(segment, "41", L"41");
}


// planted_dll.dll leaves this file beside itself when it is loaded.
TEST(HardeningPlantedDll, TheRichEditDllBesideAFilterIsNotLoadedAndTheNumberBoxWorks) {
    for (const wchar_t* exe : {L"sieve4.exe", L"sieve5.exe"}) {
        SCOPED_TRACE(utf8(exe));
        TempFolder folder(L"hardening-dll");
        fs::copy_file(programDirectory() / L"planted_dll.dll", folder.file(L"Msftedit.dll"));
        Process tool = Process::startCopy(exe, folder);
        const HWND dialog = waitForMainDialog(tool.id());
        EXPECT_FALSE(fs::exists(folder.file(L"planted-dll-loaded.txt"))) << "the DLL was loaded";
        ASSERT_NE(dialog, nullptr);
        const auto boxes = childWindows(dialog, L"RICHEDIT50W");
        ASSERT_EQ(boxes.size(), 1u) << "no number box";
        clickButton(dialog, idOf(dialog, L"显示号码"));
        ASSERT_TRUE(flush(dialog));
        EXPECT_FALSE(windowText(boxes.front()).empty()) << "the number box is empty";
    }
}


struct Calculator {
    const wchar_t* exe;
    const wchar_t* iniName;
    const char* section;
    std::vector<const char*> keys; // the numbers; list indexes apart
    std::vector<const wchar_t*> actions;
};

const Calculator kCalculators[] = {
    {L"stakeladder.exe", L"setbt.ini", "SetBT",
     {"nLirunLv", "nQishu", "nStartBeishu", "nZhushu", "fLirun", "fPeilv"},
     {L"计算", L"复制到剪贴板"}},
    {L"segmentstake.exe", L"setgl.ini", "SetFD",
     {"nQishu", "nZhushu", "nZhong", "nPeilv", "fYingli"},
     {L"初始", L"挂", L"中", L"挂", L"中"}},
    {L"wavestake.exe", L"settb.ini", "SetBT",
     {"nBoshu", "nQishu", "nZhushu", "fLirun", "fPeilv"}, {L"计算"}},
    {L"snowballstake.exe", L"setgl.ini", "SetBT",
     {"nQishu", "nZhushu", "nStartBeishu", "fPeilv"}, {L"计算"}},
};

std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// One hostile value for the integer keys and one for the real keys ("f..."),
// 注数 valid unless it takes the integer too; further keys as given.
struct Values {
    std::string integer, real;
    bool betsToo;
    const char* more;
};
const Values kValues[] = {
    {"-1", "1e-40", false, ""},
    {"abc", "nan", true, "nModel=-7\r\nnMode=1000000\r\nnXingshu=5\r\nnLirunType=-1\r\n"},
    {"10000", "3.4e38", false, "nLirunType=1\r\n"}, // stakeladder's amount mode
    {"2147483647", "inf", false, ""},
    {"-2147483648", "-1e40", false, "nLirunType=1\r\n"},
    {std::string(100000, '9'), "1e40", true, ""},
};

std::vector<std::pair<std::string, std::string>> hostileFiles(const Calculator& tool) {
    std::string header = "[";
    header.append(tool.section).append("]\r\n");
    // Broken encodings and garbage around the section, zero bytes inside
    // values, list indexes one beyond or below their lists, and one line of
    // 10 MB without a line break.
    std::string broken = "\xFF\xFE";
    broken += garbage(4095, 1) + "\r\n" + header + garbage(4096, 2) + "\r\n" + header;
    for (const char* key : tool.keys)
        broken += key + std::string("=12\0 34\r\n", 9);
    broken += "nModel=8\r\nnMode=8\r\nnXingshu=-1\r\nnLirunType=2\r\n" +
              std::string(10 << 20, '=');
    std::vector<std::pair<std::string, std::string>> files = {{"broken", broken}};
    for (const Values& v : kValues) {
        std::string text = header + v.more;
        for (const std::string key : tool.keys)
            if (key != "nZhushu" || v.betsToo)
                text += key + "=" + (key[0] == 'f' ? v.real : v.integer) + "\r\n";
        files.emplace_back(v.integer.substr(0, 12) + " / " + v.real, text);
    }
    return files;
}

// A number text that is none: "nan", "inf", "-nan(ind)", "1.#INF".
bool looksUndefined(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text.find(L"nan") != std::wstring::npos || text.find(L"inf") != std::wstring::npos ||
           text.find(L'#') != std::wstring::npos;
}

// Every text of the dialog's boxes, lists and labels, and the cells of its plan.
void expectDefinedNumbers(HWND dialog, const char* when) {
    std::vector<std::wstring> texts;
    for (const wchar_t* name : {L"Edit", L"ComboBox", L"Static"})
        for (HWND child : childWindows(dialog, name))
            texts.push_back(windowText(child));
    for (HWND list : childWindows(dialog, L"SysListView32")) {
        RemoteListView view(list); // the first and the last rows: read cell by cell, a
        const int rows = view.rowCount(); // plan of 10000 rows would take minutes
        for (int r = 0; r < rows; r = r == 20 ? std::max(21, rows - 20) : r + 1)
            for (auto& cell : view.row(r))
                texts.push_back(std::move(cell));
    }
    for (const std::wstring& text : texts)
        EXPECT_FALSE(looksUndefined(text)) << when << ": the dialog shows " << utf8(text);
}

// Each hostile file is opened once by each calculator, the four side by side:
// the dialog shows defined numbers, every action works (a message box it
// opens is read and closed) and closing saves.
TEST(HardeningHostileSettings, EveryCalculatorOpensEachFileWithDefinedNumbersAndItsActionsWork) {
    std::vector<std::vector<std::pair<std::string, std::string>>> files;
    for (const Calculator& tool : kCalculators)
        files.push_back(hostileFiles(tool));
    for (std::size_t f = 0; f < files[0].size(); ++f) {
        SCOPED_TRACE(files[0][f].first);
        std::deque<TempFolder> folders;
        std::vector<Process> tools;
        for (std::size_t t = 0; t < std::size(kCalculators); ++t) {
            const TempFolder& folder = folders.emplace_back(L"hardening-hostile");
            ASSERT_TRUE(writeFileBytes(folder.file(kCalculators[t].iniName), files[t][f].second));
            tools.push_back(Process::startCopy(kCalculators[t].exe, folder));
        }
        for (std::size_t t = 0; t < tools.size(); ++t) {
            SCOPED_TRACE(utf8(kCalculators[t].exe));
            const HWND dialog = waitForMainDialog(tools[t].id());
            ASSERT_NE(dialog, nullptr) << "the dialog did not show";
            ASSERT_EQ(findOwnedDialog(dialog), nullptr) << "a box opened at start-up";
            expectDefinedNumbers(dialog, "at start-up");
            std::string said;
            for (const wchar_t* action : kCalculators[t].actions) {
                const int id = idOf(dialog, action);
                ASSERT_NE(id, 0) << utf8(action);
                if (!isEnabled(dialog, id))
                    continue;
                clickButton(dialog, id);
                ASSERT_TRUE(flush(dialog)) << utf8(action) << ": the dialog does not answer";
                if (findOwnedDialog(dialog)) {
                    const auto box = answerMessageBox(dialog);
                    ASSERT_TRUE(box) << utf8(action) << ": the box does not close";
                    said += " " + utf8(action) + "→" + utf8(box->text);
                    EXPECT_FALSE(looksUndefined(box->text)) << utf8(box->text);
                }
            }
            expectDefinedNumbers(dialog, "after the actions");
            EXPECT_LE(rowCount(dialog), 10000);
            std::printf("%-18s %-30s%s; %d rows\n", utf8(kCalculators[t].exe).c_str(),
                        files[t][f].first.c_str(), said.c_str(), rowCount(dialog));
            postCommand(dialog, IDCANCEL, BN_CLICKED);
            EXPECT_EQ(tools[t].waitForExit(), std::optional<DWORD>(0)) << "closing failed";
        }
    }
}

} // namespace
