// stakeladder (倍投计算器): its spec, profit type, custom list, menu and row-header cell.
#include "calc_fixture.h"

#include "stake/stakeladder/resource.h"
#include "stake/stakeladder/stakeladder_plan.h"
#include "stake/stakeladder/stakeladder_record.h"
#include "stake/stakeladder/stakeladder_settings.h"

namespace gui {

using namespace stakeladder;

// The radio button first: its click reads every box, which would hide a command that does not.
static Inputs typed(const LadderInputs& in) {
    const int type = in.profitType == 1 ? IDC_AMOUNT_TYPE : IDC_RATE_TYPE;
    return Inputs(
        {radio(type, IDC_AMOUNT_TYPE + IDC_RATE_TYPE - type), edit(IDC_PERIODS, in.periods),
         edit(IDC_ODDS, in.odds), pick(IDC_MODE, in.modeIndex), pick(IDC_STARS, in.starIndex),
         edit(IDC_BETS, in.bets), edit(IDC_RATE, in.ratePercent),
         edit(IDC_START_MULTIPLIER, in.startMultiplier), edit(IDC_AMOUNT, in.profitAmount)});
}

CalcSpec stakeladderSpec() {
    CalcSpec s{"stakeladder", L"setbt.ini", IDC_PLAN, IDC_EXPORT, IDC_IMPORT, IDC_HANDOFF};
    s.compute = {IDC_COMPUTE};
    // 期数, 赔率, 注数, 模式, 星数, profit type (1: amount), 利润率, 起始倍数, 利润金额.
    const LadderInputs saved{8, 1800.5f, 700, 0, 1, 1, 10, 2, 250.5f};
    s.saved = typed(saved);
    s.closingText = s.exportText =
        SettingsText([&](auto& w) { writeLadderSettings(w, saved); }).file;
    const LadderInputs handed{6, 1900.0f, 50, 5, 3, 0, 3, 4, 33.25f};
    s.handed = typed(handed);
    s.rows = planRows(computePlan(handed).rows);
    const std::string multipliers = multiplierText(column(s.rows, 1));
    s.copies = {{IDC_COPY, multipliers},
                {ID_COPY_MULTIPLIERS, multipliers},
                {ID_COPY_PERIODS, multiplierText(column(s.rows, 0))}};
    // The multipliers handed off are those of the list: a fresh start's plan.
    s.record = buildLadderRecord(handed.modeIndex,
                                 multiplierText(column(planRows(computePlan({}).rows), 1)));
    s.refusals = {{typed({.bets = 1000}), *computePlan({.bets = 1000}).message}};
    return s;
}
INSTANTIATE_TEST_SUITE_P(Stakeladder, CalculatorTest, ::testing::Values(&stakeladderSpec));

using StakeladderTest = ToolTest<stakeladderSpec>;

// Real clicks: 利润率 and 利润金额 switch the boxes each mode uses, 自定义倍投
// opens its list, and the list's menu copies the periods.
TEST_F(StakeladderTest, ProfitTypeCustomListAndMenuClicks) {
    // A saved amount mode opens the amount box at start.
    ASSERT_TRUE(writeFileBytes(folder_.file(L"setbt.ini"), "[SetBT]\r\nnLirunType=1\r\n"));
    start();
    EXPECT_TRUE(isEnabled(dialog_, IDC_AMOUNT) && !isEnabled(dialog_, IDC_RATE));
    for (const int type : {IDC_RATE_TYPE, IDC_AMOUNT_TYPE}) {
        const bool amount = type == IDC_AMOUNT_TYPE;
        ASSERT_TRUE(clickControlOnDisplay(dialog_, type));
        ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_AMOUNT) == amount; }));
        EXPECT_TRUE(isChecked(dialog_, type));
        EXPECT_EQ(isEnabled(dialog_, IDC_RATE), !amount);
        EXPECT_EQ(isEnabled(dialog_, IDC_START_MULTIPLIER), !amount);
    }
    ASSERT_TRUE(clickControlOnDisplay(dialog_, IDC_USE_CUSTOM));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_CUSTOM); }));
    ASSERT_TRUE(setControlText(dialog_, IDC_CUSTOM, L"5-2, 7"));
    const Rows expected = planRows(computePlan({.useCustom = true, .customText = "5-2, 7"}).rows);
    press(IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(static_cast<int>(expected.size())));
    EXPECT_EQ(rows(), expected);

    // A right-click on the list; Down Down Return picks 复制期数 past the separator.
    SetForegroundWindow(dialog_);
    const RECT area = screenRect(list());
    ASSERT_TRUE(clickOnDisplay(area.left + 20, (area.top + area.bottom) / 2, 3));
    ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }));
    pause(kSettle);
    ASSERT_TRUE(runX11Command({"xdotool", "key", "--delay", "50", "Down", "Down", "Return"}));
    EXPECT_EQ(utf8(answerMessageBox(dialog_).value_or(MessageBoxSeen{}).text), kCopied);
    EXPECT_EQ(clipboardText(), multiplierText(column(expected, 0)));
}

// The 期数 cell is raised (light left and top, dark right and bottom) and
// sunken in the selected row, also after the focus has left the list.
TEST_F(StakeladderTest, SelectedRowHeaderCellLooksSunkenLayout) {
    const COLORREF light = RGB(255, 230, 255), dark = RGB(10, 0, 10);
    start();
    press(IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(5));
    ASSERT_TRUE(focusControl(dialog_, IDC_PLAN));
    pressKey(list(), VK_DOWN);
    pressKey(list(), VK_DOWN);
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    ASSERT_TRUE(flush(dialog_));
    const int selected = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    ASSERT_GE(selected, 0) << "no row is selected";
    // Inside the cell's one-pixel margin: left, top, right and bottom edge.
    const auto edges = [&](int row) {
        const RECT r = listCellOnScreen(list(), row, 0).value_or(RECT{});
        const int x = (r.left + r.right) / 2;
        const int y = (r.top + r.bottom) / 2;
        return std::vector{screenPixel(r.left + 1, y), screenPixel(x, r.top + 1),
                           screenPixel(r.right - 2, y), screenPixel(x, r.bottom - 2)};
    };
    const std::vector sunken{dark, dark, light, light}, raised{light, light, dark, dark};
    EXPECT_TRUE(waitUntil([&] { return edges(selected) == sunken; }, Millis{2000})) << selected;
    EXPECT_EQ(edges(selected == 0 ? 1 : 0), raised);
}

} // namespace gui
