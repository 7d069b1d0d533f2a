#include "stake/snowballstake/snowballstake_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace snowballstake;
using Cells = std::vector<std::string>;

// 滚利期数 5, 注数 500, 赔率 1956, 开始倍数 1, "3星", "1分": a fresh start.
SnowballInputs withPeriods(std::int32_t rollPeriods) {
    SnowballInputs inputs;
    inputs.rollPeriods = rollPeriods;
    return inputs;
}

std::vector<Cells> cellsOf(const SnowballResult& result) {
    std::vector<Cells> rows;
    for (const PlanRow& row : result.plan.rows)
        rows.push_back(row.cells);
    return rows;
}

std::vector<std::int64_t> multipliersOf(const SnowballResult& result) {
    std::vector<std::int64_t> multipliers;
    for (const PlanRow& row : result.plan.rows)
        multipliers.push_back(std::atoll(row.cells.at(1).c_str()));
    return multipliers;
}

SnowballResult accepted(const SnowballInputs& inputs) {
    SnowballResult result = computePlan(inputs);
    EXPECT_FALSE(result.plan.refused()) << *result.plan.message;
    return result;
}

bool anyCellReads(const SnowballResult& result, std::string_view needle) {
    for (const PlanRow& row : result.plan.rows) {
        for (const std::string& cell : row.cells) {
            if (cell.find(needle) != std::string::npos)
                return true;
        }
    }
    return false;
}

const std::vector<Cells> kWorkedExample = {
    {"1", "1", "5.000", "9.780", "4.780", "4.780"},
    {"2", "1", "5.000", "9.780", "4.780", "9.560"},
    {"3", "2", "10.000", "19.560", "9.560", "19.120"},
    {"4", "4", "20.000", "39.120", "19.120", "38.240"},
    {"5", "8", "40.000", "78.240", "38.240", "76.480"},
    {"6", "16", "80.000", "156.480", "76.480", "152.960"},
    // The quotient 31.592 is cut to 31, not rounded.
    {"7", "31", "155.000", "303.180", "148.180", "301.140"},
    {"8", "61", "305.000", "596.580", "291.580", "592.720"},
};

// ---- The worked example -------------------------------------------------------

TEST(SnowballPlan, FreshStartGivesTheFiveRowsOfTheExample) {
    const SnowballResult result = accepted(SnowballInputs{});
    EXPECT_EQ(cellsOf(result),
              std::vector<Cells>(kWorkedExample.begin(), kWorkedExample.begin() + 5));
    EXPECT_FALSE(result.endNote);
}

TEST(SnowballPlan, EightPeriodsGoOnAsInTheExample) {
    EXPECT_EQ(cellsOf(accepted(withPeriods(8))), kWorkedExample);
}

TEST(SnowballPlan, UnitModesAndStarCountsScaleTheAmounts) {
    struct Case {
        const char* name;
        std::int32_t modeIndex;
        std::int32_t starIndex;
        std::int32_t bets;
        Cells firstRow;
    };
    const Case cases[] = {
        {"1元", 0, 2, 500, {"1", "1", "500.000", "978.000", "478.000", "478.000"}},
        {"1厘", 3, 2, 500, {"1", "1", "0.500", "0.978", "0.478", "0.478"}},
        {"2分 doubles the unit", 6, 2, 500, {"1", "1", "10.000", "19.560", "9.560", "9.560"}},
        {"5星 scales the odds by 100",
         2,
         0,
         50000,
         {"1", "1", "500.000", "978.000", "478.000", "478.000"}},
        {"1星 scales them by 0.01", 2, 4, 5, {"1", "1", "0.050", "0.098", "0.048", "0.048"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SnowballInputs inputs = withPeriods(1);
        inputs.modeIndex = c.modeIndex;
        inputs.starIndex = c.starIndex;
        inputs.bets = c.bets;
        const SnowballResult result = accepted(inputs);
        ASSERT_EQ(result.plan.rows.size(), 1u);
        EXPECT_EQ(result.plan.rows[0].cells, c.firstRow);
    }
}

// ---- The bets check ---------------------------------------------------------------

TEST(SnowballPlan, BetsOutOfRangeAreRefusedWithTheCalculatorsOwnMessages) {
    struct Case {
        std::int32_t starIndex;
        std::int32_t bets;
        const char* message;
    };
    const Case cases[] = {
        {0, 100000, "注数数值只能为(1-99999)"},
        {1, 0, "注数数值只能为(1-9999)"},
        // This message has no closing parenthesis.
        {2, 1000, "注数数值只能为(1-999"},
        {2, -5, "注数数值只能为(1-999"},
        {3, 100, "注数数值只能为(1-99)"},
        {4, 10, "注数数值只能为(1-9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SnowballInputs inputs;
        inputs.starIndex = c.starIndex;
        inputs.bets = c.bets;
        const SnowballResult result = computePlan(inputs);
        EXPECT_EQ(result.plan.message, std::optional<std::string>(c.message));
        EXPECT_TRUE(result.plan.rows.empty());
    }
}

TEST(SnowballPlan, BetsAtTheEndsOfTheRangeAreAccepted) {
    for (const std::int32_t bets : {1, 999}) {
        SnowballInputs inputs = withPeriods(1);
        inputs.bets = bets;
        EXPECT_EQ(accepted(inputs).plan.rows.size(), 1u) << bets;
    }
}

TEST(SnowballPlan, NoStarCountSkipsTheRangeAndLeavesTheOddsUnscaled) {
    SnowballInputs inputs = withPeriods(1);
    inputs.starIndex = -1;
    inputs.bets = 5000;
    inputs.modeIndex = 0;
    EXPECT_EQ(accepted(inputs).plan.rows.at(0).cells,
              (Cells{"1", "1", "5000.000", "978.000", "-4022.000", "-4022.000"}));

    // A bets count below 1 would divide the prize ratio by zero.
    for (const std::int32_t bets : {0, -1, INT32_MIN}) {
        inputs.bets = bets;
        EXPECT_EQ(computePlan(inputs).plan.message,
                  std::optional<std::string>("注数数值必须大于0"));
    }
}

// ---- Choices where the inputs cannot make a plan ------------------------------

TEST(SnowballPlan, NoUnitModeIsRefused) {
    for (const std::int32_t modeIndex : {-1, 8, INT32_MAX, INT32_MIN}) {
        SnowballInputs inputs;
        inputs.modeIndex = modeIndex;
        const SnowballResult result = computePlan(inputs);
        EXPECT_EQ(result.plan.message, std::optional<std::string>("请选择金额模式")) << modeIndex;
    }
}

TEST(SnowballPlan, RollPeriodsAreBounded) {
    EXPECT_EQ(accepted(withPeriods(kMaxRollPeriods)).plan.rows.size() > 0, true);
    for (const std::int32_t periods : {kMaxRollPeriods + 1, INT32_MAX}) {
        const SnowballResult result = computePlan(withPeriods(periods));
        EXPECT_EQ(result.plan.message, std::optional<std::string>("滚利期数数值只能为(1-10000)"));
        EXPECT_TRUE(result.plan.rows.empty());
    }
}

TEST(SnowballPlan, RollPeriodsZeroOrNegativeGiveNoRows) {
    for (const std::int32_t periods : {0, -1, INT32_MIN}) {
        const SnowballResult result = accepted(withPeriods(periods));
        EXPECT_TRUE(result.plan.rows.empty()) << periods;
        EXPECT_FALSE(result.endNote);
    }
}

// ---- Edge cases of the growth -----------------------------------------------------

TEST(SnowballPlan, StartMultiplierZeroGivesRowsOfZero) {
    SnowballInputs inputs = withPeriods(kMaxRollPeriods);
    inputs.startMultiplier = 0;
    const SnowballResult result = accepted(inputs);
    ASSERT_EQ(result.plan.rows.size(), static_cast<std::size_t>(kMaxRollPeriods));
    for (const PlanRow& row : result.plan.rows) {
        EXPECT_EQ(Cells(row.cells.begin() + 1, row.cells.end()),
                  (Cells{"0", "0.000", "0.000", "0.000", "0.000"}))
            << "row " << row.cells[0];
    }
    EXPECT_EQ(result.plan.rows.back().cells[0], "10000");
}

TEST(SnowballPlan, LosingOddsShrinkTheMultiplierWithoutAFloor) {
    SnowballInputs inputs = withPeriods(13);
    inputs.odds = 750.0f; // a prize of 0.75 of the cost
    inputs.startMultiplier = 10;
    const SnowballResult result = accepted(inputs);
    EXPECT_EQ(multipliersOf(result),
              (std::vector<std::int64_t>{10, 7, 5, 4, 3, 2, 2, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(result.plan.rows[0].cells,
              (Cells{"1", "10", "50.000", "37.500", "-12.500", "-12.500"}));
    EXPECT_EQ(result.plan.rows.back().cells,
              (Cells{"13", "0", "0.000", "0.000", "0.000", "-46.250"}));

    // Negative odds lose more than the stake: the multipliers fall below 0.
    inputs.odds = -1956.0f;
    inputs.startMultiplier = 1;
    inputs.rollPeriods = 6;
    const SnowballResult negative = accepted(inputs);
    EXPECT_EQ(multipliersOf(negative), (std::vector<std::int64_t>{1, -1, 1, -1, 1, -1}));
    EXPECT_FALSE(anyCellReads(negative, "nan"));
}

TEST(SnowballPlan, AQuotientJustBelowAWholeNumberIsCut) {
    // 赔率 900: the prize ratio 0.9 is stored as 0.89999998, the profit of the
    // first draw as -5.0000010, and (50 - 5.0000010) / 5 = 8.9999998 gives 8.
    SnowballInputs inputs = withPeriods(2);
    inputs.odds = 900.0f;
    inputs.startMultiplier = 10;
    EXPECT_EQ(multipliersOf(accepted(inputs)), (std::vector<std::int64_t>{10, 8}));
}

TEST(SnowballPlan, BreakEvenOddsKeepTheStartMultiplier) {
    SnowballInputs inputs = withPeriods(100);
    inputs.odds = 1000.0f; // 1000 x 0.5 / 500 = 1: no profit
    inputs.startMultiplier = 3;
    const SnowballResult result = accepted(inputs);
    EXPECT_EQ(multipliersOf(result), std::vector<std::int64_t>(100, 3));
    EXPECT_EQ(result.plan.rows.back().cells[5], "0.000");
}

TEST(SnowballPlan, MultiplierBeyond32BitsEndsThePlanWithANote) {
    const SnowballResult result = accepted(withPeriods(100));
    ASSERT_EQ(result.plan.rows.size(), 33u);
    EXPECT_EQ(result.plan.rows.back().cells[1], "1171512935");
    EXPECT_EQ(result.endNote,
              std::optional<std::string>("第34期的倍数超出计算范围,方案到第33期为止"));
    for (const std::int64_t multiplier : multipliersOf(result))
        EXPECT_GT(multiplier, 0) << "a wrapped multiplier";

    // A plan that ends exactly where the multiplier would leave the range has
    // no note.
    EXPECT_FALSE(accepted(withPeriods(33)).endNote);
}

TEST(SnowballPlan, LargeStartMultiplierAndBetsDoNotWrapTheCost) {
    SnowballInputs inputs = withPeriods(2);
    inputs.startMultiplier = INT32_MAX;
    inputs.modeIndex = 0;
    const SnowballResult result = accepted(inputs);
    ASSERT_EQ(result.plan.rows.size(), 1u);
    // 500 x 2147483647 in single precision.
    EXPECT_EQ(Cells(result.plan.rows[0].cells.begin(), result.plan.rows[0].cells.begin() + 3),
              (Cells{"1", "2147483647", "1073741824000.000"}));
    EXPECT_EQ(result.endNote,
              std::optional<std::string>("第2期的倍数超出计算范围,方案到第1期为止"));
}

TEST(SnowballPlan, AmountsBeyondSinglePrecisionEndThePlanBeforeTheirRow) {
    SnowballInputs inputs = withPeriods(5);
    inputs.starIndex = 0; // odds x 100: beyond single precision
    inputs.bets = 1;
    inputs.odds = 3.0e38f;
    const SnowballResult result = accepted(inputs);
    EXPECT_TRUE(result.plan.rows.empty());
    EXPECT_EQ(result.endNote,
              std::optional<std::string>("第1期的金额超出计算范围,方案到第0期为止"));

    // A start multiplier of 0 with infinite odds would read 0 x inf = nan.
    inputs.startMultiplier = 0;
    EXPECT_TRUE(accepted(inputs).plan.rows.empty());

    // Amounts that grow past single precision row by row.
    SnowballInputs growing = withPeriods(40);
    growing.starIndex = 2;
    growing.bets = 1;
    growing.odds = 1.0e37f;
    growing.startMultiplier = 1000;
    growing.modeIndex = 0;
    const SnowballResult grown = accepted(growing);
    EXPECT_TRUE(grown.endNote);
    EXPECT_FALSE(anyCellReads(grown, "inf"));
    EXPECT_FALSE(anyCellReads(grown, "nan"));
}

} // namespace
