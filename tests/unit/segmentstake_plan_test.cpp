#include "stake/segmentstake/segmentstake_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace segmentstake;
using Cells = std::vector<std::string>;
using Row = PlanTable::Row;

// The plan and the list it fills, with what a user sees besides the list.
struct Tracker {
    SegmentInputs inputs;
    SegmentPlan plan;
    PlanTable list;
    std::string status;
    std::vector<std::string> messages;

    bool apply(const StepResult& result) {
        if (result.status)
            status = *result.status;
        if (result.message)
            messages.push_back(*result.message);
        EXPECT_EQ(result.marksOpen, plan.marksOpen());
        return !result.message;
    }
    bool start() { return apply(plan.start(inputs, list)); }
    bool hit() { return apply(plan.markHit(inputs, list)); }
    bool miss() { return apply(plan.markMiss(inputs, list)); }
    // "H" a hit, "M" a miss.
    void marks(std::string_view text) {
        for (const char c : text)
            ASSERT_TRUE(c == 'H' ? hit() : miss()) << "mark " << c << " refused";
    }
    const std::vector<Row>& rows() const { return list.rows(); }
    std::vector<std::string> multipliers() const {
        std::vector<std::string> all;
        for (const Row& row : rows())
            all.push_back(row.cells.at(column::kMultiplier));
        return all;
    }
};

Row unmarked(Cells cells) {
    return Row{std::move(cells), std::nullopt};
}
Row hitRow(Cells cells) {
    return Row{std::move(cells), kHitColors};
}
Row missRow(Cells cells) {
    return Row{std::move(cells), kMissColors};
}

// ---- The worked example ---------------------------------------------------------

// 最大倍数 50, 注数 488, 赔率 1956, 中出期数 5, 目标盈利 50, "3星", "1分":
// the values of a fresh start; marked 挂, 挂, 中, 中, 挂, 中, 中, 中.
TEST(SegmentPlan, WorkedExampleRowByRow) {
    Tracker t;
    ASSERT_TRUE(t.start());
    EXPECT_EQ(t.rows(), (std::vector<Row>{unmarked({"1", "3", "14.640", "14.640", "", "", ""})}));
    EXPECT_EQ(t.status, "还剩下 5 期中完成目标!");
    EXPECT_TRUE(t.plan.marksOpen());

    const std::vector<Row> expected = {
        missRow({"1", "3", "14.640", "14.640", "0", "-14.640", "-14.640"}),
        missRow({"2", "3", "14.640", "29.280", "0", "-14.640", "-29.280"}),
        hitRow({"3", "4", "19.520", "48.800", "39.120", "19.600", "-9.680"}),
        hitRow({"4", "4", "19.520", "68.320", "39.120", "19.600", "9.920"}),
        missRow({"5", "3", "14.640", "82.960", "0", "-14.640", "-4.720"}),
        hitRow({"6", "4", "19.520", "102.480", "39.120", "19.600", "14.880"}),
        hitRow({"7", "4", "19.520", "122.000", "39.120", "19.600", "34.480"}),
        hitRow({"8", "4", "19.520", "141.520", "39.120", "19.600", "54.080"}),
    };
    const std::string marks = "MMHHMHHH";
    // The status after each mark: unchanged by a miss, the hits still to come
    // after a hit, success after the last.
    const std::vector<std::string> statuses = {
        "还剩下 5 期中完成目标!", "还剩下 5 期中完成目标!", "还剩下 4 期中完成目标!",
        "还剩下 3 期中完成目标!", "还剩下 3 期中完成目标!", "还剩下 2 期中完成目标!",
        "还剩下 1 期中完成目标!", "恭喜你，已完成目标!",
    };
    for (std::size_t i = 0; i < marks.size(); ++i) {
        SCOPED_TRACE("after mark " + std::to_string(i + 1));
        ASSERT_TRUE(marks[i] == 'H' ? t.hit() : t.miss());
        EXPECT_EQ(t.status, statuses[i]);
        // Every completed row, and while the plan runs the next row unmarked
        // with its multiplier, cost and cumulative cost.
        const std::size_t shown = i + 1 < marks.size() ? i + 2 : i + 1;
        ASSERT_EQ(t.rows().size(), shown);
        for (std::size_t r = 0; r <= i; ++r)
            EXPECT_EQ(t.rows()[r], expected[r]) << "row " << r + 1;
        if (i + 1 < marks.size()) {
            const Cells& next = expected[i + 1].cells;
            EXPECT_EQ(t.rows().back(), unmarked({next[0], next[1], next[2], next[3], "", "", ""}));
            EXPECT_TRUE(t.plan.marksOpen());
        }
    }
    EXPECT_FALSE(t.plan.marksOpen()) << "中 and 挂 close on success";
    EXPECT_EQ(t.plan.marks(),
              (std::vector<bool>{false, false, true, true, false, true, true, true}));
    EXPECT_FLOAT_EQ(t.plan.cumulativeProfit(), 54.08f);
    EXPECT_FLOAT_EQ(t.plan.cumulativeCost(), 141.52f);

    // No ninth row, and no further mark.
    EXPECT_FALSE(t.hit());
    EXPECT_EQ(t.messages.back(), kMarksClosedMessage);
    EXPECT_EQ(t.rows().size(), 8u);
}

// ---- Success, failure and the restart -------------------------------------------

TEST(SegmentPlan, OneWinningDrawCompletesAtTheFirstHit) {
    Tracker t;
    t.inputs.hitPeriods = 1;
    ASSERT_TRUE(t.start());
    EXPECT_EQ(t.status, "还剩下 1 期中完成目标!");
    // 50 over 1 draw: 50 / 0.0100410 / 488 = 10.2, so 11.
    EXPECT_EQ(t.multipliers(), (std::vector<std::string>{"11"}));
    ASSERT_TRUE(t.hit());
    EXPECT_EQ(t.status, "恭喜你，已完成目标!");
    EXPECT_FALSE(t.plan.marksOpen());
    ASSERT_EQ(t.rows().size(), 1u);
    EXPECT_EQ(t.rows()[0], hitRow({"1", "11", "53.680", "53.680", "107.580", "53.900", "53.900"}));
}

TEST(SegmentPlan, FailureAtExactlyTheMaximumMultiplier) {
    // Misses at 1分 need 3, 3, 4, 5, 6, 7, 8, 10 ... The ninth multiplier,
    // worked out after the eighth miss, is 12.
    struct Case {
        std::uint32_t maxMultiplier;
        std::size_t missesToFail;
    };
    const Case cases[] = {
        {13, 9},          // 12 is below 13: it can still be played
        {12, 8},          // 12 reaches 12: the miss that needs it fails
        {11, 8}, {10, 7}, // 10 after the seventh miss
        {4, 2},           // 4 after the second miss
        {3, 1},           // the 3 after the first miss reaches 3
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("最大倍数 " + std::to_string(c.maxMultiplier));
        Tracker t;
        t.inputs.maxMultiplier = c.maxMultiplier;
        ASSERT_TRUE(t.start());
        for (std::size_t i = 1; i < c.missesToFail; ++i) {
            ASSERT_TRUE(t.miss());
            ASSERT_TRUE(t.plan.marksOpen()) << "failed at miss " << i;
        }
        ASSERT_TRUE(t.miss());
        EXPECT_FALSE(t.plan.marksOpen());
        EXPECT_EQ(t.status, "已超过最大期数，未完成目标!");
        // The failing row is completed, and one more row carries the
        // restarted multiplier, the same as row 1's.
        ASSERT_EQ(t.rows().size(), c.missesToFail + 1);
        EXPECT_EQ(t.rows()[c.missesToFail - 1].colors, kMissColors);
        const Row& restarted = t.rows().back();
        EXPECT_EQ(restarted.colors, std::nullopt);
        EXPECT_EQ(restarted.cells[column::kNumber], std::to_string(c.missesToFail + 1));
        EXPECT_EQ(restarted.cells[column::kMultiplier], "3");
        EXPECT_EQ(restarted.cells[column::kCost], "14.640");
        EXPECT_EQ(restarted.cells[column::kPrize], "");
        EXPECT_FALSE(t.hit()) << "no mark after a failure";
    }
}

TEST(SegmentPlan, MultipliersAfterMisses) {
    Tracker t;
    t.inputs.maxMultiplier = 1000;
    ASSERT_TRUE(t.start());
    t.marks("MMMMMMMM");
    EXPECT_EQ(t.multipliers(),
              (std::vector<std::string>{"3", "3", "4", "5", "6", "7", "8", "10", "12"}));
}

TEST(SegmentPlan, MaximumMultiplierZeroOrOneFailsAtTheFirstMiss) {
    for (const std::uint32_t maxMultiplier : {0u, 1u}) {
        SCOPED_TRACE(maxMultiplier);
        Tracker t;
        t.inputs.maxMultiplier = maxMultiplier;
        ASSERT_TRUE(t.start());
        ASSERT_TRUE(t.miss());
        EXPECT_FALSE(t.plan.marksOpen());
        EXPECT_EQ(t.status, "已超过最大期数，未完成目标!");
        ASSERT_EQ(t.rows().size(), 2u);
        EXPECT_EQ(t.rows()[0], missRow({"1", "3", "14.640", "14.640", "0", "-14.640", "-14.640"}));
        EXPECT_EQ(t.rows()[1], unmarked({"2", "3", "14.640", "29.280", "", "", ""}));
    }
    // Hits alone never meet the limit: with 最大倍数 1 the plan succeeds.
    Tracker t;
    t.inputs.maxMultiplier = 1;
    ASSERT_TRUE(t.start());
    t.marks("HHHHH");
    EXPECT_EQ(t.status, "恭喜你，已完成目标!");
}

TEST(SegmentPlan, AHitNeverFailsHoweverLargeItsNextMultiplier) {
    // 最大倍数 2: the multipliers 3 and 2 after hits are played, while the 3
    // needed after a miss fails the plan.
    Tracker t;
    t.inputs.maxMultiplier = 2;
    ASSERT_TRUE(t.start());
    t.marks("HH");
    EXPECT_TRUE(t.plan.marksOpen()) << "a hit is never held against 最大倍数";
    EXPECT_EQ(t.multipliers(), (std::vector<std::string>{"3", "2", "2"}));
    EXPECT_EQ(t.status, "还剩下 3 期中完成目标!");
    ASSERT_TRUE(t.miss());
    EXPECT_FALSE(t.plan.marksOpen());
    EXPECT_EQ(t.status, "已超过最大期数，未完成目标!");
}

TEST(SegmentPlan, NoProfitPerBetGivesMultiplierOne) {
    // 赔率 1956 at "3星" pays 978 for a win: 注数 978 and 999 gain nothing.
    for (const std::uint32_t bets : {978u, 999u}) {
        SCOPED_TRACE(bets);
        Tracker t;
        t.inputs.bets = bets;
        ASSERT_TRUE(t.start());
        t.marks("MMHMH");
        for (const std::string& multiplier : t.multipliers())
            EXPECT_EQ(multiplier, "1");
        EXPECT_TRUE(t.plan.marksOpen());
    }
}

TEST(SegmentPlan, TargetReachedByOvershootStillNeedsEveryWinningDraw) {
    // A negative or zero remaining target gives multiplier 1 until the last
    // winning draw has come.
    Tracker t;
    t.inputs.targetProfit = 0.0f;
    ASSERT_TRUE(t.start());
    EXPECT_EQ(t.multipliers(), (std::vector<std::string>{"1"}));
    t.marks("HHHH");
    EXPECT_EQ(t.status, "还剩下 1 期中完成目标!");
    ASSERT_TRUE(t.hit());
    EXPECT_EQ(t.status, "恭喜你，已完成目标!");
}

// ---- 初始 ----------------------------------------------------------------------

TEST(SegmentPlan, StartRefusesABetsCountOutsideTheStarCount) {
    struct Case {
        std::int32_t starIndex;
        std::uint32_t bets;
        const char* message;
    };
    const Case cases[] = {
        {0, 100000, "注数数值只能为(1-99999)"}, {1, 10000, "注数数值只能为(1-9999)"},
        {2, 1000, "注数数值只能为(1-999)"},     {3, 100, "注数数值只能为(1-99)"},
        {4, 10, "注数数值只能为(1-9)"},         {4, 0, "注数数值只能为(1-9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Tracker t;
        ASSERT_TRUE(t.start());
        t.marks("MH");
        t.inputs.starIndex = c.starIndex;
        t.inputs.bets = c.bets;
        EXPECT_FALSE(t.start());
        EXPECT_EQ(t.messages.back(), c.message);
        // The list is emptied and the marks opened; the marks and the
        // cumulative values of the previous plan are kept.
        EXPECT_TRUE(t.rows().empty());
        EXPECT_TRUE(t.plan.marksOpen());
        EXPECT_EQ(t.plan.marks(), (std::vector<bool>{false, true}));
        EXPECT_NEAR(t.plan.cumulativeProfit(), -14.64 + 14.7, 1e-5);
        EXPECT_EQ(t.status, "还剩下 4 期中完成目标!") << "the status is left as it was";
    }
}

TEST(SegmentPlan, StartRefusesInputsNoPlanCanBeTrackedWith) {
    struct Case {
        const char* name;
        SegmentInputs inputs;
        std::string_view message;
    };
    SegmentInputs noMode;
    noMode.modeIndex = -1;
    SegmentInputs modeBeyondList;
    modeBeyondList.modeIndex = 8;
    SegmentInputs noHitPeriods;
    noHitPeriods.hitPeriods = 0;
    SegmentInputs hugeTarget;
    hugeTarget.targetProfit = 1e12f;
    const Case cases[] = {
        {"no unit amount", noMode, kNoModeMessage},
        {"unit amount beyond the list", modeBeyondList, kNoModeMessage},
        {"中出期数 0", noHitPeriods, kNoHitPeriodsMessage},
        {"first multiplier beyond 32 bits", hugeTarget, kTooLargeMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tracker t;
        t.inputs = c.inputs;
        EXPECT_FALSE(t.start());
        EXPECT_EQ(t.messages.back(), c.message);
        EXPECT_TRUE(t.rows().empty());
        // A mark with the same inputs is refused the same way and not kept.
        EXPECT_FALSE(t.hit());
        EXPECT_EQ(t.messages.back(), c.message);
        EXPECT_TRUE(t.plan.marks().empty());
    }
}

TEST(SegmentPlan, LargestRepresentableFirstMultiplier) {
    // 1元 at "3星" with 注数 1: 977 yuan of profit per multiplier.
    Tracker t;
    t.inputs.modeIndex = 0;
    t.inputs.bets = 1;
    t.inputs.hitPeriods = 1;
    t.inputs.targetProfit = 977.0f * 2147483000.0f;
    ASSERT_TRUE(t.start()) << t.messages.back();
    const std::string first = t.multipliers().front();
    EXPECT_GE(std::stoll(first), 2147482000LL); // the target is rounded to single precision
    EXPECT_LE(std::stoll(first), 2147483647LL);
    ASSERT_TRUE(t.hit());
    EXPECT_EQ(t.status, "恭喜你，已完成目标!");
    for (const std::string& cell : t.rows()[0].cells)
        EXPECT_EQ(cell.find_first_of("ni"), std::string::npos) << cell;
}

TEST(SegmentPlan, MissNeedingAMultiplierBeyond32BitsFails) {
    // 最大倍数 4294967295 lies beyond every representable multiplier: the
    // miss after which no multiplier can be played fails the plan.
    Tracker t;
    t.inputs.maxMultiplier = 4294967295u;
    t.inputs.modeIndex = 0;
    t.inputs.bets = 1;
    t.inputs.hitPeriods = 1;
    t.inputs.targetProfit = 977.0f * 2147000000.0f;
    ASSERT_TRUE(t.start()) << t.messages.back();
    ASSERT_TRUE(t.miss());
    EXPECT_FALSE(t.plan.marksOpen());
    EXPECT_EQ(t.status, "已超过最大期数，未完成目标!");
    ASSERT_EQ(t.rows().size(), 2u);
    EXPECT_EQ(t.rows()[1].cells[column::kMultiplier], t.rows()[0].cells[column::kMultiplier]);
}

TEST(SegmentPlan, NoStarCountLeavesTheOddsUnscaledAndTheBetsUnchecked) {
    Tracker t;
    t.inputs.starIndex = -1;
    t.inputs.bets = 0;
    ASSERT_TRUE(t.start());
    // Nothing is bought: every multiplier is 1 and every cost 0, and no
    // text is a NaN or an infinity.
    t.marks("MHHMHHH");
    EXPECT_EQ(t.status, "恭喜你，已完成目标!");
    for (const Row& row : t.rows()) {
        EXPECT_EQ(row.cells[column::kMultiplier], "1");
        for (const std::string& cell : row.cells)
            EXPECT_EQ(cell.find_first_of("ni"), std::string::npos) << cell;
    }
    EXPECT_EQ(t.rows()[1].cells[column::kPrize], "9.780") << "odds 1956 unscaled, 1分";
}

TEST(SegmentPlan, StarCountsScaleTheOdds) {
    // 10 yuan a winning draw at "1分", divided by the gain of one multiplier.
    struct Case {
        std::int32_t starIndex;
        std::uint32_t bets;
        const char* firstRow;
    };
    const Case cases[] = {
        {0, 48800, "1\t1\t488.000\t488.000"}, // 978 a win, 488 spent: 490 a unit
        {2, 488, "1\t3\t14.640\t14.640"},     // 9.78 a win, 4.88 spent: 4.9 a unit
        {3, 48, "1\t21\t10.080\t10.080"},     // 0.978 a win, 0.48 spent: 0.498 a unit
        {4, 9, "1\t1283\t115.470\t115.470"},  // 0.0978 a win, 0.09 spent: 0.0078 a unit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.starIndex);
        Tracker t;
        t.inputs.starIndex = c.starIndex;
        t.inputs.bets = c.bets;
        ASSERT_TRUE(t.start());
        const Cells& cells = t.rows().at(0).cells;
        EXPECT_EQ(cells[0] + "\t" + cells[1] + "\t" + cells[2] + "\t" + cells[3], c.firstRow);
    }
}

TEST(SegmentPlan, TwoYuanDoublesTheAmountsOfOneYuan) {
    Tracker one;
    one.inputs.modeIndex = 0;
    one.inputs.targetProfit = 5000.0f;
    Tracker two = one;
    two.inputs.modeIndex = 4;
    ASSERT_TRUE(one.start());
    ASSERT_TRUE(two.start());
    // 5000 / 5 / 1.00410 / 488 = 2.04 multipliers of one unit, 1.02 of two.
    EXPECT_EQ(one.rows()[0], unmarked({"1", "3", "1464.000", "1464.000", "", "", ""}));
    EXPECT_EQ(two.rows()[0], unmarked({"1", "2", "1952.000", "1952.000", "", "", ""}));
}

// ---- Replays ---------------------------------------------------------------------

TEST(SegmentPlan, MarksAfterAnImportThatEmptiedTheListReplayWithTheNewInputs) {
    Tracker t;
    ASSERT_TRUE(t.start());
    t.marks("MM");
    ASSERT_EQ(t.rows().size(), 3u);
    // Import: the list emptied, the fields changed, the marks kept.
    t.list.clearRows();
    t.inputs.targetProfit = 100.0f;
    ASSERT_TRUE(t.hit());
    // No row to complete; the next row is numbered 1 and carries the
    // multiplier of the replay with the imported inputs: 5, 6 and 7 for the
    // three marks, then 100 + 24.4 + 29.28 - 34.3 over 4 hits of 4.9 a unit.
    ASSERT_EQ(t.rows().size(), 1u);
    EXPECT_EQ(t.rows()[0], unmarked({"1", "7", "34.160", "82.960", "", "", ""}))
        << "the cumulative cost carries on from 48.800";
    EXPECT_EQ(t.status, "还剩下 4 期中完成目标!");
    EXPECT_EQ(t.plan.marks(), (std::vector<bool>{false, false, true}));
    // The hit at 7 gained 68.46 - 34.16.
    EXPECT_NEAR(t.plan.cumulativeProfit(), -29.28 + 34.3, 1e-4);

    // The next mark completes that row as usual.
    ASSERT_TRUE(t.miss());
    ASSERT_EQ(t.rows().size(), 2u);
    EXPECT_EQ(t.rows()[0].colors, kMissColors);
    EXPECT_EQ(t.rows()[1].cells[column::kNumber], "2");
}

TEST(SegmentPlan, ReplayAfterARefusedStartCarriesTheFailureOfAnEarlierMark) {
    // A failed plan, then 初始 refused by the bets check: the marks open again
    // on the old marks, and replaying them fails at the same mark.
    Tracker t;
    t.inputs.maxMultiplier = 4;
    ASSERT_TRUE(t.start());
    t.marks("MM");
    ASSERT_FALSE(t.plan.marksOpen());
    t.inputs.bets = 1000;
    EXPECT_FALSE(t.start());
    EXPECT_TRUE(t.plan.marksOpen());
    t.inputs.bets = 488;
    ASSERT_TRUE(t.hit());
    EXPECT_FALSE(t.plan.marksOpen());
    EXPECT_EQ(t.status, "已超过最大期数，未完成目标!")
        << "a failed plan does not go back to counting the draws still to come";
}

TEST(SegmentPlan, SuccessfulStartBeginsANewPlan) {
    Tracker t;
    ASSERT_TRUE(t.start());
    t.marks("MMHH");
    ASSERT_TRUE(t.start());
    EXPECT_TRUE(t.plan.marks().empty());
    EXPECT_EQ(t.plan.cumulativeProfit(), 0.0f);
    EXPECT_EQ(t.rows(), (std::vector<Row>{unmarked({"1", "3", "14.640", "14.640", "", "", ""})}));
    EXPECT_EQ(t.status, "还剩下 5 期中完成目标!");
}

TEST(SegmentPlan, MarksBeforeAnyStartAreRefused) {
    Tracker t;
    EXPECT_FALSE(t.plan.marksOpen());
    EXPECT_FALSE(t.miss());
    EXPECT_EQ(t.messages.back(), kMarksClosedMessage);
    EXPECT_TRUE(t.rows().empty());
    EXPECT_TRUE(t.plan.marks().empty());
}

// ---- The multiplier rule --------------------------------------------------------

TEST(NextMultiplier, CeilingOrOne) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        double quotient;
        std::optional<std::int32_t> multiplier;
    };
    const Case cases[] = {
        {2.04, 3},
        {3.0, 3},
        {0.0001, 1},
        {0.0, 1},
        {-0.5, 1},
        {-5.0, 1},
        {-3e9, 1},
        {-1e300, 1},
        {kNaN, 1},
        {kInf, 1},
        {-kInf, 1},
        {2147483646.5, 2147483647},
        {2147483647.0, 2147483647},
        {2147483647.01, std::nullopt},
        {3e9, std::nullopt},
        {1e300, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quotient);
        EXPECT_EQ(nextMultiplier(c.quotient), c.multiplier);
    }
}

TEST(SegmentPlan, StatusTextAndColours) {
    EXPECT_EQ(remainingStatus(4), "还剩下 4 期中完成目标!");
    EXPECT_EQ(remainingStatus(3000000000LL), "还剩下 3000000000 期中完成目标!");
    EXPECT_EQ(kHitColors.back, 11842815u);
    EXPECT_EQ(kMissColors.back, 16757940u);
    EXPECT_EQ(kHitColors.text, 0u);
    EXPECT_EQ(kMissColors.text, 0u);
}

TEST(PlanTable, IgnoresRowsAndColumnsOutsideTheList) {
    PlanTable table;
    table.setRowColors(-1, kHitColors);
    table.setCellText(0, 0, "x");
    table.appendRow(PlanRow{{"a", "b"}});
    table.setCellText(0, 2, "x");
    table.setCellText(0, -1, "x");
    table.setRowColors(1, kMissColors);
    EXPECT_EQ(table.rows(), (std::vector<Row>{unmarked({"a", "b"})}));
}

} // namespace
