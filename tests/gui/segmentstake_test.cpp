// segmentstake (分段倍投计算器): its CalcSpec, the marks 中 and 挂 with the
// status, the buttons and the row colours they bring, and its import defaults.
#include "calc_fixture.h"

#include "stake/common/profile_text.h"
#include "stake/segmentstake/resource.h"
#include "stake/segmentstake/segmentstake_plan.h"
#include "stake/segmentstake/segmentstake_record.h"
#include "stake/segmentstake/segmentstake_settings.h"

namespace gui {

using namespace segmentstake;

namespace {

Inputs typed(const SegmentInputs& in) {
    return {edit(IDC_MAX_MULTIPLIER, in.maxMultiplier),
            edit(IDC_BETS, in.bets),
            edit(IDC_ODDS, in.odds),
            edit(IDC_TARGET, in.targetProfit),
            edit(IDC_HIT_PERIODS, in.hitPeriods),
            pick(IDC_STARS, in.starIndex),
            pick(IDC_MODE, in.modeIndex)};
}

Rows tableRows(const PlanTable& table) {
    Rows rows;
    for (const auto& row : table.rows())
        rows.push_back(row.cells);
    return rows;
}

} // namespace

const CalcSpec& segmentstakeSpec() {
    static const CalcSpec spec = [] {
        CalcSpec s{L"segmentstake.exe",
                   "segmentstake",
                   L"setgl.ini",
                   "[SetBT]\r\nnQishu=9\r\nfPeilv=1800.000000\r\n",
                   IDC_PLAN,
                   IDC_EXPORT,
                   IDC_IMPORT,
                   IDC_HANDOFF,
                   {IDC_START, IDC_MISS, IDC_HIT}};
        // 最大倍数, 注数, 赔率, 中出期数, 目标盈利, 星数 and 金额模式.
        const SegmentInputs saved{80, 50, 1900, 3, 12.5f, 3, 7};
        s.saved = typed(saved);
        s.closingText = s.exportText =
            settingsText([&](auto& w) { writeSegmentSettings(w, saved); });
        const SegmentInputs handed{77, 99, 1800, 6, 123.25f, 1, 6};
        s.handed = typed(handed);
        SegmentPlan plan;
        PlanTable table;
        plan.start(handed, table);
        plan.markMiss(handed, table);
        plan.markHit(handed, table);
        s.rows = tableRows(table);
        s.record = buildSegmentRecord(handed);
        // A box that holds no number first: 初始 then goes on without a message.
        s.refusals = {{{edit(IDC_BETS, "abc")}, "注数", false}};
        for (const SegmentInputs& refused :
             {SegmentInputs{.bets = 1000}, SegmentInputs{.hitPeriods = 0}})
            s.refusals.push_back({typed(refused), *plan.start(refused, table).message});
        return s;
    }();
    return spec;
}
INSTANTIATE_TEST_SUITE_P(Segmentstake, CalculatorTest, ::testing::Values(&segmentstakeSpec));

namespace {

class SegmentstakeTest : public CalcFixture {
  protected:
    SegmentstakeTest() : CalcFixture(segmentstakeSpec()) {}
};

// After 初始 and every mark the list, the status and the two buttons are what
// the engine's plan gives; at the end every row shows the engine's colours,
// and a click that reaches a disabled mark changes nothing. One run ends in
// success, the other fails at the maximum multiplier.
TEST_F(SegmentstakeTest, MarksFollowTheEngineAndColourTheRowsLayout) {
    start();
    for (const auto& [maxMultiplier, marks] : {std::pair{"50", "MMHHMHHH"}, {"4", "MM"}}) {
        SCOPED_TRACE(marks);
        type({{Input::edit, IDC_MAX_MULTIPLIER, maxMultiplier}});
        const SegmentInputs inputs{.maxMultiplier =
                                       static_cast<std::uint32_t>(std::stoul(maxMultiplier))};
        SegmentPlan plan;
        PlanTable table;
        std::string status;
        const auto step = [&](int id, const StepResult& result) {
            press(id);
            status = result.status.value_or(status);
            EXPECT_EQ(rows(), tableRows(table));
            EXPECT_EQ(text(IDC_STATUS), status);
            EXPECT_EQ(isEnabled(dialog_, IDC_HIT), plan.marksOpen());
            EXPECT_EQ(isEnabled(dialog_, IDC_MISS), plan.marksOpen());
        };
        step(IDC_START, plan.start(inputs, table));
        for (const char* mark = marks; *mark; ++mark)
            step(*mark == 'H' ? IDC_HIT : IDC_MISS,
                 *mark == 'H' ? plan.markHit(inputs, table) : plan.markMiss(inputs, table));
        ASSERT_FALSE(plan.marksOpen());
        press(IDC_HIT);
        EXPECT_EQ(rows(), tableRows(table));

        for (int row = 0; row < table.rowCount(); ++row) {
            const auto& colors = table.rows()[static_cast<std::size_t>(row)].colors;
            const COLORREF back = colors ? colors->back : GetSysColor(COLOR_WINDOW);
            for (int column = 1; column < column::kCount; ++column)
                EXPECT_TRUE(cellShows(row, column, back)) << "row " << row << " column " << column;
        }
    }
}

// A file without "nQishu" gives 最大倍数 the default of an import, not the
// default of a start.
TEST_F(SegmentstakeTest, ImportOfAFileWithoutKeysTakesTheImportDefaults) {
    constexpr char kPartial[] = "[SetFD]\r\nnZhong=4\r\n";
    SegmentInputs imported;
    readSegmentSettings(stake::ProfileText(kPartial), imported, SettingsDefaults::import);
    start();
    ASSERT_TRUE(writeFileBytes(folder_.file(L"partial.ini"), kPartial));
    clickButton(dialog_, IDC_IMPORT);
    ASSERT_TRUE(completeFileDialog(dialog_, folder_.file(L"partial.ini")));
    ASSERT_TRUE(waitUntil([&] { return text(IDC_HIT_PERIODS) == "4"; }));
    EXPECT_EQ(text(IDC_MAX_MULTIPLIER), std::to_string(imported.maxMultiplier));
    EXPECT_EQ(text(IDC_BETS), std::to_string(imported.bets));
}

} // namespace
} // namespace gui
