// segmentstake (分段倍投计算器) driven from outside as a user would: the real
// program, started from a copy in a folder of its own, so that every test
// has its own "setgl.ini" beside the program.
#include "failure_checks.h"
#include "harness.h"

#include "stake/segmentstake/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Row = std::vector<std::string>;

constexpr wchar_t kExe[] = L"segmentstake.exe";
constexpr char kTitle[] = "分段倍投计算器 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "segmentstake";
constexpr int kAboutCommand = 16;
constexpr COLORREF kHitBack = RGB(255, 180, 180);
constexpr COLORREF kMissBack = RGB(180, 180, 255);

const std::vector<std::string> kFreshSettings = {
    "[SetFD]",     "nQishu=50",   "nMode=2",  "nXingshu=2",
    "nZhushu=488", "nPeilv=1956", "nZhong=5", "fYingli=50.000000",
};

// The worked example: the fresh-start inputs marked 挂, 挂, 中, 中, 挂, 中, 中, 中.
const std::vector<Row> kWorkedExample = {
    {"1", "3", "14.640", "14.640", "0", "-14.640", "-14.640"},
    {"2", "3", "14.640", "29.280", "0", "-14.640", "-29.280"},
    {"3", "4", "19.520", "48.800", "39.120", "19.600", "-9.680"},
    {"4", "4", "19.520", "68.320", "39.120", "19.600", "9.920"},
    {"5", "3", "14.640", "82.960", "0", "-14.640", "-4.720"},
    {"6", "4", "19.520", "102.480", "39.120", "19.600", "14.880"},
    {"7", "4", "19.520", "122.000", "39.120", "19.600", "34.480"},
    {"8", "4", "19.520", "141.520", "39.120", "19.600", "54.080"},
};
const std::string kWorkedMarks = "MMHHMHHH";

std::vector<std::string> iniLines(const fs::path& file) {
    const auto bytes = readFileBytes(file);
    if (!bytes)
        return {};
    auto lines = splitLines(*bytes);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// A cell's rectangle in screen coordinates, asked of the tool's list through
// a buffer in the tool's process.
std::optional<RECT> cellScreenRect(HWND list, int row, int column) {
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                       FALSE, windowProcess(list));
    if (!process)
        return std::nullopt;
    std::optional<RECT> found;
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
            MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
            found = rect;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return found;
}

// The colour on the screen inside a cell, near its right edge where no text is.
std::optional<COLORREF> cellBackground(HWND list, int row, int column) {
    const auto rect = cellScreenRect(list, row, column);
    if (!rect)
        return std::nullopt;
    const HDC screen = GetDC(nullptr);
    const COLORREF color =
        GetPixel(screen, rect->right - 6, rect->top + (rect->bottom - rect->top) / 2);
    ReleaseDC(nullptr, screen);
    if (color == CLR_INVALID)
        return std::nullopt;
    return color;
}

std::string colorName(std::optional<COLORREF> color) {
    if (!color)
        return "none";
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(*color), GetGValue(*color),
                  GetBValue(*color));
    return text;
}

class SegmentstakeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"segmentstake-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    void start(const std::vector<std::wstring>& arguments = {}) {
        tool_ = Process::startCopy(kExe, folder_, arguments);
        ASSERT_TRUE(tool_) << "segmentstake.exe could not be started from "
                           << utf8(folder_.path().wstring());
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    std::string status() const { return text(IDC_STATUS); }
    void type(int id, const char* value) const {
        ASSERT_TRUE(setControlText(dialog_, id, wide(value)))
            << "could not type into control " << id;
    }

    HWND list() const { return control(dialog_, IDC_PLAN); }
    int rowCount() const { return RemoteListView(list()).rowCount(); }
    bool waitForRows(int count) const {
        return waitUntil([&] { return rowCount() == count; });
    }
    std::vector<Row> rows() const {
        RemoteListView view(list());
        std::vector<Row> all;
        for (int r = 0; r < view.rowCount(); ++r) {
            Row row;
            for (const auto& cell : view.row(r))
                row.push_back(utf8(cell));
            all.push_back(row);
        }
        return all;
    }
    bool marksOpen() const { return isEnabled(dialog_, IDC_HIT) && isEnabled(dialog_, IDC_MISS); }
    bool marksClosed() const {
        return !isEnabled(dialog_, IDC_HIT) && !isEnabled(dialog_, IDC_MISS);
    }

    // A button whose handler opens no box; returns once it has been handled.
    void press(int id) {
        clickButton(dialog_, id);
        ASSERT_TRUE(flush(dialog_));
        const HWND box = findOwnedDialog(dialog_);
        ASSERT_EQ(box, nullptr) << "a box opened: " << utf8(windowText(GetDlgItem(box, 0xFFFF)));
    }
    // 中 for 'H', 挂 for 'M'.
    void mark(char which) { press(which == 'H' ? IDC_HIT : IDC_MISS); }

    // Presses a button that answers with a message box, reads and closes the box.
    std::string pressAndAnswer(int id) {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after pressing control " << id;
            return {};
        }
        EXPECT_EQ(utf8(box->title), kMessageTitle);
        return utf8(box->text);
    }

    void expectStillOpenAndQuiet() {
        ASSERT_TRUE(flush(dialog_));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
        EXPECT_TRUE(tool_.running()) << "the tool ended";
        EXPECT_TRUE(IsWindow(dialog_) && IsWindowVisible(dialog_)) << "the dialog closed";
    }

    // The background of every cell but the first of a row, as it shows.
    void expectRowBackground(int row, COLORREF expected) const {
        SetForegroundWindow(dialog_);
        for (int column = 1; column < 7; ++column) {
            std::optional<COLORREF> seen;
            const bool shown = waitUntil(
                [&] {
                    seen = cellBackground(list(), row, column);
                    return seen == expected;
                },
                Millis{2000});
            EXPECT_TRUE(shown) << "row " << row + 1 << " column " << column + 1 << " shows "
                               << colorName(seen) << ", expected "
                               << colorName(std::optional<COLORREF>(expected));
        }
    }

    TempFolder folder_{L"segmentstake"};
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_F(SegmentstakeTest, FreshStartShowsDefaultInputsAndNoPlan) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);
    const LONG style = GetWindowLongW(dialog_, GWL_STYLE);
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0) << "no minimise box";
    EXPECT_NE(style & WS_SYSMENU, 0);

    EXPECT_EQ(text(IDC_MAX_MULTIPLIER), "50");
    EXPECT_EQ(text(IDC_BETS), "488");
    EXPECT_EQ(text(IDC_ODDS), "1956");
    EXPECT_EQ(text(IDC_TARGET), "50");
    EXPECT_EQ(text(IDC_HIT_PERIODS), "5");
    EXPECT_EQ(comboItemCount(dialog_, IDC_STARS), 5);
    EXPECT_EQ(text(IDC_STARS), "3星");
    EXPECT_EQ(comboItemCount(dialog_, IDC_MODE), 8);
    EXPECT_EQ(text(IDC_MODE), "1分");

    EXPECT_TRUE(isEnabled(dialog_, IDC_START));
    EXPECT_TRUE(marksClosed());
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF)) << "no host: 复制到方案 stays disabled";
    EXPECT_TRUE(isEnabled(dialog_, IDC_EXPORT));
    EXPECT_TRUE(isEnabled(dialog_, IDC_IMPORT));
    EXPECT_EQ(text(IDC_START), "初始");
    EXPECT_EQ(text(IDC_HIT), "中");
    EXPECT_EQ(text(IDC_MISS), "挂");
    EXPECT_EQ(status(), "");

    RemoteListView plan(list());
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan.rowCount(), 0);
    ASSERT_EQ(plan.columnCount(), 7);
    const std::vector<std::string> columns = {"序号", "倍数", "成本",    "累计成本",
                                              "中奖", "收益", "累计收益"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(utf8(plan.columnName(c)), columns[static_cast<std::size_t>(c)]) << "column " << c;
    EXPECT_FALSE(fs::exists(folder_.file(L"setgl.ini"))) << "only closing writes the settings";
}

TEST_F(SegmentstakeTest, WorkedExampleColoursEachMarkedRowAndEndsInSuccess) {
    start();
    press(IDC_START);
    ASSERT_TRUE(waitForRows(1));
    EXPECT_EQ(rows(), (std::vector<Row>{{"1", "3", "14.640", "14.640", "", "", ""}}));
    EXPECT_EQ(status(), "还剩下 5 期中完成目标!");
    EXPECT_TRUE(marksOpen());
    expectRowBackground(0, GetSysColor(COLOR_WINDOW));

    for (std::size_t i = 0; i < kWorkedMarks.size(); ++i) {
        SCOPED_TRACE("mark " + std::to_string(i + 1));
        mark(kWorkedMarks[i]);
        if (i == 2) {
            EXPECT_EQ(status(), "还剩下 4 期中完成目标!");
        }
        if (i == 6) {
            EXPECT_EQ(status(), "还剩下 1 期中完成目标!");
        }
        if (i + 1 < kWorkedMarks.size()) {
            ASSERT_TRUE(waitForRows(static_cast<int>(i) + 2));
            const Row& next = kWorkedExample[i + 1];
            EXPECT_EQ(rows().back(), (Row{next[0], next[1], next[2], next[3], "", "", ""}));
            EXPECT_TRUE(marksOpen());
        }
    }
    EXPECT_EQ(status(), "恭喜你，已完成目标!");
    EXPECT_TRUE(marksClosed());
    EXPECT_EQ(rows(), kWorkedExample) << "no ninth row";

    for (std::size_t r = 0; r < kWorkedMarks.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r + 1));
        expectRowBackground(static_cast<int>(r), kWorkedMarks[r] == 'H' ? kHitBack : kMissBack);
    }

    // Clicks that reach the disabled buttons change nothing.
    clickButton(dialog_, IDC_HIT);
    clickButton(dialog_, IDC_MISS);
    expectStillOpenAndQuiet();
    EXPECT_EQ(rowCount(), 8);

    // 初始 starts over.
    press(IDC_START);
    ASSERT_TRUE(waitForRows(1));
    EXPECT_EQ(status(), "还剩下 5 期中完成目标!");
    EXPECT_TRUE(marksOpen());

    pause(Millis{200});
    saveScreenshot(dialog_, L"segmentstake-restarted");
}

TEST_F(SegmentstakeTest, MissReachingTheMaximumMultiplierFailsThePlan) {
    start();
    type(IDC_MAX_MULTIPLIER, "4");
    press(IDC_START);
    ASSERT_TRUE(waitForRows(1));
    mark('M');
    EXPECT_TRUE(marksOpen()) << "3 is below 4";
    mark('M');
    ASSERT_TRUE(waitForRows(3));
    EXPECT_EQ(status(), "已超过最大期数，未完成目标!");
    EXPECT_TRUE(marksClosed());
    // The failing row is completed, and one more row with the restarted
    // multiplier follows.
    EXPECT_EQ(rows(), (std::vector<Row>{
                          {"1", "3", "14.640", "14.640", "0", "-14.640", "-14.640"},
                          {"2", "3", "14.640", "29.280", "0", "-14.640", "-29.280"},
                          {"3", "3", "14.640", "43.920", "", "", ""},
                      }));
    expectRowBackground(1, kMissBack);
    expectRowBackground(2, GetSysColor(COLOR_WINDOW));

    // 最大倍数 1: the first miss fails.
    type(IDC_MAX_MULTIPLIER, "1");
    press(IDC_START);
    ASSERT_TRUE(waitForRows(1));
    EXPECT_TRUE(marksOpen());
    mark('M');
    ASSERT_TRUE(waitForRows(2));
    EXPECT_EQ(status(), "已超过最大期数，未完成目标!");
    EXPECT_TRUE(marksClosed());
}

TEST_F(SegmentstakeTest, RefusedInputsAreReported) {
    start();
    press(IDC_START);
    ASSERT_TRUE(waitForRows(1));

    // Not a number: the prompt names the field, and 初始 goes on with the
    // fields read before it (最大倍数 4) and the old value of 注数 and of
    // those after it.
    type(IDC_MAX_MULTIPLIER, "4");
    type(IDC_BETS, "abc");
    type(IDC_HIT_PERIODS, "1");
    const std::string prompt = pressAndAnswer(IDC_START);
    EXPECT_NE(prompt.find("注数"), std::string::npos) << prompt;
    ASSERT_TRUE(waitForRows(1));
    EXPECT_EQ(rows()[0], (Row{"1", "3", "14.640", "14.640", "", "", ""}));
    EXPECT_EQ(status(), "还剩下 5 期中完成目标!");
    mark('M');
    mark('M');
    EXPECT_EQ(status(), "已超过最大期数，未完成目标!") << "最大倍数 4 was read";
    EXPECT_TRUE(marksClosed());

    // Out of range for "3星": the list is emptied and the marks opened all
    // the same, without a row.
    type(IDC_BETS, "1000");
    type(IDC_HIT_PERIODS, "5");
    EXPECT_EQ(pressAndAnswer(IDC_START), "注数数值只能为(1-999)");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_TRUE(marksOpen());

    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 4));
    type(IDC_BETS, "10");
    EXPECT_EQ(pressAndAnswer(IDC_START), "注数数值只能为(1-9)");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 0));
    type(IDC_BETS, "100000");
    EXPECT_EQ(pressAndAnswer(IDC_START), "注数数值只能为(1-99999)");

    // 中出期数 0 leaves no winning draw to spread the target over.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 2));
    type(IDC_BETS, "488");
    type(IDC_HIT_PERIODS, "0");
    EXPECT_EQ(pressAndAnswer(IDC_START), "中出期数不能为0");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);
    // A mark with the same fields is refused with the same message.
    EXPECT_EQ(pressAndAnswer(IDC_HIT), "中出期数不能为0");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(SegmentstakeTest, EnterNeitherStartsNorClosesNorSaves) {
    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    pressKey(control(dialog_, IDC_BETS), VK_RETURN);
    expectStillOpenAndQuiet();
    postCommand(dialog_, IDOK, BN_CLICKED);
    expectStillOpenAndQuiet();
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(fs::exists(folder_.file(L"setgl.ini")));
}

TEST_F(SegmentstakeTest, ClosingSavesSectionSetFDAndTheNextStartReadsIt) {
    const fs::path settings = folder_.file(L"setgl.ini");
    // snowballstake's section in the same file stays as it is.
    ASSERT_TRUE(writeFileBytes(settings, "[SetBT]\r\nnQishu=9\r\nfPeilv=1800.000000\r\n"));

    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    pressKey(control(dialog_, IDC_BETS), VK_ESCAPE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Esc did not close the tool";
    std::vector<std::string> expected = {"[SetBT]", "nQishu=9", "fPeilv=1800.000000"};
    expected.insert(expected.end(), kFreshSettings.begin(), kFreshSettings.end());
    EXPECT_EQ(iniLines(settings), expected);

    start();
    type(IDC_MAX_MULTIPLIER, "80");
    type(IDC_BETS, "50");
    type(IDC_ODDS, "1900");
    type(IDC_TARGET, "12.5");
    type(IDC_HIT_PERIODS, "3");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 7));
    ASSERT_TRUE(flush(dialog_));
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "the close box did not close";
    EXPECT_EQ(iniLines(settings),
              (std::vector<std::string>{"[SetBT]", "nQishu=9", "fPeilv=1800.000000", "[SetFD]",
                                        "nQishu=80", "nMode=7", "nXingshu=3", "nZhushu=50",
                                        "nPeilv=1900", "nZhong=3", "fYingli=12.500000"}));

    start();
    EXPECT_EQ(text(IDC_MAX_MULTIPLIER), "80");
    EXPECT_EQ(text(IDC_BETS), "50");
    EXPECT_EQ(text(IDC_ODDS), "1900");
    EXPECT_EQ(text(IDC_TARGET), "12.5");
    EXPECT_EQ(text(IDC_HIT_PERIODS), "3");
    EXPECT_EQ(text(IDC_STARS), "2星");
    EXPECT_EQ(text(IDC_MODE), "2厘");
}

TEST_F(SegmentstakeTest, ExportAndImportTheSettings) {
    start();
    type(IDC_MAX_MULTIPLIER, "70");
    type(IDC_TARGET, "100");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 5));
    ASSERT_TRUE(flush(dialog_));
    const fs::path exported = folder_.file(L"exported.ini");
    clickButton(dialog_, IDC_EXPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the save dialog could not be completed";
    ASSERT_TRUE(waitUntil([&] { return iniLines(exported).size() == 8; }))
        << "the exported file is missing or incomplete";
    EXPECT_EQ(
        iniLines(exported),
        (std::vector<std::string>{"[SetFD]", "nQishu=70", "nMode=5", "nXingshu=2", "nZhushu=488",
                                  "nPeilv=1956", "nZhong=5", "fYingli=100.000000"}));

    // A plan under way: 初始 with the fresh inputs, then 挂 twice.
    type(IDC_MAX_MULTIPLIER, "50");
    type(IDC_TARGET, "50");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 2));
    press(IDC_START);
    mark('M');
    mark('M');
    ASSERT_TRUE(waitForRows(3));

    // A file without "nQishu" imports 最大倍数 5, not 50.
    const fs::path partial = folder_.file(L"partial.ini");
    ASSERT_TRUE(writeFileBytes(partial, "[SetFD]\r\nfYingli=\r\nnZhong=4\r\n"));
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, partial)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "import did not empty the list";
    EXPECT_EQ(text(IDC_MAX_MULTIPLIER), "5");
    EXPECT_EQ(text(IDC_TARGET), "50");
    EXPECT_EQ(text(IDC_HIT_PERIODS), "4");
    EXPECT_TRUE(marksOpen()) << "import leaves 中 and 挂 as they were";
    EXPECT_EQ(status(), "还剩下 5 期中完成目标!");

    // The exported file restores its values; 中 then replays the earlier
    // marks with them, finds no row to complete and appends row 1.
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported));
    ASSERT_TRUE(waitUntil([&] { return text(IDC_MAX_MULTIPLIER) == "70"; }));
    EXPECT_EQ(text(IDC_TARGET), "100");
    EXPECT_EQ(text(IDC_MODE), "2角");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 2)); // shown, not read: 中 uses the fields
    mark('H');
    ASSERT_TRUE(waitForRows(1));
    // 2角 at "3星": a multiplier costs 97.6 and gains 98, so 100 over 5 hits
    // needs 1, and so do the misses and the hit replayed; the cumulative cost
    // carries on from the 48.8 of the three rows before the import.
    EXPECT_EQ(rows(), (std::vector<Row>{{"1", "1", "97.600", "146.400", "", "", ""}}));
    EXPECT_EQ(status(), "还剩下 4 期中完成目标!");
    EXPECT_FALSE(fs::exists(folder_.file(L"setgl.ini")));
}

TEST_F(SegmentstakeTest, HandOffDeliversTheRecordOfKindFive) {
    const fs::path toolCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(toolCopy.empty());
    auto host = HostProbe::start(toolCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);
    EXPECT_TRUE(isEnabled(dialog_, IDC_HANDOFF)) << "a host was given";

    // The controls are read at the hand-off, without 初始.
    type(IDC_MAX_MULTIPLIER, "77");
    type(IDC_BETS, "99");
    type(IDC_ODDS, "1800");
    type(IDC_TARGET, "123.25");
    type(IDC_HIT_PERIODS, "6");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 6));
    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1)) << "the host received nothing";
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(findOwnedDialog(dialog_), nullptr);

    const auto log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    const CopyDataMessage& message = log.messages[0];
    EXPECT_EQ(message.sender,
              static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(dialog_)));
    EXPECT_EQ(message.dwData, 0u);
    EXPECT_EQ(message.cbData, 2040u);
    ASSERT_EQ(message.bytes.size(), 2040u);
    const auto& record = message.bytes;
    EXPECT_EQ(word32(record, 0), 5u) << "record kind";
    EXPECT_TRUE(allZero(record, 4, 12));
    EXPECT_EQ(word32(record, 12), 77u) << "最大倍数";
    EXPECT_EQ(word32(record, 16), 99u) << "注数";
    EXPECT_EQ(word32(record, 20), 3u) << "星数";
    EXPECT_EQ(word32(record, 24), 6u) << "金额模式";
    EXPECT_TRUE(allZero(record, 28, 2032)) << "no odds, no rows";
    EXPECT_EQ(word32(record, 2032), 6u) << "中出期数";
    EXPECT_EQ(real32(record, 2036), 123.25f) << "目标盈利";

    postCommand(dialog_, IDCANCEL, BN_CLICKED);
    EXPECT_EQ(host->tool().waitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(host->probe().waitForExit());
    EXPECT_EQ(host->read().messages.size(), 1u);
}

TEST_F(SegmentstakeTest, WithoutAHostTheHandOffStaysDisabledAndSendsNothing) {
    const fs::path hostedCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(hostedCopy.empty());
    auto host = HostProbe::start(hostedCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host);
    ASSERT_NE(waitForMainDialog(host->tool().id()), nullptr);

    for (const std::vector<std::wstring>& arguments :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"0"},
          std::vector<std::wstring>{L"abc"}}) {
        SCOPED_TRACE(arguments.empty() ? std::string("no argument") : utf8(arguments[0]));
        TempFolder own(L"segmentstake-alone");
        Process alone = Process::startCopy(kExe, own, arguments);
        ASSERT_TRUE(alone);
        const HWND dialog = waitForMainDialog(alone.id());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(isEnabled(dialog, IDC_HANDOFF));
        // Even a click posted to the disabled button sends nothing.
        clickButton(dialog, IDC_HANDOFF);
        ASSERT_TRUE(flush(dialog));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog), nullptr);
        EXPECT_TRUE(alone.running());
        EXPECT_TRUE(host->read().messages.empty()) << "a message reached the host window";
        alone.terminate();
    }
}

TEST_F(SegmentstakeTest, AboutItemOfTheSystemMenuShowsTheAboutBox) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    pause(kSettle);
    EXPECT_EQ(utf8(windowText(about)), "关于 segmentstake");
    bool versionShown = false;
    for (const auto& shown : staticTexts(about))
        versionShown = versionShown || utf8(shown) == "segmentstake 1.0 版";
    EXPECT_TRUE(versionShown);
    EXPECT_EQ(utf8(windowText(GetDlgItem(about, IDOK))), "确定");
    EXPECT_TRUE(dismiss(about, IDOK));
    ASSERT_TRUE(tool_.running());
    press(IDC_START);
    EXPECT_TRUE(waitForRows(1));
}

TEST_F(SegmentstakeTest, ScreenshotOfTheWorkedExampleIsSavedForReview) {
    start();
    press(IDC_START);
    for (const char which : kWorkedMarks.substr(0, 7))
        mark(which);
    ASSERT_TRUE(waitForRows(8));
    pause(Millis{300});
    const auto file = saveScreenshot(dialog_, L"segmentstake-plan");
    ASSERT_TRUE(file) << "the window could not be saved";
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

// An export to a file that cannot be written (another program holds it
// open) says so, naming the file.
TEST_F(SegmentstakeTest, ExportToAFileHeldOpenElsewhereReportsTheFailure) {
    start();
    expectExportReportsFailure(dialog_, IDC_EXPORT, folder_.file(L"locked.ini"));
}

} // namespace
