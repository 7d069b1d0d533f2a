// wavestake (推波倍投计算器): its spec, and the rows that close a wave, painted apart.
#include "calc_fixture.h"

#include "stake/common/multiplier_text.h"
#include "stake/wavestake/resource.h"
#include "stake/wavestake/wavestake_plan.h"
#include "stake/wavestake/wavestake_record.h"
#include "stake/wavestake/wavestake_settings.h"

namespace gui {

using namespace wavestake;

static Inputs typed(const WaveSettings& in) {
    return {edit(IDC_PERIODS, in.nQishu), edit(IDC_BETS, in.nZhushu), edit(IDC_ODDS, in.fPeilv),
            pick(IDC_STARS, in.nXingshu), edit(IDC_WAVES, in.nBoshu), edit(IDC_PROFIT, in.fLirun),
            pick(IDC_MODE, in.nMode)};
}

CalcSpec wavestakeSpec() {
    CalcSpec s{"wavestake", L"settb.ini", IDC_PLAN, IDC_EXPORT, IDC_IMPORT, IDC_HANDOFF};
    s.compute = {IDC_COMPUTE};
    // 推波期数, 注数, 赔率, 波数, 利润, 星数 and 金额模式.
    const WaveSettings saved{8, 700, 1800.5f, 4, 250.5f, 1, 7};
    s.saved = typed(saved);
    s.closingText =
        SettingsText([&](auto& w) { writeWaveSettings(w, saved, KeyOrder::closing); }).file;
    s.exportText =
        SettingsText([&](auto& w) { writeWaveSettings(w, saved, KeyOrder::exporting); }).file;
    const WaveSettings handed{4, 50, 1900.0f, 2, 33.25f, 3, 5};
    s.handed = typed(handed);
    for (const WaveRow& row : computeWavePlan(handed).rows)
        s.rows.push_back(row.row.cells);
    const Row multipliers = column(s.rows, kMultiplierColumn);
    s.copies = {{ID_COPY_MULTIPLIERS, stake::multipliersInRow(multipliers)},
                {ID_COPY_MULTIPLIERS_VERTICAL, stake::multipliersInColumn(multipliers)}};
    s.record = buildWaveRecord(handed);
    const WaveSettings tooLong{.nQishu = 6, .nBoshu = 1, .nXingshu = 0}; // 5星: beyond 32 bits
    s.refusals = {{typed(tooLong), *computeWavePlan(tooLong).message}};
    return s;
}
INSTANTIATE_TEST_SUITE_P(Wavestake, CalculatorTest, ::testing::Values(&wavestakeSpec));

using WavestakeTest = ToolTest<wavestakeSpec>;

// The last row of each wave is black on light violet, the others on the
// list's own background.
TEST_F(WavestakeTest, RowsClosingAWaveArePaintedApartLayout) {
    const WavePlan plan = computeWavePlan({});
    start();
    press(IDC_COMPUTE);
    ASSERT_TRUE(waitForRows(static_cast<int>(plan.rows.size())));
    for (std::size_t row = 0; row < plan.rows.size(); ++row)
        EXPECT_TRUE(
            cellShows(static_cast<int>(row), 6,
                      plan.rows[row].closesWave ? RGB(185, 185, 255) : GetSysColor(COLOR_WINDOW)))
            << "row " << row;
}

} // namespace gui
