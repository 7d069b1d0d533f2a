// The tools where the world around them misbehaves: a host that hangs or is gone, a settings
// file that cannot be written or holds anything at all, and a DLL planted beside a tool.
#include "harness.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <regex>
#include <share.h>

namespace {

using namespace gui;
namespace fs = std::filesystem;

// Clicks the button of that caption unless it is disabled; fails when there is none.
void click(HWND dialog, std::wstring_view caption) {
    const HWND button = childWithText(dialog, caption);
    ASSERT_NE(button, nullptr) << utf8(caption);
    if (IsWindowEnabled(button))
        clickButton(dialog, GetDlgCtrlID(button));
}

int rowCount(HWND d) { return RemoteListView(childWindows(d, L"SysListView32")[0]).rowCount(); }

int firstEdit(HWND dialog) { return GetDlgCtrlID(childWindows(dialog, L"Edit").front()); }

// A calculator and a filter hand off to a host that answers once and then hangs, and to a
// window that is gone: each click comes back (the hand-off gives up on a host after five
// seconds), opens nothing, and the tools go on. Beside each lies planted_dll.dll named as the
// rich-edit DLL of the filter's number box; it leaves "planted-dll-loaded.txt" when loaded.
TEST(HardeningHandOff, AHungOrClosedHostHoldsNoToolAndAPlantedDllIsNotLoaded) {
    TempFolder folder(L"hardening");
    auto host = HostProbe::start({}, folder.file(L"host.log"), {}, {L"--hang-after", L"1"});
    ASSERT_TRUE(host) << "hostprobe did not start";
    const HWND gone = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    DestroyWindow(gone);
    std::deque<TempFolder> folders; // filter, calculator to the hung host; then to the gone one
    std::vector<Process> tools;
    for (const auto handle : {host->hostWindow(), std::uint64_t{reinterpret_cast<UINT_PTR>(gone)}})
        for (const wchar_t* exe : {L"sieve4.exe", L"stakeladder.exe"}) {
            const TempFolder& place = folders.emplace_back(L"hardening-tool");
            fs::copy_file(programDirectory() / L"planted_dll.dll", place.file(L"Msftedit.dll"));
            tools.push_back(Process::startCopy(exe, place, {std::to_wstring(handle)}));
        }
    std::vector<HWND> dialogs;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        dialogs.push_back(waitForMainDialog(tools[i].id()));
        EXPECT_FALSE(fs::exists(folders[i].file(L"planted-dll-loaded.txt"))) << "DLL loaded";
        ASSERT_NE(dialogs.back(), nullptr);
    }
    const auto handOff = [&](std::size_t i) { click(dialogs[i], i % 2 ? L"复制到方案" : L"出图"); };
    // The send is synchronous: a live host has the list by the time the click is handled.
    handOff(0);
    ASSERT_TRUE(flush(dialogs[0]));
    ASSERT_EQ(host->read().messages.size(), 1u) << "the send returned before the host had it";
    ASSERT_TRUE(waitUntil([&] { return host->read().hangStarted; }));
    for (int round = 1; round <= 2; ++round) {
        for (std::size_t i = 0; i < tools.size(); ++i)
            handOff(i);
        for (std::size_t i = 0; i < tools.size(); ++i)
            EXPECT_TRUE(flush(dialogs[i], Millis{5000 + 4000}) && !findOwnedDialog(dialogs[i]) &&
                        tools[i].running())
                << i << " froze, opened a box or ended in round " << round;
    }
    for (std::size_t i = 0; i < tools.size(); ++i) { // the filters show numbers, the others compute
        EXPECT_TRUE(i % 2 == 0 || setControlText(dialogs[i], firstEdit(dialogs[i]), L"3"));
        click(dialogs[i], i % 2 ? L"计算" : L"显示号码");
        const auto boxes = childWindows(dialogs[i], L"RICHEDIT50W");
        EXPECT_TRUE(i % 2 ? waitUntil([&] { return rowCount(dialogs[i]) == 3; })
                          : flush(dialogs[i]) && boxes.size() == 1 && !windowText(boxes[0]).empty())
            << i << " no longer works";
    }
}

// The "setgl.ini" of segmentstake and snowballstake, held open by us denying
// writes, stops everybody, root included, on Windows and under Wine alike. It
// is read while there is no user copy; the copy made on the first close keeps
// the other tool's section and is read until the file beside is writable again.
TEST(HardeningSettings, WhereTheFileBesideTheProgramCannotBeWrittenTheUserCopyTakesOver) {
    TempFolder folder(L"hardening-settings"), appData(L"hardening-appdata");
    wchar_t old[MAX_PATH * 2] = {}; // the tools take %APPDATA% from ours
    const DWORD had = GetEnvironmentVariableW(L"APPDATA", old, MAX_PATH * 2);
    const std::shared_ptr<void> restore(
        nullptr, [&](void*) { SetEnvironmentVariableW(L"APPDATA", had ? old : nullptr); });
    SetEnvironmentVariableW(L"APPDATA", appData.path().c_str());
    const auto cycle = [&](const wchar_t* exe, const char* shown, const wchar_t* next) {
        Process tool = Process::start(folder.file(exe));
        const HWND dialog = tool ? waitForMainDialog(tool.id()) : nullptr;
        ASSERT_NE(dialog, nullptr) << utf8(exe) << " did not open";
        EXPECT_EQ(utf8(controlText(dialog, firstEdit(dialog))), shown) << utf8(exe);
        ASSERT_TRUE(setControlText(dialog, firstEdit(dialog), next));
        postCommand(dialog, IDCANCEL, BN_CLICKED);
        EXPECT_EQ(tool.waitForExit(), std::optional<DWORD>(0));
    };
    Process::copyProgram(L"segmentstake.exe", folder);
    Process::copyProgram(L"snowballstake.exe", folder);
    const fs::path beside = folder.file(L"setgl.ini"), copy = appData.file(L"TrendTools/setgl.ini");
    ASSERT_TRUE(writeFileBytes(beside, "[SetFD]\r\nnQishu=40\r\n[SetBT]\r\nnQishu=6\r\n"));
    FILE* const lock = _wfsopen(beside.c_str(), L"rb", _SH_DENYWR);
    ASSERT_NE(lock, nullptr);
    cycle(L"segmentstake.exe", "40", L"41");
    cycle(L"snowballstake.exe", "6", L"7");
    cycle(L"segmentstake.exe", "41", L"42");
    std::fclose(lock);
    const std::string copied = readFileBytes(copy).value_or("");
    EXPECT_LT(copied.find("nQishu=42"), copied.find("[SetBT]")) << copied;
    EXPECT_NE(copied.find("nQishu=7", copied.find("[SetBT]")), std::string::npos) << copied;
    cycle(L"segmentstake.exe", "40", L"43");
    EXPECT_NE(readFileBytes(beside).value_or("").find("nQishu=43"), std::string::npos);
    EXPECT_EQ(readFileBytes(copy), copied) << "the user copy was touched";
}

// Each tool's numbers (list indexes apart) and the buttons that act on them.
const struct Calculator {
    const wchar_t *exe, *iniName;
    const char* section;
    std::vector<const wchar_t*> actions;
    std::vector<const char*> keys;
} kCalculators[] = {
    {L"stakeladder.exe", L"setbt.ini", "SetBT", {L"计算", L"复制到剪贴板"},
     {"nLirunLv", "nQishu", "nStartBeishu", "nZhushu", "fLirun", "fPeilv"}},
    {L"segmentstake.exe", L"setgl.ini", "SetFD", {L"初始", L"挂", L"中", L"挂", L"中"},
     {"nQishu", "nZhushu", "nZhong", "nPeilv", "fYingli"}},
    {L"wavestake.exe", L"settb.ini", "SetBT", {L"计算"},
     {"nBoshu", "nQishu", "nZhushu", "fLirun", "fPeilv"}},
    {L"snowballstake.exe", L"setgl.ini", "SetBT", {L"计算"},
     {"nQishu", "nZhushu", "nStartBeishu", "fPeilv"}},
};

// Hostile values for the integer keys, for the real keys ("f...") and further keys.
const std::string kValues[][3] = {
    {"-1", "1e-40", ""},
    {"abc", "nan", "nZhushu=abc\r\nnModel=-7\r\nnMode=1000000\r\nnXingshu=5\r\nnLirunType=-1\r\n"},
    {"10000", "3.4e38", "nLirunType=1\r\n"}, // stakeladder's amount mode
    {"2147483647", "inf", ""},
    {"-2147483648", "-1e40", "nLirunType=1\r\n"},
    {std::string(100000, '9'), "1e40", "nZhushu=" + std::string(100000, '9') + "\r\n"},
};

// The file of kValues[value]; for -1 one of broken encodings and garbage
// around the section, zero bytes inside values, list indexes one beyond or
// below their lists, and one line of 10 MB without a line break.
std::string hostileFile(const Calculator& tool, int value) {
    const std::string header = std::string("[").append(tool.section).append("]\r\n");
    std::string text = value < 0 ? "\xFF\xFE" : header + kValues[value][2];
    std::mt19937 random(1);
    for (int i = 1; value < 0 && i <= 8192; ++i)
        text += i % 4096 ? std::string(1, static_cast<char>(random())) : "\r\n" + header;
    for (const std::string key : tool.keys)
        if (value < 0)
            text += key + std::string("=12\0 34\r\n", 9);
        else if (key != "nZhushu") // 注数 only where the further keys name it
            text += key + "=" + kValues[value][key[0] == 'f'] + "\r\n";
    if (value < 0)
        text += "nModel=8\r\nnMode=8\r\nnXingshu=-1\r\nnLirunType=2\r\n" +
                std::string(10 << 20, '=');
    return text;
}

// The texts of the dialog's boxes, lists and labels, and of its plan's first
// and last rows (cell by cell, a plan of 10000 rows would take minutes).
void addShownTexts(HWND dialog, std::vector<std::wstring>& texts) {
    for (const wchar_t* name : {L"Edit", L"ComboBox", L"Static"})
        for (HWND child : childWindows(dialog, name))
            texts.push_back(windowText(child));
    for (HWND list : childWindows(dialog, L"SysListView32")) {
        RemoteListView view(list);
        for (int r = 0, n = view.rowCount(); r < n; r = r == 20 ? std::max(21, n - 20) : r + 1)
            for (auto& cell : view.row(r))
                texts.push_back(std::move(cell));
    }
}

// Each hostile file is opened once by each calculator, the four side by side:
// the dialog and the boxes its actions open show defined numbers, never
// "nan", "inf", "-nan(ind)" or "1.#INF"; every action works, and closing saves.
TEST(HardeningHostileSettings, EveryCalculatorOpensEachFileWithDefinedNumbersAndItsActionsWork) {
    for (int value = -1; value < static_cast<int>(std::size(kValues)); ++value) {
        const std::wregex undefined(L"nan|inf|#", std::regex::icase);
        SCOPED_TRACE(value < 0 ? "broken" : kValues[value][0].substr(0, 12));
        std::deque<TempFolder> folders;
        std::vector<Process> tools;
        for (const Calculator& tool : kCalculators) {
            const TempFolder& place = folders.emplace_back(L"hardening-hostile");
            ASSERT_TRUE(writeFileBytes(place.file(tool.iniName), hostileFile(tool, value)));
            tools.push_back(Process::startCopy(tool.exe, place));
        }
        for (std::size_t t = 0; t < tools.size(); ++t) {
            SCOPED_TRACE(utf8(kCalculators[t].exe));
            const HWND dialog = waitForMainDialog(tools[t].id());
            ASSERT_TRUE(dialog && !findOwnedDialog(dialog)) << "no dialog, or a box at start-up";
            std::vector<std::wstring> texts;
            addShownTexts(dialog, texts);
            for (const wchar_t* action : kCalculators[t].actions) {
                click(dialog, action);
                ASSERT_TRUE(flush(dialog)) << utf8(action) << ": the dialog does not answer";
                if (findOwnedDialog(dialog)) {
                    const auto box = answerMessageBox(dialog);
                    ASSERT_TRUE(box) << utf8(action) << ": the box does not close";
                    texts.push_back(box->text);
                }
            }
            addShownTexts(dialog, texts);
            for (const std::wstring& text : texts)
                EXPECT_FALSE(std::regex_search(text, undefined)) << utf8(text);
            EXPECT_LE(rowCount(dialog), 10000);
            postCommand(dialog, IDCANCEL, BN_CLICKED);
            EXPECT_EQ(tools[t].waitForExit(), std::optional<DWORD>(0)) << "closing failed";
        }
    }
}

} // namespace
