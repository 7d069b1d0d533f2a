// wavestake (推波倍投计算器) driven from outside as a user would: the real
// program, started from a copy in a folder of its own, so that every test
// has its own "settb.ini" beside the program.
#include "failure_checks.h"
#include "harness.h"

#include "stake/wavestake/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Row = std::vector<std::string>;
using Lines = std::vector<std::string>;

constexpr wchar_t kExe[] = L"wavestake.exe";
constexpr char kTitle[] = "推波倍投计算器 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "wavestake";
constexpr char kCopied[] = "已经成功复制到剪贴板!";
constexpr int kAboutCommand = 16;
constexpr COLORREF kClosingBack = RGB(185, 185, 255);

// 推波期数 5, 注数 500, 赔率 1956, "3星", 波数 3, 利润 100, "1分": a fresh start.
const std::vector<Row> kFreshPlan = {
    {"1", "1", "1", "5.000", "5.000", "9.780", "4.780"},
    {"2", "", "2", "10.000", "5.220", "19.560", "14.340"},
    {"3", "", "4", "20.000", "5.660", "39.120", "33.460"},
    {"4", "", "8", "40.000", "6.540", "78.240", "71.700"},
    {"5", "", "16", "80.000", "8.300", "156.480", "148.180"},
    {"6", "2", "1", "5.000", "13.300", "9.780", "-3.520"},
    {"7", "", "2", "10.000", "13.520", "19.560", "6.040"},
    {"8", "", "4", "20.000", "13.960", "39.120", "25.160"},
    {"9", "", "8", "40.000", "14.840", "78.240", "63.400"},
    {"10", "", "16", "80.000", "16.600", "156.480", "139.880"},
    {"11", "3", "1", "5.000", "21.600", "9.780", "-11.820"},
    {"12", "", "2", "10.000", "21.820", "19.560", "-2.260"},
    {"13", "", "4", "20.000", "22.260", "39.120", "16.860"},
    {"14", "", "8", "40.000", "23.140", "78.240", "55.100"},
    {"15", "", "16", "80.000", "24.900", "156.480", "131.580"},
};

const Lines kClosingDefaults = {"[SetBT]",           "nBoshu=3",          "nQishu=5",
                                "nMode=2",           "nXingshu=2",        "nZhushu=500",
                                "fLirun=100.000000", "fPeilv=1956.000000"};

// A row's rectangle in another process's list view, in screen coordinates
// (the RECT travels through memory allocated in that process).
std::optional<RECT> rowRectOnScreen(HWND list, int row) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return std::nullopt;
    std::optional<RECT> result;
    void* remote =
        VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote) {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        DWORD_PTR answer = 0;
        if (WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr) &&
            SendMessageTimeoutW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                                &answer) &&
            answer && ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr)) {
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
            result = rect;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

// The colour on the screen near the right end of a row, where no text reaches.
std::optional<COLORREF> rowBackground(HWND list, int row) {
    const auto rect = rowRectOnScreen(list, row);
    if (!rect)
        return std::nullopt;
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, rect->right - 6, (rect->top + rect->bottom) / 2);
    ReleaseDC(nullptr, screen);
    return color;
}

class WavestakeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"wavestake-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    // Starts the tool in the test's folder and waits for its dialog.
    void start(const std::vector<std::wstring>& arguments = {}) {
        tool_ = Process::startCopy(kExe, folder_, arguments);
        ASSERT_TRUE(tool_) << "wavestake.exe could not be started from "
                           << utf8(folder_.path().wstring());
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    void type(int id, const char* value) const {
        ASSERT_TRUE(setControlText(dialog_, id, wide(value)))
            << "could not type into control " << id;
    }

    HWND list() const { return control(dialog_, IDC_PLAN); }
    int rowCount() const { return RemoteListView(list()).rowCount(); }
    bool waitForRows(int count, Millis timeout = kTimeout) const {
        return waitUntil([&] { return rowCount() == count; }, timeout);
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

    // 计算 and wait until the list holds `expectedRows` rows.
    void compute(int expectedRows) {
        clickButton(dialog_, IDC_COMPUTE);
        ASSERT_TRUE(flush(dialog_));
        ASSERT_EQ(findOwnedDialog(dialog_), nullptr)
            << "计算 showed a message box: "
            << utf8(windowText(GetDlgItem(findOwnedDialog(dialog_), 0xFFFF)));
        ASSERT_TRUE(waitForRows(expectedRows)) << "the list has " << rowCount() << " rows";
    }

    // Presses a button that answers with a message box, reads and closes the box.
    std::string pressAndAnswer(int id) {
        clickButton(dialog_, id);
        return answer("control " + std::to_string(id));
    }
    std::string answer(const std::string& what) {
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after " << what;
            return {};
        }
        EXPECT_EQ(utf8(box->title), kMessageTitle);
        return utf8(box->text);
    }

    // Nothing opened over the dialog and the tool still runs.
    void expectStillOpenAndQuiet() { expectStillOpenAndQuiet(tool_); }
    void expectStillOpenAndQuiet(const Process& process) {
        ASSERT_TRUE(flush(dialog_));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
        EXPECT_TRUE(process.running()) << "the tool ended";
        EXPECT_TRUE(IsWindow(dialog_) && IsWindowVisible(dialog_)) << "the dialog closed";
    }

    // A real right-click on the list opens its menu (复制倍数, separator,
    // 复制倍数(竖排)); `downs` presses of the Down key and Return choose.
    // Each click goes to another spot, after the double-click time, so that
    // two clicks never make a double click.
    void chooseFromContextMenu(int downs) {
        SetForegroundWindow(dialog_);
        pause(Millis{GetDoubleClickTime() + 50});
        const RECT area = screenRect(list());
        const int x = area.left + 60 + 40 * menuClicks_;
        const int y = area.top + (area.bottom - area.top) / 2 + 20 * menuClicks_;
        ++menuClicks_;
        ASSERT_TRUE(clickOnDisplay(x, y, 3));
        ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }))
            << "no context menu opened";
        pause(kSettle);
        std::vector<std::string> keys(static_cast<std::size_t>(downs), "Down");
        keys.push_back("Return");
        ASSERT_TRUE(typeKeysOnDisplay(keys));
    }

    TempFolder folder_{L"wavestake"};
    Process tool_;
    HWND dialog_ = nullptr;
    int menuClicks_ = 0;
};

TEST_F(WavestakeTest, FreshStartShowsDefaultInputsAndAnEmptyPlan) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);
    EXPECT_TRUE(GetWindowLongW(dialog_, GWL_STYLE) & WS_MINIMIZEBOX) << "no minimise box";

    EXPECT_EQ(text(IDC_PERIODS), "5");
    EXPECT_EQ(text(IDC_BETS), "500");
    EXPECT_EQ(text(IDC_ODDS), "1956");
    EXPECT_EQ(comboItemCount(dialog_, IDC_STARS), 5);
    EXPECT_EQ(comboSelection(dialog_, IDC_STARS), 2);
    EXPECT_EQ(text(IDC_STARS), "3星");
    EXPECT_EQ(text(IDC_WAVES), "3");
    EXPECT_EQ(text(IDC_PROFIT), "100");
    EXPECT_EQ(comboItemCount(dialog_, IDC_MODE), 8);
    EXPECT_EQ(comboSelection(dialog_, IDC_MODE), 2);
    EXPECT_EQ(text(IDC_MODE), "1分");

    // No host: the hand-off button stays disabled.
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF));
    EXPECT_EQ(text(IDC_HANDOFF), "复制到方案");
    EXPECT_TRUE(isEnabled(dialog_, IDC_COMPUTE));

    RemoteListView plan(list());
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan.rowCount(), 0);
    ASSERT_EQ(plan.columnCount(), 7);
    const Row columns = {"序号", "波数", "倍数", "当前成本", "累计成本", "中奖", "收益"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(utf8(plan.columnName(c)), columns[static_cast<std::size_t>(c)]) << "column " << c;

    // Opening reads the settings file; only closing writes it.
    EXPECT_FALSE(fs::exists(folder_.file(L"settb.ini")));
}

TEST_F(WavestakeTest, ComputeShowsFifteenRowsWithEachWaveEndMarked) {
    start();
    compute(15);
    EXPECT_EQ(rows(), kFreshPlan);

    // The last row of each wave is painted on light violet, the others on
    // the list's own background.
    pause(Millis{300});
    const COLORREF plain = GetSysColor(COLOR_WINDOW);
    for (int row = 0; row < 15; ++row) {
        const bool closing = row == 4 || row == 9 || row == 14;
        const auto color = rowBackground(list(), row);
        ASSERT_TRUE(color) << "row " << row + 1 << " could not be located";
        EXPECT_EQ(*color, closing ? kClosingBack : plain) << "row " << row + 1;
    }

    // A second 计算 replaces the plan; one period per wave marks no row.
    type(IDC_PERIODS, "1");
    compute(3);
    EXPECT_EQ(rows(),
              (std::vector<Row>{{"1", "1", "21", "105.000", "105.000", "205.380", "100.380"},
                                {"2", "2", "43", "215.000", "320.000", "420.540", "100.540"},
                                {"3", "3", "88", "440.000", "760.000", "860.640", "100.640"}}));
    pause(Millis{300});
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(rowBackground(list(), row), std::optional<COLORREF>(plain)) << "row " << row + 1;
}

TEST_F(WavestakeTest, ContextMenuCopiesTheMultipliersInARowOrOnePerLine) {
    start();

    // An empty list copies an empty text, and the copy is still confirmed.
    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(1);
    EXPECT_EQ(answer("复制倍数 on an empty list"), kCopied);
    EXPECT_EQ(clipboardText(), std::optional<std::string>(""));

    compute(15);
    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(1);
    EXPECT_EQ(answer("复制倍数"), kCopied);
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1,2,4,8,16,1,2,4,8,16,1,2,4,8,16"));

    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(2);
    EXPECT_EQ(answer("复制倍数(竖排)"), kCopied);
    EXPECT_EQ(
        clipboardText(),
        std::optional<std::string>(
            "1\r\n2\r\n4\r\n8\r\n16\r\n1\r\n2\r\n4\r\n8\r\n16\r\n1\r\n2\r\n4\r\n8\r\n16\r\n"));

    // Dismissing the menu copies nothing and shows nothing.
    ASSERT_TRUE(setClipboardText("before"));
    SetForegroundWindow(dialog_);
    pause(Millis{GetDoubleClickTime() + 50});
    const RECT area = screenRect(list());
    ASSERT_TRUE(clickOnDisplay(area.left + 200, area.top + 100, 3));
    ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }));
    pause(kSettle);
    ASSERT_TRUE(typeKeysOnDisplay({"Escape"}));
    ASSERT_TRUE(waitUntil([&] { return topLevelWindows(tool_.id(), L"#32768").empty(); }));
    expectStillOpenAndQuiet();
    EXPECT_EQ(clipboardText(), std::optional<std::string>("before"));
}

TEST_F(WavestakeTest, EnterEndsTheProgramWithoutSaving) {
    start();
    type(IDC_WAVES, "7");
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    pressKey(control(dialog_, IDC_BETS), VK_RETURN);
    EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Enter did not end the tool";
    EXPECT_FALSE(fs::exists(folder_.file(L"settb.ini")));

    // A real Return typed on the display ends it too.
    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_PERIODS));
    SetForegroundWindow(dialog_);
    ASSERT_TRUE(typeKeysOnDisplay({"End", "7"}));
    ASSERT_TRUE(waitUntil([&] { return text(IDC_PERIODS) == "57"; }))
        << "keys typed on the display did not reach the focused box: " << text(IDC_PERIODS);
    ASSERT_TRUE(typeKeysOnDisplay({"Return"}));
    EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Return did not end the tool";
    EXPECT_FALSE(fs::exists(folder_.file(L"settb.ini")));
}

TEST_F(WavestakeTest, EnterWithABoxThatHoldsNoNumberStaysOpen) {
    start();
    type(IDC_PROFIT, "abc");
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    pressKey(control(dialog_, IDC_BETS), VK_RETURN);
    const std::string prompt = answer("Enter with 利润 abc");
    EXPECT_NE(prompt.find("利润"), std::string::npos) << prompt;
    expectStillOpenAndQuiet();
    EXPECT_FALSE(fs::exists(folder_.file(L"settb.ini")));
}

TEST_F(WavestakeTest, ClosingSavesInItsKeyOrderAndTheNextStartReadsThem) {
    const fs::path settings = folder_.file(L"settb.ini");

    // Esc on a fresh start writes the seven keys with the defaults.
    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_PERIODS));
    pressKey(control(dialog_, IDC_PERIODS), VK_ESCAPE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Esc did not close the tool";
    EXPECT_EQ(iniLines(settings), kClosingDefaults);

    // Changed inputs, closed with the close box.
    fs::remove(settings);
    start();
    type(IDC_PERIODS, "8");
    type(IDC_BETS, "700");
    type(IDC_ODDS, "1800.5");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 1));
    type(IDC_WAVES, "4");
    type(IDC_PROFIT, "250.5");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 7));
    ASSERT_TRUE(flush(dialog_));
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0))
        << "the close box did not close the tool";
    EXPECT_EQ(iniLines(settings),
              (Lines{"[SetBT]", "nBoshu=4", "nQishu=8", "nMode=7", "nXingshu=1", "nZhushu=700",
                     "fLirun=250.500000", "fPeilv=1800.500000"}));

    // The next start shows them.
    start();
    EXPECT_EQ(text(IDC_PERIODS), "8");
    EXPECT_EQ(text(IDC_BETS), "700");
    EXPECT_EQ(text(IDC_ODDS), "1800.5");
    EXPECT_EQ(comboSelection(dialog_, IDC_STARS), 1);
    EXPECT_EQ(text(IDC_WAVES), "4");
    EXPECT_EQ(text(IDC_PROFIT), "250.5");
    EXPECT_EQ(comboSelection(dialog_, IDC_MODE), 7);
    EXPECT_EQ(text(IDC_MODE), "2厘");

    // A box that holds no number keeps its old value, and closing goes on.
    type(IDC_WAVES, "9");
    type(IDC_PROFIT, "x");
    type(IDC_PERIODS, "2");
    PostMessageW(dialog_, WM_CLOSE, 0, 0);
    const std::string prompt = answer("closing with 利润 x");
    EXPECT_NE(prompt.find("利润"), std::string::npos) << prompt;
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "WM_CLOSE did not close the tool";
    EXPECT_EQ(iniLines(settings),
              (Lines{"[SetBT]", "nBoshu=9", "nQishu=8", "nMode=7", "nXingshu=1", "nZhushu=700",
                     "fLirun=250.500000", "fPeilv=1800.500000"}));
}

TEST_F(WavestakeTest, ExportThenImportRestoresTheInputsAndEmptiesThePlan) {
    start();
    type(IDC_PERIODS, "7");
    type(IDC_BETS, "50");
    type(IDC_ODDS, "1900");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    type(IDC_WAVES, "2");
    type(IDC_PROFIT, "33.25");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 5));
    ASSERT_TRUE(flush(dialog_));

    const fs::path exported = folder_.file(L"exported.ini");
    clickButton(dialog_, IDC_EXPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the save dialog could not be completed";
    ASSERT_TRUE(waitUntil([&] { return iniLines(exported).size() == 8; }))
        << "the exported file is missing or incomplete";
    // An export writes the star count before the mode.
    EXPECT_EQ(iniLines(exported), (Lines{"[SetBT]", "nBoshu=2", "nQishu=7", "nXingshu=3", "nMode=5",
                                         "nZhushu=50", "fLirun=33.250000", "fPeilv=1900.000000"}));

    // Other inputs, and a plan in the list.
    type(IDC_PERIODS, "5");
    type(IDC_BETS, "500");
    type(IDC_ODDS, "1956");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 2));
    type(IDC_WAVES, "3");
    type(IDC_PROFIT, "100");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 2));
    compute(15);

    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "import did not empty the list";
    EXPECT_EQ(text(IDC_PERIODS), "7");
    EXPECT_EQ(text(IDC_BETS), "50");
    EXPECT_EQ(text(IDC_ODDS), "1900");
    EXPECT_EQ(text(IDC_STARS), "2星");
    EXPECT_EQ(text(IDC_WAVES), "2");
    EXPECT_EQ(text(IDC_PROFIT), "33.25");
    EXPECT_EQ(text(IDC_MODE), "2角");

    // A file whose profit is empty gives 100; missing keys their defaults.
    const fs::path sparse = folder_.file(L"sparse.txt");
    ASSERT_TRUE(writeFileBytes(sparse, "[SetBT]\r\nfLirun=\r\nnBoshu=6\r\n"));
    compute(14);
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, sparse)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "import did not empty the list";
    EXPECT_EQ(text(IDC_PROFIT), "100");
    EXPECT_EQ(text(IDC_WAVES), "6");
    EXPECT_EQ(text(IDC_PERIODS), "5");
    EXPECT_EQ(text(IDC_ODDS), "1956");
    EXPECT_EQ(text(IDC_MODE), "1分");

    // Export and import touch only the chosen files.
    EXPECT_FALSE(fs::exists(folder_.file(L"settb.ini")));
}

TEST_F(WavestakeTest, RefusedInputsAreReportedAndLeaveTheListEmpty) {
    start();

    // A box that holds no number: the prompt names it, the fields read
    // before it (波数) take their new values, it and those after it
    // (推波期数) keep theirs, and 计算 goes on with them.
    type(IDC_WAVES, "2");
    type(IDC_ODDS, "abc");
    type(IDC_PERIODS, "1");
    const std::string prompt = pressAndAnswer(IDC_COMPUTE);
    EXPECT_NE(prompt.find("赔率"), std::string::npos) << prompt;
    ASSERT_TRUE(waitForRows(10)) << rowCount();
    EXPECT_EQ(rows(), std::vector<Row>(kFreshPlan.begin(), kFreshPlan.begin() + 10));
    type(IDC_ODDS, "1956");
    type(IDC_PERIODS, "5");
    type(IDC_WAVES, "3");

    // Out of range for "3星": the message, and the list stays empty.
    type(IDC_BETS, "1000");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-999)");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);

    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 4));
    type(IDC_BETS, "10");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-9)");
    type(IDC_BETS, "9");
    compute(15);

    // A sixth period at "5星" would need more than 32 bits.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 0));
    type(IDC_BETS, "500");
    type(IDC_PERIODS, "6");
    type(IDC_WAVES, "1");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "第1波第6期倍数超过2147483647,无法计算");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(WavestakeTest, HandOffDeliversTheSettingsRecordToTheHost) {
    const fs::path toolCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(toolCopy.empty());
    auto host = HostProbe::start(toolCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);
    EXPECT_TRUE(isEnabled(dialog_, IDC_HANDOFF)) << "with a host the hand-off is enabled";

    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1)) << "the host received nothing";
    expectStillOpenAndQuiet(host->tool());

    auto log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    const CopyDataMessage& message = log.messages[0];
    EXPECT_EQ(message.sender, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(dialog_)))
        << "wParam is not the tool's dialog";
    EXPECT_EQ(message.dwData, 0u);
    EXPECT_EQ(message.cbData, 2032u);
    ASSERT_EQ(message.bytes.size(), 2032u);
    const auto& record = message.bytes;
    EXPECT_EQ(word32(record, 0), 2u) << "record kind";
    EXPECT_EQ(word32(record, 4), 3u) << "波数";
    EXPECT_EQ(real32(record, 8), 100.0f) << "利润";
    EXPECT_EQ(word32(record, 12), 5u) << "推波期数";
    EXPECT_EQ(word32(record, 16), 500u) << "注数";
    EXPECT_EQ(word32(record, 20), 2u) << "星数";
    EXPECT_EQ(word32(record, 24), 2u) << "金额模式";
    EXPECT_TRUE(allZero(record, 28, 2032)) << "reserved bytes";

    // The inputs at the time of the hand-off, even a bets count out of range
    // for the star count; neither the odds nor the plan go with them.
    type(IDC_BETS, "5000");
    type(IDC_WAVES, "-2");
    type(IDC_PROFIT, "0.5");
    type(IDC_ODDS, "1");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 6));
    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(2));
    expectStillOpenAndQuiet(host->tool());
    log = host->read();
    ASSERT_EQ(log.messages.size(), 2u);
    const auto& second = log.messages[1].bytes;
    ASSERT_EQ(second.size(), 2032u);
    EXPECT_EQ(word32(second, 4), 0xFFFFFFFEu);
    EXPECT_EQ(real32(second, 8), 0.5f);
    EXPECT_EQ(word32(second, 16), 5000u);
    EXPECT_EQ(word32(second, 24), 6u);
    EXPECT_TRUE(allZero(second, 28, 2032));

    // Closing the tool ends the host's session.
    postCommand(dialog_, IDCANCEL, BN_CLICKED);
    EXPECT_EQ(host->tool().waitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(host->probe().waitForExit());
    log = host->read();
    EXPECT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.toolExitCode, std::optional<int>(0));
}

TEST_F(WavestakeTest, WithoutAHostTheHandOffIsDisabledAndSendsNothing) {
    // A host that listens, with a tool of its own that stays idle.
    const fs::path hostedCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(hostedCopy.empty());
    auto host = HostProbe::start(hostedCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host);
    const HWND hosted = waitForMainDialog(host->tool().id());
    ASSERT_NE(hosted, nullptr);

    for (const std::vector<std::wstring>& arguments :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"0"},
          std::vector<std::wstring>{L"abc"}}) {
        SCOPED_TRACE(arguments.empty() ? std::string("no argument") : utf8(arguments[0]));
        TempFolder own(L"wavestake-alone");
        Process alone = Process::startCopy(kExe, own, arguments);
        ASSERT_TRUE(alone);
        const HWND dialog = waitForMainDialog(alone.id());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(isEnabled(dialog, IDC_HANDOFF));
        // A click that reaches the disabled button anyway does nothing.
        clickButton(dialog, IDC_HANDOFF);
        ASSERT_TRUE(flush(dialog));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog), nullptr) << "the hand-off showed a box";
        EXPECT_TRUE(alone.running());
        EXPECT_TRUE(host->read().messages.empty()) << "a message reached the host window";
        alone.terminate();
    }

    // The host does hear its own tool.
    clickButton(hosted, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1));
    const auto log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].sender,
              static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hosted)));
}

TEST_F(WavestakeTest, AboutItemOfTheSystemMenuShowsTheAboutBox) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    pause(kSettle);
    EXPECT_EQ(utf8(windowText(about)), "关于 wavestake");
    bool versionShown = false;
    for (const auto& text : staticTexts(about))
        versionShown = versionShown || utf8(text) == "wavestake 1.0 版";
    EXPECT_TRUE(versionShown) << "the About box does not say wavestake 1.0 版";
    EXPECT_EQ(utf8(windowText(GetDlgItem(about, IDOK))), "确定");
    EXPECT_TRUE(dismiss(about, IDOK)) << "确定 did not close the About box";

    // Back in the main dialog, which still works.
    ASSERT_TRUE(tool_.running());
    compute(15);
}

TEST_F(WavestakeTest, ScreenshotOfThePlanIsSavedForReview) {
    start();
    compute(15);
    pause(Millis{300}); // let the list paint
    const auto file = saveScreenshot(dialog_, L"wavestake-plan");
    ASSERT_TRUE(file) << "the window could not be saved";
    const auto bytes = readFileBytes(*file);
    ASSERT_TRUE(bytes);
    ASSERT_GT(bytes->size(), 54u);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

// A copy that cannot take place, because another program holds the
// clipboard open, is reported as failed.
TEST_F(WavestakeTest, CopyWhileTheClipboardIsHeldReportsTheFailure) {
    start();
    compute(15);
    expectCopiesReportFailure(dialog_, {ID_COPY_MULTIPLIERS, ID_COPY_MULTIPLIERS_VERTICAL},
                              kMessageTitle);
}

// An export to a file that cannot be written (another program holds it
// open) says so, naming the file.
TEST_F(WavestakeTest, ExportToAFileHeldOpenElsewhereReportsTheFailure) {
    start();
    expectExportReportsFailure(dialog_, IDC_EXPORT, folder_.file(L"locked.ini"));
}

} // namespace
