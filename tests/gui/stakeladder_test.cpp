// stakeladder (倍投计算器): its CalcSpec, the profit type and custom list
// that switch its boxes, its plan menu, and the sunken row-header cell.
#include "calc_fixture.h"

#include "stake/stakeladder/resource.h"
#include "stake/stakeladder/stakeladder_plan.h"
#include "stake/stakeladder/stakeladder_record.h"
#include "stake/stakeladder/stakeladder_settings.h"

#include <commctrl.h>

namespace gui {

using namespace stakeladder;

namespace {

// The boxes as a user fills them in for `in`.
Inputs typed(const LadderInputs& in) {
    const bool amount = in.profitType == 1;
    return {
        edit(IDC_PERIODS, in.periods),
        edit(IDC_ODDS, in.odds),
        pick(IDC_MODE, in.modeIndex),
        pick(IDC_STARS, in.starIndex),
        edit(IDC_BETS, in.bets),
        edit(IDC_RATE, in.ratePercent),
        edit(IDC_START_MULTIPLIER, in.startMultiplier),
        radio(amount ? IDC_AMOUNT_TYPE : IDC_RATE_TYPE, amount ? IDC_RATE_TYPE : IDC_AMOUNT_TYPE),
        edit(IDC_AMOUNT, in.profitAmount)};
}

} // namespace

const CalcSpec& stakeladderSpec() {
    static const CalcSpec spec = [] {
        CalcSpec s{L"stakeladder.exe", "stakeladder", L"setbt.ini", "",           IDC_PLAN,
                   IDC_EXPORT,         IDC_IMPORT,    IDC_HANDOFF,  {IDC_COMPUTE}};
        // 8 periods at odds 1800.5, 1元, 4星, 700 bets; amount mode: rate 10 % from 2, amount
        // 250.5.
        const LadderInputs saved{8, 1800.5f, 700, 0, 1, 1, 10, 2, 250.5f};
        s.saved = typed(saved);
        s.closingText = s.exportText =
            settingsText([&](auto& w) { writeLadderSettings(w, saved); });
        // 6 periods at odds 1900, 2角, 2星, 50 bets; rate mode: 3 % from 4, amount 33.25.
        const LadderInputs handed{6, 1900.0f, 50, 5, 3, 0, 3, 4, 33.25f};
        s.handed = typed(handed);
        s.rows = planRows(computePlan(handed).rows);
        const std::string multipliers = multiplierText(column(s.rows, 1));
        s.copies = {{IDC_COPY, multipliers},
                    {ID_COPY_MULTIPLIERS, multipliers},
                    {ID_COPY_PERIODS, multiplierText(column(s.rows, 0))}};
        s.record = buildLadderRecord(handed.modeIndex, multipliers);
        // A box that holds no number first: 计算 then goes on without a message.
        s.refusals = {{{edit(IDC_BETS, "abc")}, "注数", false}};
        for (const LadderInputs& refused :
             {LadderInputs{.bets = 1000}, LadderInputs{.bets = 10, .starIndex = 4}})
            s.refusals.push_back({typed(refused), *computePlan(refused).message});
        return s;
    }();
    return spec;
}
INSTANTIATE_TEST_SUITE_P(Stakeladder, CalculatorTest, ::testing::Values(&stakeladderSpec));

namespace {

class StakeladderTest : public CalcFixture {
  protected:
    StakeladderTest() : CalcFixture(stakeladderSpec()) {}
};

// Real clicks: 利润金额 and 利润率 switch the boxes each mode uses, 自定义倍投
// opens its list, and the list's menu copies the periods.
TEST_F(StakeladderTest, ProfitTypeCustomListAndMenuClicks) {
    start();
    for (const int type : {IDC_AMOUNT_TYPE, IDC_RATE_TYPE}) {
        const bool amount = type == IDC_AMOUNT_TYPE;
        ASSERT_TRUE(clickControlOnDisplay(dialog_, type));
        ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_AMOUNT) == amount; }))
            << "clicking " << type << " did not switch the boxes";
        EXPECT_TRUE(isChecked(dialog_, type));
        EXPECT_EQ(isEnabled(dialog_, IDC_RATE), !amount);
        EXPECT_EQ(isEnabled(dialog_, IDC_START_MULTIPLIER), !amount);
    }
    ASSERT_TRUE(clickControlOnDisplay(dialog_, IDC_USE_CUSTOM));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog_, IDC_CUSTOM); }));
    type({{Input::edit, IDC_CUSTOM, "5-2, 7"}});
    LadderInputs custom;
    custom.useCustom = true;
    custom.customText = "5-2, 7";
    const Rows expected = planRows(computePlan(custom).rows);
    press(IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(static_cast<int>(expected.size())));
    EXPECT_EQ(rows(), expected);

    // A right-click on the list; Down Down Return picks 复制期数 past the separator.
    ASSERT_TRUE(setClipboardText("before"));
    SetForegroundWindow(dialog_);
    const RECT area = screenRect(list());
    ASSERT_TRUE(clickOnDisplay(area.left + 20, (area.top + area.bottom) / 2, 3));
    ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(tool_.id(), L"#32768").empty(); }))
        << "no menu opened";
    pause(kSettle);
    ASSERT_TRUE(typeKeysOnDisplay({"Down", "Down", "Return"}));
    const auto box = answerMessageBox(dialog_);
    ASSERT_TRUE(box);
    EXPECT_EQ(utf8(box->text), kCopied);
    EXPECT_EQ(clipboardText(), multiplierText(column(expected, 0)));
}

// The 期数 cell is raised (light top and left, dark right and bottom) and
// sunken in the selected row, also after the focus has left the list.
TEST_F(StakeladderTest, SelectedRowHeaderCellLooksSunkenLayout) {
    constexpr COLORREF kLight = RGB(255, 230, 255);
    constexpr COLORREF kDark = RGB(10, 0, 10);
    start();
    press(IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(5));
    ASSERT_TRUE(focusControl(dialog_, IDC_PLAN));
    pressKey(list(), VK_DOWN);
    pressKey(list(), VK_DOWN);
    ASSERT_TRUE(focusControl(dialog_, IDC_BETS));
    ASSERT_TRUE(flush(dialog_));
    const int selected = static_cast<int>(
        SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    ASSERT_GE(selected, 0) << "no row is selected";

    // Inside the cell's one-pixel margin: left, top, right and bottom edge.
    const auto edges = [&](int row) {
        const auto cell = listCellOnScreen(list(), row, 0);
        if (!cell)
            return std::vector<COLORREF>{};
        const RECT& r = *cell;
        const int midX = (r.left + r.right) / 2;
        const int midY = (r.top + r.bottom) / 2;
        return std::vector<COLORREF>{screenPixel(r.left + 1, midY), screenPixel(midX, r.top + 1),
                                     screenPixel(r.right - 2, midY),
                                     screenPixel(midX, r.bottom - 2)};
    };
    const int other = selected == 0 ? 1 : 0;
    const std::vector<COLORREF> sunken{kDark, kDark, kLight, kLight};
    const std::vector<COLORREF> raised{kLight, kLight, kDark, kDark};
    EXPECT_TRUE(waitUntil([&] { return edges(selected) == sunken && edges(other) == raised; },
                          Millis{2000}))
        << "selected row " << selected;
}

} // namespace
} // namespace gui
