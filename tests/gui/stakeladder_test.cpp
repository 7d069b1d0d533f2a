// stakeladder (倍投计算器) driven from outside as a user would: the real
// program, started from a copy in a folder of its own, so that every test
// has its own "setbt.ini" beside the program.
#include "failure_checks.h"
#include "harness.h"

#include "stake/stakeladder/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Row = std::vector<std::string>;

constexpr wchar_t kExe[] = L"stakeladder.exe";
constexpr char kTitle[] = "倍投计算器 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "stakeladder";
constexpr char kCopied[] = "已经成功复制到剪贴板!";
constexpr int kAboutCommand = 16;
const std::initializer_list<int> kProfitType = {IDC_RATE_TYPE, IDC_AMOUNT_TYPE};

// 赔率 1956, 注数 500, "3星", "1厘", 利润率 1, 起始倍数 1, 倍投期数 5: the
// values of a fresh start.
const std::vector<Row> kFreshPlan = {
    {"1", "1", "0.5000", "0.5000", "0.9780", "0.4780", "95.60%"},
    {"2", "2", "1.0000", "1.5000", "1.9560", "0.4560", "30.40%"},
    {"3", "4", "2.0000", "3.5000", "3.9120", "0.4120", "11.77%"},
    {"4", "8", "4.0000", "7.5000", "7.8240", "0.3240", "4.32%"},
    {"5", "17", "8.5000", "16.0000", "16.6260", "0.6260", "3.91%"},
};

// The same with 利润金额 100 instead of the rate.
const std::vector<Row> kAmountPlan = {
    {"1", "210", "105.0000", "105.0000", "205.3800", "100.3800", "95.6000%"},
    {"2", "429", "214.5000", "319.5000", "419.5620", "100.0620", "31.3183%"},
    {"3", "878", "439.0000", "758.5000", "858.6840", "100.1840", "13.2082%"},
    {"4", "1797", "898.5000", "1657.0000", "1757.4660", "100.4659", "6.0631%"},
    {"5", "3676", "1838.0000", "3495.0000", "3595.1280", "100.1279", "2.8649%"},
};

std::vector<std::string> iniLines(const fs::path& file) {
    const auto bytes = readFileBytes(file);
    if (!bytes)
        return {};
    auto lines = splitLines(*bytes);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

class StakeladderTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"stakeladder-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    // Starts the tool in the test's folder and waits for its dialog.
    void start(const std::vector<std::wstring>& arguments = {}) {
        tool_ = Process::startCopy(kExe, folder_, arguments);
        ASSERT_TRUE(tool_) << "stakeladder.exe could not be started from "
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
    Row row(int index) const {
        Row cells;
        for (const auto& cell : RemoteListView(list()).row(index))
            cells.push_back(utf8(cell));
        return cells;
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
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after pressing control " << id;
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

    TempFolder folder_{L"stakeladder"};
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_F(StakeladderTest, FreshStartShowsDefaultInputsAndAnEmptyPlan) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);

    EXPECT_EQ(text(IDC_PERIODS), "5");
    EXPECT_EQ(text(IDC_ODDS), "1956");
    EXPECT_EQ(text(IDC_BETS), "500");
    EXPECT_EQ(comboItemCount(dialog_, IDC_MODE), 8);
    EXPECT_EQ(comboSelection(dialog_, IDC_MODE), 3);
    EXPECT_EQ(text(IDC_MODE), "1厘");
    EXPECT_EQ(comboItemCount(dialog_, IDC_STARS), 5);
    EXPECT_EQ(comboSelection(dialog_, IDC_STARS), 2);
    EXPECT_EQ(text(IDC_STARS), "3星");

    EXPECT_TRUE(isChecked(dialog_, IDC_RATE_TYPE));
    EXPECT_FALSE(isChecked(dialog_, IDC_AMOUNT_TYPE));
    EXPECT_EQ(text(IDC_RATE), "1");
    EXPECT_TRUE(isEnabled(dialog_, IDC_RATE));
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "1");
    EXPECT_TRUE(isEnabled(dialog_, IDC_START_MULTIPLIER));
    EXPECT_EQ(text(IDC_AMOUNT), "100");
    EXPECT_FALSE(isEnabled(dialog_, IDC_AMOUNT));

    EXPECT_FALSE(isChecked(dialog_, IDC_USE_CUSTOM));
    EXPECT_EQ(text(IDC_CUSTOM), "1,2,4,8,16,32");
    EXPECT_FALSE(isEnabled(dialog_, IDC_CUSTOM));

    RemoteListView plan(list());
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan.rowCount(), 0);
    ASSERT_EQ(plan.columnCount(), 7);
    const std::vector<std::string> columns = {"期数",     "当前倍数", "当前成本", "累计成本",
                                              "中奖奖金", "纯利润",   "收益率"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(utf8(plan.columnName(c)), columns[static_cast<std::size_t>(c)]) << "column " << c;

    // Opening reads the settings file; only closing writes it.
    EXPECT_FALSE(fs::exists(folder_.file(L"setbt.ini")));
}

TEST_F(StakeladderTest, ComputeWithFreshInputsShowsTheDoublingPlan) {
    start();
    compute(5);
    EXPECT_EQ(rows(), kFreshPlan);

    // A second 计算 replaces the plan instead of adding to it.
    type(IDC_PERIODS, "3");
    compute(3);
    EXPECT_EQ(rows(), std::vector<Row>(kFreshPlan.begin(), kFreshPlan.begin() + 3));
}

TEST_F(StakeladderTest, RateAndAmountModesEachComputeTheirOwnPlan) {
    start();
    // Rate mode at "1元" with 利润率 10 over 8 periods.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 0));
    type(IDC_RATE, "10");
    type(IDC_PERIODS, "8");
    compute(8);
    const auto rated = rows();
    Row multipliers;
    for (const auto& r : rated)
        multipliers.push_back(r[1]);
    EXPECT_EQ(multipliers, (Row{"1", "2", "4", "9", "21", "48", "110", "251"}));
    EXPECT_EQ(rated.back(), (Row{"8", "251", "125500.0000", "223000.0000", "245478.0000",
                                 "22478.0000", "10.08%"}));

    // 利润金额, clicked with the mouse, switches the boxes over and computes
    // from the amount.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 3));
    type(IDC_PERIODS, "5");
    ASSERT_TRUE(clickControlOnDisplay(dialog_, IDC_AMOUNT_TYPE));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_AMOUNT); }))
        << "clicking 利润金额 did not enable its box";
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(isChecked(dialog_, IDC_AMOUNT_TYPE));
    EXPECT_FALSE(isChecked(dialog_, IDC_RATE_TYPE));
    EXPECT_FALSE(isEnabled(dialog_, IDC_RATE));
    EXPECT_FALSE(isEnabled(dialog_, IDC_START_MULTIPLIER));
    EXPECT_TRUE(isEnabled(dialog_, IDC_AMOUNT));
    compute(5);
    EXPECT_EQ(rows(), kAmountPlan);

    // And 利润率 switches them back.
    ASSERT_TRUE(clickControlOnDisplay(dialog_, IDC_RATE_TYPE));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_RATE); }))
        << "clicking 利润率 did not enable its box";
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(isChecked(dialog_, IDC_RATE_TYPE));
    EXPECT_FALSE(isChecked(dialog_, IDC_AMOUNT_TYPE));
    EXPECT_TRUE(isEnabled(dialog_, IDC_RATE));
    EXPECT_TRUE(isEnabled(dialog_, IDC_START_MULTIPLIER));
    EXPECT_FALSE(isEnabled(dialog_, IDC_AMOUNT));
    type(IDC_RATE, "1");
    compute(5);
    EXPECT_EQ(rows(), kFreshPlan);
}

TEST_F(StakeladderTest, EnterInAnEditBoxOrOnTheDialogNeitherComputesNorClosesNorSaves) {
    start();

    // Enter typed in an edit box: the dialog's message loop turns it into
    // its default command, as for a key from the keyboard.
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    pressKey(control(dialog_, IDC_BETS), VK_RETURN);
    expectStillOpenAndQuiet();
    EXPECT_EQ(rowCount(), 0);

    // Enter on the dialog itself (its OK command).
    postCommand(dialog_, IDOK, BN_CLICKED);
    expectStillOpenAndQuiet();
    EXPECT_EQ(rowCount(), 0);

    // A real key press on the X display, into the focused 倍投期数 box:
    // the digit shows the keys arrive there, then Return.
    ASSERT_TRUE(focusControl(dialog_, IDC_PERIODS));
    SetForegroundWindow(dialog_);
    ASSERT_TRUE(typeKeysOnDisplay({"End", "7"}));
    ASSERT_TRUE(waitUntil([&] { return text(IDC_PERIODS) == "57"; }))
        << "keys typed on the display did not reach the focused box: " << text(IDC_PERIODS);
    ASSERT_TRUE(typeKeysOnDisplay({"Return"}));
    expectStillOpenAndQuiet();
    EXPECT_EQ(rowCount(), 0);

    // Enter does not save the settings either.
    EXPECT_FALSE(fs::exists(folder_.file(L"setbt.ini")));
}

TEST_F(StakeladderTest, BetsCountThatIsNoNumberOrOutOfRangeIsReported) {
    start();

    // Not a number: a prompt naming 注数, and 计算 goes on. The fields read
    // before 注数 (倍投期数) take their new values, 注数 and those after it
    // (起始倍数) keep their old ones.
    type(IDC_PERIODS, "3");
    type(IDC_BETS, "abc");
    type(IDC_START_MULTIPLIER, "2");
    const std::string prompt = pressAndAnswer(IDC_COMPUTE);
    EXPECT_NE(prompt.find("注数"), std::string::npos) << prompt;
    ASSERT_TRUE(waitForRows(3)) << rowCount();
    EXPECT_EQ(rows(), std::vector<Row>(kFreshPlan.begin(), kFreshPlan.begin() + 3));

    // Out of range for "3星": the message, and the plan stays as it was.
    type(IDC_BETS, "1000");
    type(IDC_START_MULTIPLIER, "1");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-999)");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rows(), std::vector<Row>(kFreshPlan.begin(), kFreshPlan.begin() + 3));

    // Each star count has its own range.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 4));
    type(IDC_BETS, "10");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-9)");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 0));
    type(IDC_BETS, "100000");
    EXPECT_EQ(pressAndAnswer(IDC_COMPUTE), "注数数值只能为(1-99999)");
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(StakeladderTest, CopyPutsTheMultipliersOrPeriodsOnTheClipboard) {
    start();

    // With an empty list the text is empty, and the copy is still confirmed.
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(IDC_COPY), kCopied);
    EXPECT_EQ(clipboardText(), std::optional<std::string>(""));

    compute(5);
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(IDC_COPY), kCopied);
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1,2,4,8,17"));

    // The list's context menu, opened by a real right-click on the list
    // (xdotool on the X display; Wine's virtual desktop sits at the origin),
    // its items chosen with the keyboard: 复制, separator, 复制期数.
    // Two right-clicks at one spot within the double-click time would make a
    // double click, which opens no menu: each click goes elsewhere, later.
    int clicks = 0;
    const auto openMenuAndChoose = [&](int downs) {
        SetForegroundWindow(dialog_);
        pause(Millis{GetDoubleClickTime() + 50});
        const RECT area = screenRect(list());
        const int x = area.left + 20 + 40 * clicks;
        const int y = area.top + (area.bottom - area.top) / 2 + 20 * clicks;
        ++clicks;
        ASSERT_TRUE(clickOnDisplay(x, y, 3));
        ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }))
            << "no context menu opened";
        pause(kSettle);
        std::vector<std::string> keys(static_cast<std::size_t>(downs), "Down");
        keys.push_back("Return");
        ASSERT_TRUE(typeKeysOnDisplay(keys));
    };

    ASSERT_TRUE(setClipboardText("before"));
    openMenuAndChoose(2);
    {
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "复制期数 showed no message";
        EXPECT_EQ(utf8(box->text), kCopied);
    }
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1,2,3,4,5"));

    ASSERT_TRUE(setClipboardText("before"));
    openMenuAndChoose(1);
    {
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "复制 showed no message";
        EXPECT_EQ(utf8(box->text), kCopied);
    }
    EXPECT_EQ(clipboardText(), std::optional<std::string>("1,2,4,8,17"));
}

TEST_F(StakeladderTest, ClosingSavesTheSettingsAndTheNextStartReadsThem) {
    const fs::path settings = folder_.file(L"setbt.ini");

    // Esc on a fresh start writes all nine keys with the defaults.
    start();
    ASSERT_TRUE(focusControl(dialog_, IDC_PERIODS));
    pressKey(control(dialog_, IDC_PERIODS), VK_ESCAPE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "Esc did not close the tool";
    EXPECT_EQ(iniLines(settings),
              (std::vector<std::string>{"[SetBT]", "nModel=3", "nLirunLv=1", "nLirunType=0",
                                        "nQishu=5", "nStartBeishu=1", "nXingshu=2", "nZhushu=500",
                                        "fLirun=100.000000", "fPeilv=1956.000000"}));

    // Changed inputs, closed with the close box.
    start();
    type(IDC_PERIODS, "8");
    type(IDC_ODDS, "1800.5");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 0));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 1));
    type(IDC_BETS, "700");
    type(IDC_RATE, "10");
    type(IDC_START_MULTIPLIER, "2");
    clickRadio(dialog_, IDC_AMOUNT_TYPE, kProfitType);
    type(IDC_AMOUNT, "250.5");
    ASSERT_TRUE(flush(dialog_));
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0))
        << "the close box did not close the tool";
    EXPECT_EQ(iniLines(settings),
              (std::vector<std::string>{"[SetBT]", "nModel=0", "nLirunLv=10", "nLirunType=1",
                                        "nQishu=8", "nStartBeishu=2", "nXingshu=1", "nZhushu=700",
                                        "fLirun=250.500000", "fPeilv=1800.500000"}));

    // The next start shows them; the custom list is not kept.
    start();
    EXPECT_EQ(text(IDC_PERIODS), "8");
    EXPECT_EQ(text(IDC_ODDS), "1800.5");
    EXPECT_EQ(comboSelection(dialog_, IDC_MODE), 0);
    EXPECT_EQ(comboSelection(dialog_, IDC_STARS), 1);
    EXPECT_EQ(text(IDC_BETS), "700");
    EXPECT_EQ(text(IDC_RATE), "10");
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "2");
    EXPECT_EQ(text(IDC_AMOUNT), "250.5");
    EXPECT_FALSE(isChecked(dialog_, IDC_RATE_TYPE));
    EXPECT_TRUE(isChecked(dialog_, IDC_AMOUNT_TYPE));
    EXPECT_FALSE(isEnabled(dialog_, IDC_RATE));
    EXPECT_FALSE(isEnabled(dialog_, IDC_START_MULTIPLIER));
    EXPECT_TRUE(isEnabled(dialog_, IDC_AMOUNT));
    EXPECT_FALSE(isChecked(dialog_, IDC_USE_CUSTOM));
    EXPECT_EQ(text(IDC_CUSTOM), "1,2,4,8,16,32");

    // WM_CLOSE saves too.
    type(IDC_PERIODS, "9");
    PostMessageW(dialog_, WM_CLOSE, 0, 0);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0)) << "WM_CLOSE did not close the tool";
    const auto lines = iniLines(settings);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[4], "nQishu=9");
}

TEST_F(StakeladderTest, ExportThenImportRestoresTheInputsAndEmptiesThePlan) {
    start();
    type(IDC_PERIODS, "7");
    type(IDC_ODDS, "1900");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 5));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 3));
    type(IDC_BETS, "50");
    type(IDC_RATE, "3");
    type(IDC_START_MULTIPLIER, "4");
    clickRadio(dialog_, IDC_AMOUNT_TYPE, kProfitType);
    type(IDC_AMOUNT, "33.25");
    ASSERT_TRUE(flush(dialog_));

    const fs::path exported = folder_.file(L"exported.ini");
    clickButton(dialog_, IDC_EXPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the save dialog could not be completed";
    ASSERT_TRUE(waitUntil([&] { return iniLines(exported).size() == 10; }))
        << "the exported file is missing or incomplete";
    EXPECT_EQ(iniLines(exported),
              (std::vector<std::string>{"[SetBT]", "nModel=5", "nLirunLv=3", "nLirunType=1",
                                        "nQishu=7", "nStartBeishu=4", "nXingshu=3", "nZhushu=50",
                                        "fLirun=33.250000", "fPeilv=1900.000000"}));

    // Other inputs, and a plan in the list.
    type(IDC_PERIODS, "6");
    type(IDC_ODDS, "1956");
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 3));
    ASSERT_TRUE(selectComboItem(dialog_, IDC_STARS, 2));
    type(IDC_BETS, "500");
    type(IDC_RATE, "1");
    type(IDC_START_MULTIPLIER, "1");
    clickRadio(dialog_, IDC_RATE_TYPE, kProfitType);
    type(IDC_AMOUNT, "100");
    compute(6);

    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "import did not empty the list";
    EXPECT_EQ(text(IDC_PERIODS), "7");
    EXPECT_EQ(text(IDC_ODDS), "1900");
    EXPECT_EQ(comboSelection(dialog_, IDC_MODE), 5);
    EXPECT_EQ(text(IDC_MODE), "2角");
    EXPECT_EQ(comboSelection(dialog_, IDC_STARS), 3);
    EXPECT_EQ(text(IDC_STARS), "2星");
    EXPECT_EQ(text(IDC_BETS), "50");
    EXPECT_EQ(text(IDC_RATE), "3");
    EXPECT_EQ(text(IDC_START_MULTIPLIER), "4");
    EXPECT_EQ(text(IDC_AMOUNT), "33.25");
    EXPECT_FALSE(isChecked(dialog_, IDC_RATE_TYPE));
    EXPECT_TRUE(isChecked(dialog_, IDC_AMOUNT_TYPE));

    // Export and import touch only the chosen file.
    EXPECT_FALSE(fs::exists(folder_.file(L"setbt.ini")));
}

TEST_F(StakeladderTest, HandOffDeliversOneRecordToTheHost) {
    const fs::path toolCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(toolCopy.empty());
    auto host = HostProbe::start(toolCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);

    compute(5);
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
    EXPECT_EQ(word32(record, 0), 1u) << "record kind";
    EXPECT_TRUE(allZero(record, 4, 24)) << "reserved bytes 4-23";
    EXPECT_EQ(word32(record, 24), 3u) << "unit-amount mode";
    const std::string multipliers = "1,2,4,8,17";
    EXPECT_EQ(std::string(record.begin() + 28, record.begin() + 28 + multipliers.size()),
              multipliers);
    EXPECT_TRUE(allZero(record, 28 + multipliers.size(), 2032)) << "bytes behind the text";

    // The mode is read at the time of the hand-off, the text from the list.
    ASSERT_TRUE(selectComboItem(dialog_, IDC_MODE, 0));
    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(2));
    log = host->read();
    ASSERT_EQ(log.messages.size(), 2u);
    ASSERT_EQ(log.messages[1].bytes.size(), 2032u);
    EXPECT_EQ(word32(log.messages[1].bytes, 24), 0u);
    EXPECT_EQ(std::string(log.messages[1].bytes.begin() + 28,
                          log.messages[1].bytes.begin() + 28 + multipliers.size()),
              multipliers);

    // A multiplier text longer than the field fills its 2000 bytes, without a
    // terminating zero, and the last word stays zero.
    setCheckBox(dialog_, IDC_USE_CUSTOM, true);
    type(IDC_CUSTOM, "1-1000");
    compute(1000);
    clickButton(dialog_, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(3));
    log = host->read();
    ASSERT_EQ(log.messages.size(), 3u);
    ASSERT_EQ(log.messages[2].cbData, 2032u);
    ASSERT_EQ(log.messages[2].bytes.size(), 2032u);
    std::string longText;
    for (int m = 1; m <= 1000; ++m)
        longText += std::to_string(m) + ",";
    longText.pop_back();
    ASSERT_GT(longText.size(), 2000u);
    EXPECT_EQ(std::string(log.messages[2].bytes.begin() + 28, log.messages[2].bytes.begin() + 2028),
              longText.substr(0, 2000));
    EXPECT_TRUE(allZero(log.messages[2].bytes, 2028, 2032));

    // Closing the tool ends the host's session.
    postCommand(dialog_, IDCANCEL, BN_CLICKED);
    EXPECT_EQ(host->tool().waitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(host->probe().waitForExit());
    log = host->read();
    EXPECT_EQ(log.messages.size(), 3u);
    EXPECT_EQ(log.toolExitCode, std::optional<int>(0));
}

TEST_F(StakeladderTest, HandOffWithoutAHostSendsNothing) {
    // A host that listens, with a tool of its own that stays idle.
    const fs::path hostedCopy = Process::copyProgram(kExe, folder_);
    ASSERT_FALSE(hostedCopy.empty());
    auto host = HostProbe::start(hostedCopy, folder_.file(L"host.log"));
    ASSERT_TRUE(host);
    const HWND hosted = waitForMainDialog(host->tool().id());
    ASSERT_NE(hosted, nullptr);

    // Tools started with no argument, with 0 and with a word.
    for (const std::vector<std::wstring>& arguments :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"0"},
          std::vector<std::wstring>{L"abc"}}) {
        SCOPED_TRACE(arguments.empty() ? std::string("no argument") : utf8(arguments[0]));
        TempFolder own(L"stakeladder-alone");
        Process alone = Process::startCopy(kExe, own, arguments);
        ASSERT_TRUE(alone);
        const HWND dialog = waitForMainDialog(alone.id());
        ASSERT_NE(dialog, nullptr);
        clickButton(dialog, IDC_COMPUTE);
        ASSERT_TRUE(
            waitUntil([&] { return RemoteListView(control(dialog, IDC_PLAN)).rowCount() == 5; }));
        clickButton(dialog, IDC_HANDOFF);
        ASSERT_TRUE(flush(dialog));
        pause(Millis{300});
        EXPECT_EQ(findOwnedDialog(dialog), nullptr) << "the hand-off showed a box";
        EXPECT_TRUE(alone.running());
        EXPECT_TRUE(host->read().messages.empty()) << "a message reached the host window";
        alone.terminate();
    }

    // The host does hear its own tool.
    dialog_ = hosted;
    compute(5);
    clickButton(hosted, IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1));
    ASSERT_TRUE(flush(hosted));
    pause(Millis{200});
    const auto log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].sender,
              static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hosted)));
}

TEST_F(StakeladderTest, AboutItemOfTheSystemMenuShowsTheAboutBox) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    pause(kSettle);
    EXPECT_EQ(utf8(windowText(about)), "关于 stakeladder");
    bool versionShown = false;
    for (const auto& text : staticTexts(about))
        versionShown = versionShown || utf8(text) == "stakeladder 1.0 版";
    EXPECT_TRUE(versionShown) << "the About box does not say stakeladder 1.0 版";
    EXPECT_EQ(utf8(windowText(GetDlgItem(about, IDOK))), "确定");
    EXPECT_TRUE(dismiss(about, IDOK)) << "确定 did not close the About box";

    // Back in the main dialog, which still works.
    ASSERT_TRUE(tool_.running());
    compute(5);
}

TEST_F(StakeladderTest, CustomMultiplierListComputesItsOwnPlanEvenTenThousandRows) {
    start();
    ASSERT_TRUE(clickControlOnDisplay(dialog_, IDC_USE_CUSTOM));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_CUSTOM); }))
        << "clicking 自定义倍投 did not enable its box";
    EXPECT_TRUE(isChecked(dialog_, IDC_USE_CUSTOM));

    // The default list; 倍投期数 and the profit fields do not count.
    type(IDC_PERIODS, "2");
    compute(6);
    EXPECT_EQ(row(0), (Row{"1", "1", "0.500", "0.500", "0.978", "0.478", "95.600%"}));
    EXPECT_EQ(row(5), (Row{"6", "32", "16.000", "31.500", "31.296", "-0.204", "-0.648%"}));

    // Ranges: 5-2 counts up.
    type(IDC_CUSTOM, "5-2, 7");
    compute(5);
    Row multipliers;
    for (const auto& r : rows())
        multipliers.push_back(r[1]);
    EXPECT_EQ(multipliers, (Row{"2", "3", "4", "5", "7"}));

    // Ten thousand rows fill the list at once (the wait is generous).
    type(IDC_CUSTOM, "1-10000");
    clickButton(dialog_, IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(10000, Millis{10000})) << "the list has " << rowCount() << " rows";
    EXPECT_EQ(row(0)[1], "1");
    const Row last = row(9999);
    ASSERT_EQ(last.size(), 7u);
    EXPECT_EQ(last[0], "10000");
    EXPECT_EQ(last[1], "10000");

    // Unchecking disables the box again.
    setCheckBox(dialog_, IDC_USE_CUSTOM, false);
    ASSERT_TRUE(waitUntil([&] { return !isEnabled(dialog_, IDC_CUSTOM); }));
}

TEST_F(StakeladderTest, ScreenshotOfThePlanIsSavedForReview) {
    start();
    compute(5);
    pause(Millis{300}); // let the list paint
    const auto file = saveScreenshot(dialog_, L"stakeladder-plan");
    ASSERT_TRUE(file) << "the window could not be saved";
    const auto bytes = readFileBytes(*file);
    ASSERT_TRUE(bytes);
    ASSERT_GT(bytes->size(), 54u);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    const RECT rect = screenRect(dialog_);
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::memcpy(&width, bytes->data() + 18, 4);
    std::memcpy(&height, bytes->data() + 22, 4);
    EXPECT_EQ(width, rect.right - rect.left);
    EXPECT_EQ(std::abs(height), rect.bottom - rect.top);
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

// The 期数 cell is raised (light top and left, dark right and bottom) and
// sunken in the selected row, also after the focus has left the list.
TEST_F(StakeladderTest, SelectedRowHeaderCellLooksSunkenOnEveryEdge) {
    constexpr COLORREF kLight = RGB(255, 230, 255);
    constexpr COLORREF kDark = RGB(10, 0, 10);
    start();
    compute(5);
    ASSERT_TRUE(focusControl(dialog_, IDC_PLAN));
    pressKey(list(), VK_DOWN);
    pressKey(list(), VK_DOWN);
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    ASSERT_TRUE(flush(dialog_));
    pause(Millis{300}); // let the list paint
    const int selected = static_cast<int>(
        SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    ASSERT_GE(selected, 0) << "no row is selected";

    const auto edges = [&](int row) {
        const auto cell = listCellOnScreen(list(), row, 0);
        EXPECT_TRUE(cell) << "row " << row;
        if (!cell)
            return std::vector<COLORREF>{};
        // Inside the cell's one-pixel margin: the edge, then the face.
        const RECT& r = *cell;
        const int midX = (r.left + r.right) / 2;
        const int midY = (r.top + r.bottom) / 2;
        return std::vector<COLORREF>{
            screenPixel(r.left + 1, midY), screenPixel(midX, r.top + 1),
            screenPixel(r.right - 2, midY), screenPixel(midX, r.bottom - 2)};
    };
    EXPECT_EQ(edges(selected), (std::vector<COLORREF>{kDark, kDark, kLight, kLight}))
        << "left, top, right, bottom of the selected row " << selected;
    const int other = selected == 0 ? 1 : 0;
    EXPECT_EQ(edges(other), (std::vector<COLORREF>{kLight, kLight, kDark, kDark}))
        << "left, top, right, bottom of row " << other;
}

// A copy that cannot take place, because another program holds the
// clipboard open, is reported as failed.
TEST_F(StakeladderTest, CopyWhileTheClipboardIsHeldReportsTheFailure) {
    start();
    compute(5);
    expectCopiesReportFailure(dialog_, {IDC_COPY, ID_COPY_MULTIPLIERS, ID_COPY_PERIODS},
                              kMessageTitle);
}

// An export to a file that cannot be written (another program holds it
// open) says so, naming the file.
TEST_F(StakeladderTest, ExportToAFileHeldOpenElsewhereReportsTheFailure) {
    start();
    expectExportReportsFailure(dialog_, IDC_EXPORT, folder_.file(L"locked.ini"));
}

} // namespace
