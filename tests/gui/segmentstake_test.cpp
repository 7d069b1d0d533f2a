// segmentstake (分段倍投计算器): its spec, and the marks 中 and 挂 with what they bring.
#include "calc_fixture.h"

#include "stake/segmentstake/resource.h"
#include "stake/segmentstake/segmentstake_plan.h"
#include "stake/segmentstake/segmentstake_record.h"
#include "stake/segmentstake/segmentstake_settings.h"

namespace gui {

using namespace segmentstake;

static Inputs typed(const SegmentInputs& in) {
    return Inputs({edit(IDC_MAX_MULTIPLIER, in.maxMultiplier), edit(IDC_BETS, in.bets),
                   edit(IDC_ODDS, in.odds), edit(IDC_TARGET, in.targetProfit),
                   edit(IDC_HIT_PERIODS, in.hitPeriods), pick(IDC_STARS, in.starIndex),
                   pick(IDC_MODE, in.modeIndex)});
}

CalcSpec segmentstakeSpec() {
    CalcSpec s{"segmentstake", L"setgl.ini", IDC_PLAN, IDC_EXPORT, IDC_IMPORT, IDC_HANDOFF};
    s.compute = {IDC_START, IDC_MISS, IDC_HIT};
    s.otherSection = "[SetBT]\r\nnQishu=9\r\nfPeilv=1800.000000\r\n";
    // 最大倍数, 注数, 赔率, 中出期数, 目标盈利, 星数 and 金额模式.
    const SegmentInputs saved{80, 50, 1900, 3, 12.5f, 3, 7};
    s.saved = typed(saved);
    s.closingText = s.exportText =
        SettingsText([&](auto& w) { writeSegmentSettings(w, saved); }).file;
    const SegmentInputs handed{77, 99, 1800, 6, 123.25f, 1, 6};
    s.handed = typed(handed);
    SegmentPlan plan;
    PlanTable table;
    plan.start(handed, table);
    plan.markMiss(handed, table);
    plan.markHit(handed, table);
    s.rows = planRows(table.rows());
    s.record = buildSegmentRecord(handed);
    s.refusals = {{typed({.hitPeriods = 0}), *plan.start({.hitPeriods = 0}, table).message}};
    return s;
}
INSTANTIATE_TEST_SUITE_P(Segmentstake, CalculatorTest, ::testing::Values(&segmentstakeSpec));

using SegmentstakeTest = ToolTest<segmentstakeSpec>;

// After 初始 and every mark the list, the status and the two buttons are what
// the engine's plan gives; at the end every row shows the engine's colours,
// and a click that reaches a disabled mark changes nothing. One run ends in
// success, the other fails at the maximum multiplier.
TEST_F(SegmentstakeTest, MarksFollowTheEngineAndColourTheRowsLayout) {
    start();
    for (const auto& [maxMultiplier, marks] : {std::pair{4u, "MM"}, {50u, "MMHHMHHH"}}) {
        SCOPED_TRACE(marks);
        type({edit(IDC_MAX_MULTIPLIER, maxMultiplier)});
        const SegmentInputs inputs{.maxMultiplier = maxMultiplier};
        SegmentPlan plan;
        PlanTable table;
        std::string status;
        const auto step = [&](int id, const StepResult& result) {
            press(id);
            status = result.status.value_or(status);
            EXPECT_EQ(rows(), planRows(table.rows()));
            EXPECT_EQ(utf8(controlText(dialog_, IDC_STATUS)), status);
            EXPECT_EQ(isEnabled(dialog_, IDC_HIT), plan.marksOpen());
            EXPECT_EQ(isEnabled(dialog_, IDC_MISS), plan.marksOpen());
        };
        step(IDC_START, plan.start(inputs, table));
        for (const char* mark = marks; *mark; ++mark)
            step(*mark == 'H' ? IDC_HIT : IDC_MISS,
                 *mark == 'H' ? plan.markHit(inputs, table) : plan.markMiss(inputs, table));
        ASSERT_FALSE(plan.marksOpen());
        press(IDC_HIT);
        EXPECT_EQ(rows(), planRows(table.rows()));

        for (int row = 0; row < table.rowCount(); ++row) {
            const auto& colors = table.rows()[static_cast<std::size_t>(row)].colors;
            const COLORREF back = colors ? colors->back : GetSysColor(COLOR_WINDOW);
            for (int column = 1; column < column::kCount; ++column)
                EXPECT_TRUE(cellShows(row, column, back)) << "row " << row << " column " << column;
        }
    }
}

// An import fills a key its file lacks with the import default: 最大倍数 5, not
// the 50 of a start without settings.
TEST_F(SegmentstakeTest, ImportOfAnEmptySectionTakesTheImportDefaults) {
    const auto file = folder_.file(L"empty.ini");
    ASSERT_TRUE(writeFileBytes(file, "[SetFD]\r\n"));
    start();
    type(typed({.maxMultiplier = 80, .bets = 9}));
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, file));
    ASSERT_TRUE(flush(dialog_));
    expectShown(typed({.maxMultiplier = 5}));
}

} // namespace gui
