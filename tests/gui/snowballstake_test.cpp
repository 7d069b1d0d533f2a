// snowballstake (滚雪球倍投计算器): its spec; the shared tests cover all its dialog adds.
#include "calc_fixture.h"

#include "stake/common/multiplier_text.h"
#include "stake/snowballstake/resource.h"
#include "stake/snowballstake/snowballstake_plan.h"
#include "stake/snowballstake/snowballstake_record.h"
#include "stake/snowballstake/snowballstake_settings.h"

namespace gui {

using namespace snowballstake;

static Inputs typed(const SnowballInputs& in) {
    return {edit(IDC_ROLL_PERIODS, in.rollPeriods),
            edit(IDC_BETS, in.bets),
            edit(IDC_ODDS, in.odds),
            edit(IDC_START_MULTIPLIER, in.startMultiplier),
            pick(IDC_STARS, in.starIndex),
            pick(IDC_MODE, in.modeIndex)};
}

CalcSpec snowballstakeSpec() {
    CalcSpec s{"snowballstake", L"setgl.ini", IDC_PLAN, IDC_EXPORT, IDC_IMPORT, IDC_HANDOFF};
    s.compute = {IDC_COMPUTE};
    s.otherSection = "[SetFD]\r\nnQishu=50\r\nnMode=3\r\nfYingli=50.000000\r\n";
    // 滚利期数, 注数, 赔率, 开始倍数, 星数 and 金额模式.
    const SnowballInputs saved{8, 50, 1800.5f, 3, 3, 5};
    s.saved = typed(saved);
    s.closingText =
        SettingsText([&](auto& w) { writeSnowballSettings(w, saved, KeyOrder::onClose); }).file;
    s.exportText =
        SettingsText([&](auto& w) { writeSnowballSettings(w, saved, KeyOrder::onExport); }).file;
    const SnowballInputs handed{6, 300, 1900.0f, 7, 1, 4};
    s.handed = typed(handed);
    s.rows = planRows(computePlan(handed).plan.rows);
    const Row multipliers = column(s.rows, 1);
    s.copies = {{ID_COPY_MULTIPLIERS, stake::multipliersInRow(multipliers)},
                {ID_COPY_MULTIPLIER_LINES, stake::multipliersInColumn(multipliers)}};
    s.record = buildSnowballRecord(handed);
    // A plan cut short shows its rows, then a note.
    s.refusals = {{typed({.bets = 1000}), *computePlan({.bets = 1000}).plan.message},
                  {typed({.rollPeriods = 100}), *computePlan({.rollPeriods = 100}).endNote}};
    return s;
}
INSTANTIATE_TEST_SUITE_P(Snowballstake, CalculatorTest, ::testing::Values(&snowballstakeSpec));

} // namespace gui
