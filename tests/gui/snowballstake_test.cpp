// snowballstake (滚雪球倍投计算器) driven from outside as a user would: the real
// program, started from a copy in a folder of its own, so that every test has
// its own "setgl.ini" beside the program.
#include "failure_checks.h"
#include "harness.h"

#include "window_image_win.h"

#include "stake/snowballstake/resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Row = std::vector<std::string>;
using Lines = std::vector<std::string>;

constexpr wchar_t kExe[] = L"snowballstake.exe";
constexpr char kTitle[] = "滚雪球倍投计算器 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "snowballstake";
constexpr char kCopied[] = "已经成功复制到剪贴板!";
constexpr int kAboutCommand = 16;

// 滚利期数 8 with the other inputs of a fresh start: 注数 500, 赔率 1956,
// 开始倍数 1, "3星", "1分".
const std::vector<Row> kEightRows = {
    {"1", "1", "5.000", "9.780", "4.780", "4.780"},
    {"2", "1", "5.000", "9.780", "4.780", "9.560"},
    {"3", "2", "10.000", "19.560", "9.560", "19.120"},
    {"4", "4", "20.000", "39.120", "19.120", "38.240"},
    {"5", "8", "40.000", "78.240", "38.240", "76.480"},
    {"6", "16", "80.000", "156.480", "76.480", "152.960"},
    {"7", "31", "155.000", "303.180", "148.180", "301.140"},
    {"8", "61", "305.000", "596.580", "291.580", "592.720"},
};
const std::vector<Row> kFiveRows(kEightRows.begin(), kEightRows.begin() + 5);

// segmentstake's section, which shares "setgl.ini".
const Lines kSegmentSection = {"[SetFD]",     "nQishu=50",   "nMode=3",  "nXingshu=1",
                               "nZhushu=488", "nPeilv=1956", "nZhong=5", "fYingli=50.000000"};

std::string joinLines(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

class SnowballstakeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"snowballstake-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    void start(const std::vector<std::wstring>& arguments = {}) {
        tool_ = Process::startCopy(kExe, folder_, arguments);
        ASSERT_TRUE(tool_) << "snowballstake.exe could not be started from "
                           << utf8(folder_.path().wstring());
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

    fs::path settingsFile() const { return folder_.file(L"setgl.ini"); }
    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    void type(int id, const char* value) const {
        ASSERT_TRUE(setControlText(dialog_, id, wide(value))) << "could not type into " << id;
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

    void compute(int expectedRows) {
        clickButton(dialog_, IDC_COMPUTE);
        ASSERT_TRUE(flush(dialog_));
        ASSERT_EQ(findOwnedDialog(dialog_), nullptr)
            << "计算 showed a message box: "
            << utf8(windowText(GetDlgItem(findOwnedDialog(dialog_), 0xFFFF)));
        ASSERT_TRUE(waitForRows(expectedRows)) << "the list has " << rowCount() << " rows";
    }

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

    void expectStillOpenAndQuiet(const Process& process) {
        ASSERT_TRUE(flush(dialog_));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
        EXPECT_TRUE(process.running()) << "the tool ended";
        EXPECT_TRUE(IsWindow(dialog_) && IsWindowVisible(dialog_)) << "the dialog closed";
    }

    // A real right-click on the list, then the menu item `downs` steps down
    // chosen with the keyboard. Each click goes to another spot, later than
    // the double-click time, so that two never make a double click.
    void chooseFromContextMenu(int downs) {
        SetForegroundWindow(dialog_);
        pause(Millis{GetDoubleClickTime() + 50});
        const RECT area = screenRect(list());
        const int x = area.left + 20 + 40 * clicks_;
        const int y = area.top + (area.bottom - area.top) / 2 + 20 * clicks_;
        ++clicks_;
        ASSERT_TRUE(clickOnDisplay(x, y, 3));
        ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }))
            << "no context menu opened";
        pause(kSettle);
        std::vector<std::string> keys(static_cast<std::size_t>(downs), "Down");
        keys.push_back("Return");
        ASSERT_TRUE(typeKeysOnDisplay(keys));
    }

    TempFolder folder_{L"snowballstake"};
    Process tool_;
    HWND dialog_ = nullptr;
    int clicks_ = 0;
};

TEST_F(SnowballstakeTest, FreshStartShowsDefaultInputsAndAnEmptyPlan) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);
    EXPECT_EQ(text(IDC_ROLL_PERIODS), "5");
    EXPECT_EQ(text(IDC_BETS), "500");
    EXPECT_EQ(text(IDC_ODDS), "1956");
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "1");
    EXPECT_EQ(comboItemCount(dialog_, IDC_STARS), 5);
    EXPECT_EQ(text(IDC_STARS), "3星");
    EXPECT_EQ(comboItemCount(dialog_, IDC_MODE), 8);
    EXPECT_EQ(text(IDC_MODE), "1分");
    EXPECT_TRUE(isEnabled(dialog_, IDC_COMPUTE));
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF)) << "复制到方案 without a host";

    RemoteListView plan(list());
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan.rowCount(), 0);
    ASSERT_EQ(plan.columnCount(), 6);
    const Row columns = {"序号", "倍数", "成本", "中奖", "收益", "总收益"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(utf8(plan.columnName(c)), columns[static_cast<std::size_t>(c)]) << "column " << c;

    EXPECT_FALSE(fs::exists(settingsFile())) << "opening must not write the settings";
}

TEST_F(SnowballstakeTest, ComputeShowsTheSnowballRows) {
    start();
    compute(5);
    EXPECT_EQ(rows(), kFiveRows);

    // 8 periods go on; 31.592 is cut to 31.
    type(IDC_ROLL_PERIODS, "8");
    compute(8);
    EXPECT_EQ(rows(), kEightRows);

    // 0 periods empty the list.
    type(IDC_ROLL_PERIODS, "0");
    compute(0);
}

TEST_F(SnowballstakeTest, BetsOutOfRangeIsReportedAndTheListStaysEmpty) {
    start();
    // Not a number: the prompt names the field, and 计算 goes on with the
    // value read before.
    type(IDC_ODDS, "abc");
    const std::string prompt = pressAndAnswer(IDC_COMPUTE);
    EXPECT_NE(prompt.find("赔率"), std::string::npos) << prompt;
    ASSERT_TRUE(waitForRows(5));
    EXPECT_EQ(rows(), kFiveRows);

    type(IDC_ODDS, "1956");
    type(IDC_BETS, "1000");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-999");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);

    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 0));
    type(IDC_BETS, "100000");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-99999)");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(SnowballstakeTest, AMultiplierBeyond32BitsEndsThePlanWithANote) {
    start();
    type(IDC_ROLL_PERIODS, "100");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "第34期的倍数超出计算范围,方案到第33期为止");
    ASSERT_TRUE(waitForRows(33));
    EXPECT_EQ(rows().back()[1], "1171512935");
}

TEST_F(SnowballstakeTest, ContextMenuCopiesTheMultipliers) {
    start();
    // An empty list copies an empty text and still confirms.
    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(1);
    {
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "复制倍数 showed no message";
        EXPECT_EQ(utf8(box->text), kCopied);
    }
    EXPECT_EQ(clipboardText(), std::optional<std::string>(""));

    compute(5);
    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(1);
    {
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "复制倍数 showed no message";
        EXPECT_EQ(utf8(box->text), kCopied);
        EXPECT_EQ(utf8(box->title), kMessageTitle);
    }
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1,1,2,4,8"));

    // Past the separator: 复制倍数(竖排).
    ASSERT_TRUE(setClipboardText("before"));
    chooseFromContextMenu(2);
    {
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "复制倍数(竖排) showed no message";
        EXPECT_EQ(utf8(box->text), kCopied);
    }
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1\r\n1\r\n2\r\n4\r\n8\r\n"));

    // The menu dismissed with Esc does nothing.
    ASSERT_TRUE(setClipboardText("before"));
    SetForegroundWindow(dialog_);
    pause(Millis{GetDoubleClickTime() + 50});
    const RECT area = screenRect(list());
    ASSERT_TRUE(clickOnDisplay(area.left + 200, area.top + 60, 3));
    ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }));
    pause(kSettle);
    ASSERT_TRUE(typeKeysOnDisplay({"Escape"}));
    ASSERT_TRUE(waitUntil([&] { return topLevelWindows(tool_.id(), L"#32768").empty(); }));
    expectStillOpenAndQuiet(tool_);
    EXPECT_EQ(clipboardText(), std::optional<std::string>("before"));
}

TEST_F(SnowballstakeTest, ClosingSavesSetBTBesideSegmentstakesSection) {
    ASSERT_TRUE(writeFileBytes(settingsFile(), joinLines(kSegmentSection)));

    // Esc on a fresh start: the six keys with their defaults, SetFD untouched.
    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_ROLL_PERIODS));
    pressKey(control(dialog_, IDC_ROLL_PERIODS), VK_ESCAPE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Esc did not close the tool";
    Lines expected = kSegmentSection;
    for (const char* line : {"[SetBT]", "nQishu=5", "nMode=2", "nXingshu=2", "nZhushu=500",
                             "nStartBeishu=1", "fPeilv=1956.000000"})
        expected.push_back(line);
    EXPECT_EQ(iniLines(settingsFile()), expected);

    // Changed inputs, closed with the close box.
    start();
    type(IDC_ROLL_PERIODS, "8");
    type(IDC_BETS, "50");
    type(IDC_ODDS, "1800.5");
    type(IDC_START_MULTIPLIER, "3");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 5));
    ASSERT_TRUE(flush(dialog_));
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "the close box did not close";
    expected = kSegmentSection;
    for (const char* line : {"[SetBT]", "nQishu=8", "nMode=5", "nXingshu=3", "nZhushu=50",
                             "nStartBeishu=3", "fPeilv=1800.500000"})
        expected.push_back(line);
    EXPECT_EQ(iniLines(settingsFile()), expected);

    // The next start shows them.
    start();
    EXPECT_EQ(text(IDC_ROLL_PERIODS), "8");
    EXPECT_EQ(text(IDC_BETS), "50");
    EXPECT_EQ(text(IDC_ODDS), "1800.5");
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "3");
    EXPECT_EQ(text(IDC_STARS), "2星");
    EXPECT_EQ(text(IDC_MODE), "2角");

    // Enter closes the window and leaves the file as it was.
    type(IDC_ROLL_PERIODS, "9");
    postCommand(dialog_, IDOK, BN_CLICKED);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Enter did not close the tool";
    EXPECT_EQ(iniLines(settingsFile()), expected);
}

TEST_F(SnowballstakeTest, EnterWithAFieldThatIsNoNumberKeepsTheWindowOpen) {
    start();
    type(IDC_START_MULTIPLIER, "x");
    postCommand(dialog_, IDOK, BN_CLICKED);
    const auto box = answerMessageBox(dialog_);
    ASSERT_TRUE(box) << "no prompt";
    EXPECT_NE(utf8(box->text).find("开始倍数"), std::string::npos) << utf8(box->text);
    expectStillOpenAndQuiet(tool_);
    EXPECT_FALSE(fs::exists(settingsFile()));
}

TEST_F(SnowballstakeTest, ExportThenImportRestoresTheInputsAndEmptiesThePlan) {
    start();
    type(IDC_ROLL_PERIODS, "7");
    type(IDC_BETS, "40");
    type(IDC_ODDS, "1900");
    type(IDC_START_MULTIPLIER, "2");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 6));
    ASSERT_TRUE(flush(dialog_));

    const fs::path exported = folder_.file(L"exported.ini");
    clickButton(dialog_, IDC_EXPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the save dialog could not be completed";
    ASSERT_TRUE(waitUntil([&] { return iniLines(exported).size() == 7; }))
        << "the exported file is missing or incomplete";
    // Export writes 星数 before 金额模式.
    EXPECT_EQ(iniLines(exported), (Lines{"[SetBT]", "nQishu=7", "nXingshu=3", "nMode=6",
                                         "nZhushu=40", "nStartBeishu=2", "fPeilv=1900.000000"}));

    type(IDC_ROLL_PERIODS, "5");
    type(IDC_BETS, "500");
    type(IDC_ODDS, "1956");
    type(IDC_START_MULTIPLIER, "1");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 2));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 2));
    compute(5);

    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "import did not empty the list";
    EXPECT_EQ(text(IDC_ROLL_PERIODS), "7");
    EXPECT_EQ(text(IDC_BETS), "40");
    EXPECT_EQ(text(IDC_ODDS), "1900");
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "2");
    EXPECT_EQ(text(IDC_STARS), "2星");
    EXPECT_EQ(text(IDC_MODE), "2分");

    // An imported file without keys gives the defaults of a fresh start.
    const fs::path empty = folder_.file(L"empty.ini");
    ASSERT_TRUE(writeFileBytes(empty, "[SetFD]\r\nnQishu=50\r\n"));
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, empty));
    ASSERT_TRUE(waitUntil([&] { return text(IDC_ROLL_PERIODS) == "5"; }));
    EXPECT_EQ(text(IDC_BETS), "500");
    EXPECT_EQ(text(IDC_MODE), "1分");

    EXPECT_FALSE(fs::exists(settingsFile())) << "export and import touch only the chosen file";
}

TEST_F(SnowballstakeTest, HandOffDeliversTheInputsToTheHost) {
    const fs::path toolCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(toolCopy.empty());
    auto host = HostProbe::start(toolCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);
    EXPECT_TRUE(isEnabled(dialog_, IDC_HANDOFF));

    type(IDC_ROLL_PERIODS, "12");
    type(IDC_START_MULTIPLIER, "7");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 4));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 1));
    type(IDC_BETS, "300");
    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1)) << "the host received nothing";
    expectStillOpenAndQuiet(host->tool());

    auto log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    const CopyDataMessage& message = log.messages[0];
    EXPECT_EQ(message.sender,
              static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(dialog_)));
    EXPECT_EQ(message.dwData, 0u);
    EXPECT_EQ(message.cbData, 2032u);
    ASSERT_EQ(message.bytes.size(), 2032u);
    const auto& record = message.bytes;
    EXPECT_EQ(word32(record, 0), 3u) << "record kind";
    EXPECT_TRUE(allZero(record, 4, 12));
    EXPECT_EQ(word32(record, 12), 12u) << "滚利期数";
    EXPECT_EQ(word32(record, 16), 300u) << "注数";
    EXPECT_EQ(word32(record, 20), 1u) << "星数";
    EXPECT_EQ(word32(record, 24), 4u) << "金额模式";
    EXPECT_TRUE(allZero(record, 28, 2028));
    EXPECT_EQ(word32(record, 2028), 7u) << "开始倍数";

    postCommand(dialog_, IDCANCEL, BN_CLICKED);
    EXPECT_EQ(host->tool().waitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(host->probe().waitForExit());
    log = host->read();
    EXPECT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.toolExitCode, std::optional<int>(0));
}

TEST_F(SnowballstakeTest, WithoutAHostTheHandOffIsDisabledAndSendsNothing) {
    const fs::path hostedCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(hostedCopy.empty());
    auto host = HostProbe::start(hostedCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host);
    ASSERT_NE(waitForMainDialog(host->tool().id()), nullptr);

    for (const std::vector<std::wstring>& arguments :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"0"},
          std::vector<std::wstring>{L"abc"}}) {
        SCOPED_TRACE(arguments.empty() ? std::string("no argument") : utf8(arguments[0]));
        TempFolder own(L"snowballstake-alone");
        Process alone = Process::startCopy(kExe, own, arguments);
        ASSERT_TRUE(alone);
        const HWND dialog = waitForMainDialog(alone.id());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(isEnabled(dialog, IDC_HANDOFF));
        // Even the command itself, as a click would send it, does nothing.
        clickButton(dialog, IDC_HANDOFF);
        ASSERT_TRUE(flush(dialog));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog), nullptr);
        EXPECT_TRUE(alone.running());
        EXPECT_TRUE(host->read().messages.empty()) << "a message reached the host window";
        alone.terminate();
    }
}

TEST_F(SnowballstakeTest, AboutItemOfTheSystemMenuShowsTheAboutBox) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    pause(kSettle);
    EXPECT_EQ(utf8(windowText(about)), "关于 snowballstake");
    bool versionShown = false;
    for (const auto& line : staticTexts(about))
        versionShown = versionShown || utf8(line) == "snowballstake 1.0 版";
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(dismiss(about, IDOK));
    ASSERT_TRUE(tool_.running());
    compute(5);
}

TEST_F(SnowballstakeTest, ScreenshotOfThePlanIsSavedForReview) {
    start();
    type(IDC_ROLL_PERIODS, "8");
    compute(8);
    pause(Millis{300});
    const auto file = saveScreenshot(dialog_, L"snowballstake-plan");
    ASSERT_TRUE(file) << "the window could not be saved";
    const auto bytes = readFileBytes(*file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());

    // At high DPI the window can be taller than the test desktop: the part of
    // it on the screen is saved as well.
    const RECT window = screenRect(dialog_);
    const RECT desktop{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT visible{};
    ASSERT_TRUE(IntersectRect(&visible, &window, &desktop));
    const fs::path visiblePart =
        screenshotDirectory() /
        (L"snowballstake-visible-" + std::to_wstring(windowDpi(dialog_)) + L"dpi.bmp");
    EXPECT_TRUE(winsnap::saveScreenRect(visible, visiblePart.wstring()));
    std::printf("window %ld,%ld-%ld,%ld; visible part: %s\n", window.left, window.top, window.right,
                window.bottom, utf8(visiblePart.wstring()).c_str());
}

// A copy that cannot take place, because another program holds the
// clipboard open, is reported as failed.
TEST_F(SnowballstakeTest, CopyWhileTheClipboardIsHeldReportsTheFailure) {
    start();
    compute(5);
    expectCopiesReportFailure(dialog_, {ID_COPY_MULTIPLIERS, ID_COPY_MULTIPLIER_LINES},
                              kMessageTitle);
}

// An export to a file that cannot be written (another program holds it
// open) says so, naming the file.
TEST_F(SnowballstakeTest, ExportToAFileHeldOpenElsewhereReportsTheFailure) {
    start();
    expectExportReportsFailure(dialog_, IDC_EXPORT, folder_.file(L"locked.ini"));
}

} // namespace
