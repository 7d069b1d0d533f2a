#include "stake/stakeladder/stakeladder_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace stakeladder;
using Cells = std::vector<std::string>;

// The inputs of the worked examples: 赔率 1956, 注数 500, "3星", "1厘",
// 倍投期数 5, 利润率 1, 起始倍数 1, 利润金额 100.
LadderInputs freshStart() {
    return LadderInputs{};
}

LadderInputs rateMode(std::int32_t modeIndex, std::uint32_t ratePercent, std::int32_t periods) {
    LadderInputs inputs;
    inputs.modeIndex = modeIndex;
    inputs.ratePercent = ratePercent;
    inputs.periods = periods;
    return inputs;
}

LadderInputs amountMode(float profitAmount, std::int32_t periods) {
    LadderInputs inputs;
    inputs.profitType = 1;
    inputs.profitAmount = profitAmount;
    inputs.periods = periods;
    return inputs;
}

LadderInputs customList(std::string text, std::int32_t modeIndex = 3) {
    LadderInputs inputs;
    inputs.useCustom = true;
    inputs.customText = std::move(text);
    inputs.modeIndex = modeIndex;
    return inputs;
}

std::vector<Cells> cellsOf(const PlanResult& plan) {
    std::vector<Cells> rows;
    for (const PlanRow& row : plan.rows)
        rows.push_back(row.cells);
    return rows;
}

std::vector<std::int32_t> multipliersOf(const PlanResult& plan) {
    std::vector<std::int32_t> multipliers;
    for (const PlanRow& row : plan.rows)
        multipliers.push_back(std::atoi(row.cells.at(1).c_str()));
    return multipliers;
}

PlanResult accepted(const LadderInputs& inputs) {
    PlanResult plan = computePlan(inputs);
    EXPECT_FALSE(plan.refused()) << *plan.message;
    return plan;
}

// ---- The worked examples ----------------------------------------------------

TEST(LadderPlan, RateModeFreshStart) {
    const std::vector<Cells> expected = {
        {"1", "1", "0.5000", "0.5000", "0.9780", "0.4780", "95.60%"},
        {"2", "2", "1.0000", "1.5000", "1.9560", "0.4560", "30.40%"},
        {"3", "4", "2.0000", "3.5000", "3.9120", "0.4120", "11.77%"},
        {"4", "8", "4.0000", "7.5000", "7.8240", "0.3240", "4.32%"},
        {"5", "17", "8.5000", "16.0000", "16.6260", "0.6260", "3.91%"},
    };
    EXPECT_EQ(cellsOf(accepted(freshStart())), expected);
}

TEST(LadderPlan, RateModeOneYuanTenPercent) {
    const PlanResult plan = accepted(rateMode(0, 10, 8));
    EXPECT_EQ(multipliersOf(plan), (std::vector<std::int32_t>{1, 2, 4, 9, 21, 48, 110, 251}));
    EXPECT_EQ(plan.rows.back().cells, (Cells{"8", "251", "125500.0000", "223000.0000",
                                             "245478.0000", "22478.0000", "10.08%"}));
}

TEST(LadderPlan, RateModeSearchTakesTheCandidateJustAboveMid) {
    // After lo = mid + 1, lo is taken as soon as it reaches the target, even
    // when it has just passed hi.
    LadderInputs inputs = rateMode(3, 3, 6);
    inputs.startMultiplier = 4;
    EXPECT_EQ(multipliersOf(accepted(inputs)), (std::vector<std::int32_t>{4, 5, 11, 23, 48, 102}));
}

TEST(LadderPlan, AmountMode) {
    const std::vector<Cells> expected = {
        {"1", "210", "105.0000", "105.0000", "205.3800", "100.3800", "95.6000%"},
        {"2", "429", "214.5000", "319.5000", "419.5620", "100.0620", "31.3183%"},
        {"3", "878", "439.0000", "758.5000", "858.6840", "100.1840", "13.2082%"},
        // The prize is shown from the double value, the net profit from the
        // prize stored in single precision.
        {"4", "1797", "898.5000", "1657.0000", "1757.4660", "100.4659", "6.0631%"},
        {"5", "3676", "1838.0000", "3495.0000", "3595.1280", "100.1279", "2.8649%"},
    };
    EXPECT_EQ(cellsOf(accepted(amountMode(100.0f, 5))), expected);
}

TEST(LadderPlan, CustomList) {
    const PlanResult plan = accepted(customList("1,2,4,8,16,32"));
    ASSERT_EQ(plan.rows.size(), 6u);
    EXPECT_EQ(plan.rows.front().cells,
              (Cells{"1", "1", "0.500", "0.500", "0.978", "0.478", "95.600%"}));
    EXPECT_EQ(plan.rows.back().cells,
              (Cells{"6", "32", "16.000", "31.500", "31.296", "-0.204", "-0.648%"}));
    EXPECT_EQ(multipliersOf(plan), (std::vector<std::int32_t>{1, 2, 4, 8, 16, 32}));
}

// ---- Edge cases ---------------------------------------------------------------

TEST(LadderPlan, PeriodsZeroOrNegative) {
    for (const std::int32_t periods : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(periods);
        EXPECT_TRUE(accepted(amountMode(100.0f, periods)).rows.empty());
        const PlanResult rate = accepted(rateMode(3, 1, periods));
        ASSERT_EQ(rate.rows.size(), 1u);
        EXPECT_EQ(rate.rows[0].cells[1], "1");
    }
}

TEST(LadderPlan, LosingOddsGiveNoAmountPlan) {
    // 999 bets at odds 1956 and 3 stars: a win pays less than the bets cost.
    LadderInputs inputs = amountMode(100.0f, 5);
    inputs.bets = 999;
    EXPECT_TRUE(accepted(inputs).rows.empty());
}

TEST(LadderPlan, UnreachableTargetRate) {
    // 96 % is above the 95.6 % return of a single multiplier: every period takes
    // the top of its range (1001 x, then 1002 x ...) until (k + 1) * p leaves 32
    // bits; the multiplier then repeats, and the next midpoint overflows and
    // ends the plan.
    const auto started = std::chrono::steady_clock::now();
    const PlanResult plan = accepted(rateMode(3, 96, 10000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(multipliersOf(plan),
              (std::vector<std::int32_t>{1, 1001, 1003002, 1006011006, 1006011006}));
    EXPECT_EQ(plan.rows.back().cells, (Cells{"5", "1006011006", "503005504.0000", "1006513024.0000",
                                             "983878720.0000", "-22634304.0000", "-2.25%"}));
}

TEST(LadderPlan, RateModeNeverWrapsIntoNegativeMultipliers) {
    for (std::uint32_t rate : {50u, 95u, 96u, 100u, 1000u, 4294967295u}) {
        for (std::uint32_t start : {1u, 2u, 1000u, 65536u, 2147483647u}) {
            LadderInputs inputs = rateMode(0, rate, kMaxPlanRows);
            inputs.startMultiplier = start;
            const PlanResult plan = accepted(inputs);
            ASSERT_FALSE(plan.rows.empty());
            for (const std::int32_t multiplier : multipliersOf(plan))
                ASSERT_GE(multiplier, 1) << "rate " << rate << " start " << start;
        }
    }
}

TEST(LadderPlan, StarCountMessages) {
    struct Case {
        int starIndex;
        std::int32_t bets;
        const char* message;
    };
    const Case cases[] = {
        {0, 100000, "注数数值只能为(1-99999)"},
        {4, 0, "注数数值只能为(1-9)"},
        {4, 10, "注数数值只能为(1-9)"},
        {2, 1000, "注数数值只能为(1-999)"},
    };
    for (const bool custom : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.message << (custom ? " custom" : ""));
            LadderInputs inputs = custom ? customList("1,2") : freshStart();
            inputs.starIndex = c.starIndex;
            inputs.bets = c.bets;
            const PlanResult plan = computePlan(inputs);
            EXPECT_EQ(plan.message, c.message);
            EXPECT_TRUE(plan.rows.empty());
        }
    }
}

TEST(LadderPlan, StarIndexOutsideTheListLeavesOddsUnscaled) {
    LadderInputs inputs = freshStart();
    inputs.starIndex = -1;
    EXPECT_EQ(cellsOf(accepted(inputs)), cellsOf(accepted(freshStart())));
    inputs.starIndex = 9;
    inputs.bets = 5000; // no bets check either
    EXPECT_FALSE(computePlan(inputs).refused());
}

TEST(LadderPlan, CustomListRangesAndEmptyText) {
    EXPECT_EQ(multipliersOf(accepted(customList("5-2, 7"))),
              (std::vector<std::int32_t>{2, 3, 4, 5, 7}));
    EXPECT_TRUE(accepted(customList("")).rows.empty());
    EXPECT_TRUE(accepted(customList(" ,\r\n")).rows.empty());
}

// The amounts of two plans, cell by cell, as numbers.
void expectScaledAmounts(const PlanResult& base, const PlanResult& scaled, double factor) {
    ASSERT_EQ(base.rows.size(), scaled.rows.size());
    for (std::size_t row = 0; row < base.rows.size(); ++row) {
        EXPECT_EQ(base.rows[row].cells[1], scaled.rows[row].cells[1]) << "row " << row;
        for (const std::size_t column : {2u, 3u, 4u, 5u}) {
            const double expected = std::atof(base.rows[row].cells[column].c_str()) * factor;
            EXPECT_NEAR(std::atof(scaled.rows[row].cells[column].c_str()), expected,
                        1e-6 * std::abs(expected) + 1e-3)
                << "row " << row << " column " << column;
        }
        EXPECT_EQ(base.rows[row].cells[6], scaled.rows[row].cells[6]) << "row " << row;
    }
}

TEST(LadderPlan, UnitAmountScaling) {
    // "2元" doubles every cost and prize of "1元"; "1角" divides them by 10.
    const auto oneYuan = accepted(customList("1,2,4,8,16,32", 0));
    expectScaledAmounts(oneYuan, accepted(customList("1,2,4,8,16,32", 4)), 2.0);
    expectScaledAmounts(oneYuan, accepted(customList("1,2,4,8,16,32", 1)), 0.1);
    const auto rateOneYuan = accepted(rateMode(0, 10, 8));
    expectScaledAmounts(rateOneYuan, accepted(rateMode(4, 10, 8)), 2.0);
    expectScaledAmounts(rateOneYuan, accepted(rateMode(1, 10, 8)), 0.1);
}

// ---- Rules for inputs the dialog can produce but the plan cannot use -----------

TEST(LadderPlan, NoModeSelected) {
    for (const bool custom : {false, true}) {
        LadderInputs inputs = custom ? customList("1") : freshStart();
        inputs.modeIndex = -1;
        EXPECT_EQ(computePlan(inputs).message, "请选择模式");
    }
    LadderInputs badBets = freshStart();
    badBets.modeIndex = -1;
    badBets.bets = 0;
    EXPECT_EQ(computePlan(badBets).message, "注数数值只能为(1-999)")
        << "the bets check comes first";
}

TEST(LadderPlan, ModesFromEightRepeatWithFactorTwo) {
    for (const int mode : {8, 9, 10, 11, 2147483647}) {
        SCOPED_TRACE(mode);
        const int same = 4 + mode % 4;
        EXPECT_EQ(cellsOf(accepted(rateMode(mode, 10, 8))),
                  cellsOf(accepted(rateMode(same, 10, 8))));
        EXPECT_EQ(cellsOf(accepted(customList("1-5", mode))),
                  cellsOf(accepted(customList("1-5", same))));
    }
}

TEST(LadderPlan, StartMultiplierZero) {
    LadderInputs rate = freshStart();
    rate.startMultiplier = 0;
    EXPECT_EQ(computePlan(rate).message, "起始倍数不能为0");

    LadderInputs amount = amountMode(100.0f, 5);
    amount.startMultiplier = 0;
    EXPECT_EQ(accepted(amount).rows.size(), 5u) << "the amount mode does not use it";
    LadderInputs custom = customList("1");
    custom.startMultiplier = 0;
    EXPECT_EQ(accepted(custom).rows.size(), 1u);
}

TEST(LadderPlan, StartMultiplierBeyond32Bits) {
    LadderInputs inputs = freshStart();
    inputs.startMultiplier = 2147483648u;
    const PlanResult plan = computePlan(inputs);
    EXPECT_FALSE(plan.refused());
    EXPECT_TRUE(plan.rows.empty());
}

TEST(LadderPlan, PeriodsLimit) {
    for (const std::int32_t profitType : {0, 1}) {
        LadderInputs inputs = freshStart();
        inputs.profitType = profitType;
        inputs.periods = kMaxPlanRows + 1;
        EXPECT_EQ(computePlan(inputs).message, "倍投期数数值只能为(1-10000)");
        inputs.periods = INT32_MAX;
        EXPECT_EQ(computePlan(inputs).message, "倍投期数数值只能为(1-10000)");
        inputs.periods = kMaxPlanRows;
        EXPECT_FALSE(computePlan(inputs).refused());
    }
    LadderInputs custom = customList("1,2");
    custom.periods = INT32_MAX;
    EXPECT_EQ(accepted(custom).rows.size(), 2u) << "the custom list does not use 倍投期数";
}

TEST(LadderPlan, CustomListLimit) {
    EXPECT_EQ(accepted(customList("1-10000")).rows.size(), 10000u);
    EXPECT_EQ(computePlan(customList("1-10000,1")).message, "自定义倍投最多10000期");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(computePlan(customList("1-1000000000")).message, "自定义倍投最多10000期");
    EXPECT_EQ(computePlan(customList("0-2147483647")).message, "自定义倍投最多10000期");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
}

TEST(LadderPlan, CustomStakeCountBeyond32Bits) {
    // 500 bets x 2000000000 at "1元" is 10^12 yuan; a 32-bit product would wrap.
    EXPECT_EQ(accepted(customList("2000000000", 0)).rows.at(0).cells[2], "1000000000000.000");
    // Without a star count the bets are not checked: the largest products must
    // still come out right (and without overflow).
    LadderInputs inputs = customList("2147483647", 4);
    inputs.starIndex = -1;
    inputs.bets = INT32_MIN;
    EXPECT_EQ(accepted(inputs).rows.at(0).cells[2], "-9223372032559808512.000");
}

TEST(LadderPlan, AmountModeEndsBeforeAMultiplierBeyond32Bits) {
    const PlanResult plan = accepted(amountMode(100.0f, 100));
    ASSERT_FALSE(plan.rows.empty());
    EXPECT_LT(plan.rows.size(), 100u);
    const auto multipliers = multipliersOf(plan);
    for (std::size_t i = 1; i < multipliers.size(); ++i)
        EXPECT_GT(multipliers[i], multipliers[i - 1]) << "row " << i;
    EXPECT_TRUE(accepted(amountMode(1e12f, 5)).rows.empty());
}

TEST(LadderPlan, PrizeEqualToCostGivesNoAmountPlan) {
    // 978 bets at odds 1956: the net gain of a multiplier is 0, every quotient
    // is infinite.
    LadderInputs inputs = amountMode(100.0f, 5);
    inputs.bets = 978;
    EXPECT_TRUE(accepted(inputs).rows.empty());
}

TEST(LadderPlan, ReturnOfNothingSpentIsZero) {
    EXPECT_EQ(accepted(customList("0")).rows.at(0).cells,
              (Cells{"1", "0", "0.000", "0.000", "0.000", "0.000", "0.000%"}));
    const PlanResult amount = accepted(amountMode(0.0f, 3));
    ASSERT_EQ(amount.rows.size(), 3u);
    EXPECT_EQ(amount.rows[2].cells,
              (Cells{"3", "0", "0.0000", "0.0000", "0.0000", "0.0000", "0.0000%"}));
}

TEST(LadderPlan, InfiniteAmountsEndThePlan) {
    LadderInputs inputs = freshStart();
    inputs.odds = 3e38f;
    inputs.starIndex = 0; // x100 overflows single precision
    EXPECT_TRUE(accepted(inputs).rows.empty());
    inputs.profitType = 1;
    EXPECT_TRUE(accepted(inputs).rows.empty());
    inputs.useCustom = true;
    EXPECT_TRUE(accepted(inputs).rows.empty());
}

TEST(LadderPlan, NoCellIsEverNotANumber) {
    std::mt19937 random(2024);
    const auto pick = [&](std::initializer_list<double> values) {
        std::uniform_int_distribution<std::size_t> index(0, values.size() - 1);
        return *(values.begin() + index(random));
    };
    for (int i = 0; i < 3000; ++i) {
        LadderInputs inputs;
        inputs.periods = static_cast<std::int32_t>(pick({-1, 0, 1, 5, 60, 300}));
        inputs.odds = static_cast<float>(pick({0, -1956, 1, 978, 1956, 1e6, 3e38, 1e-30}));
        inputs.bets = static_cast<std::int32_t>(pick({-5, 0, 1, 9, 500, 978, 999, 99999}));
        inputs.modeIndex = static_cast<std::int32_t>(pick({0, 1, 2, 3, 4, 5, 6, 7, 8, 100}));
        inputs.starIndex = static_cast<std::int32_t>(pick({-1, 0, 1, 2, 3, 4, 7}));
        inputs.profitType = static_cast<std::int32_t>(pick({0, 1, 2}));
        inputs.ratePercent = static_cast<std::uint32_t>(pick({0, 1, 10, 95, 96, 4294967295.0}));
        inputs.startMultiplier = static_cast<std::uint32_t>(pick({1, 3, 65536, 2147483647}));
        inputs.profitAmount = static_cast<float>(pick({0, -100, 100, 1e9, 3e38}));
        inputs.useCustom = pick({0, 0, 1}) != 0;
        inputs.customText = pick({0, 1}) != 0 ? "1,2,-3--7,2147483647,0" : "1-300";
        const PlanResult plan = computePlan(inputs);
        ASSERT_LE(plan.rows.size(), static_cast<std::size_t>(kMaxPlanRows));
        for (const PlanRow& row : plan.rows) {
            ASSERT_EQ(row.cells.size(), 7u);
            for (const std::string& cell : row.cells) {
                ASSERT_EQ(cell.find("inf"), std::string::npos) << "case " << i;
                ASSERT_EQ(cell.find("nan"), std::string::npos) << "case " << i;
            }
        }
    }
}

TEST(LadderPlan, AnyProfitTypeOtherThanOneIsTheRateMode) {
    LadderInputs inputs = freshStart();
    inputs.profitType = 7;
    EXPECT_EQ(cellsOf(accepted(inputs)), cellsOf(accepted(freshStart())));
    inputs.profitType = -1;
    EXPECT_EQ(cellsOf(accepted(inputs)), cellsOf(accepted(freshStart())));
}

// ---- parseMultiplierList --------------------------------------------------------

TEST(MultiplierList, Entries) {
    struct Case {
        const char* name;
        std::string_view text;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {"default text", "1,2,4,8,16,32", {1, 2, 4, 8, 16, 32}},
        {"two lines", "1 2\r\n3-5", {1, 2, 3, 4, 5}},
        {"range ascending", "1-4", {1, 2, 3, 4}},
        {"range descending", "4-1", {1, 2, 3, 4}},
        {"descending then plain", "5-2, 7", {2, 3, 4, 5, 7}},
        {"empty", "", {}},
        {"separators only", " ,,\r\n  ,", {}},
        {"missing upper end", "3-", {}},
        {"missing lower end", "-3", {}},
        {"end of -1 is missing", "1--1", {}},
        {"other negative end", "1--3", {-3, -2, -1, 0, 1}},
        {"both ends missing", "--", {}},
        {"second dash inside the upper end", "1-2-3", {1, 2}},
        {"not a number", "x", {0}},
        {"trailing text", "5x", {5}},
        {"plus sign", "+5", {5}},
        {"tab is not a separator", "\t7", {7}},
        {"saturating entry", "99999999999", {2147483647}},
        {"range up to the largest integer", "2147483646-99999999999", {2147483646, 2147483647}},
        {"upper end not a number", "1-x", {0, 1}},
        {"single-entry range", "0-0", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseMultiplierList(c.text), std::optional{c.expected});
    }
}

TEST(MultiplierList, Limit) {
    EXPECT_EQ(parseMultiplierList("1,2,3", 3)->size(), 3u);
    EXPECT_FALSE(parseMultiplierList("1,2,3,4", 3).has_value());
    EXPECT_FALSE(parseMultiplierList("1 2-4", 3).has_value());
    EXPECT_EQ(parseMultiplierList("1-10000")->size(), 10000u);
    EXPECT_FALSE(parseMultiplierList("1-9999 5 6").has_value());

    std::string tokens;
    for (int i = 0; i <= kMaxPlanRows; ++i)
        tokens += "1,";
    EXPECT_FALSE(parseMultiplierList(tokens).has_value());

    // Huge texts and ranges are refused without being expanded.
    const std::string huge(20000000, '1');
    std::string manyTokens;
    for (int i = 0; i < 2000000; ++i)
        manyTokens += "7 ";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(parseMultiplierList("1-1000000000").has_value());
    EXPECT_FALSE(parseMultiplierList(manyTokens).has_value());
    EXPECT_EQ(parseMultiplierList(huge), (std::vector<std::int32_t>{2147483647}));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

} // namespace
