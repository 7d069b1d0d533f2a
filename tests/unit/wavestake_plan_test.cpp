#include "stake/wavestake/wavestake_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace wavestake;
using Cells = std::vector<std::string>;

// 5 periods, 500 bets, odds 1956, 3 waves, profit 100, "3星", "1分".
WaveSettings freshStart() {
    return WaveSettings{};
}

WavePlan accepted(const WaveSettings& settings) {
    WavePlan plan = computeWavePlan(settings);
    EXPECT_FALSE(plan.refused()) << *plan.message;
    return plan;
}

std::vector<Cells> cellsOf(const WavePlan& plan) {
    std::vector<Cells> rows;
    for (const WaveRow& wave : plan.rows)
        rows.push_back(wave.row.cells);
    return rows;
}

std::vector<std::int32_t> multipliersOf(const WavePlan& plan) {
    std::vector<std::int32_t> multipliers;
    for (const WaveRow& wave : plan.rows)
        multipliers.push_back(std::atoi(wave.row.cells.at(kMultiplierColumn).c_str()));
    return multipliers;
}

// The 1-based row numbers of the rows that close a wave.
std::vector<int> closingRows(const WavePlan& plan) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        if (plan.rows[i].closesWave)
            rows.push_back(static_cast<int>(i) + 1);
    }
    return rows;
}

// ---- The worked example -------------------------------------------------------

TEST(WavePlan, FreshStartGivesThreeWavesOfFivePeriods) {
    const std::vector<Cells> expected = {
        {"1", "1", "1", "5.000", "5.000", "9.780", "4.780"},
        {"2", "", "2", "10.000", "5.220", "19.560", "14.340"},
        {"3", "", "4", "20.000", "5.660", "39.120", "33.460"},
        {"4", "", "8", "40.000", "6.540", "78.240", "71.700"},
        {"5", "", "16", "80.000", "8.300", "156.480", "148.180"},
        {"6", "2", "1", "5.000", "13.300", "9.780", "-3.520"},
        {"7", "", "2", "10.000", "13.520", "19.560", "6.040"},
        {"8", "", "4", "20.000", "13.960", "39.120", "25.160"},
        {"9", "", "8", "40.000", "14.840", "78.240", "63.400"},
        {"10", "", "16", "80.000", "16.600", "156.480", "139.880"},
        {"11", "3", "1", "5.000", "21.600", "9.780", "-11.820"},
        {"12", "", "2", "10.000", "21.820", "19.560", "-2.260"},
        {"13", "", "4", "20.000", "22.260", "39.120", "16.860"},
        {"14", "", "8", "40.000", "23.140", "78.240", "55.100"},
        {"15", "", "16", "80.000", "24.900", "156.480", "131.580"},
    };
    const WavePlan plan = accepted(freshStart());
    EXPECT_EQ(cellsOf(plan), expected);
    EXPECT_EQ(closingRows(plan), (std::vector<int>{5, 10, 15}));
}

// ---- Rounding up ------------------------------------------------------------------

TEST(WavePlan, WholeQuotientIsLiftedToTheNextMultiplier) {
    // Odds 2000 for 500 bets pay exactly twice the stake: 1 is followed by
    // 3, and 3 by 7, not 6, because of the single-precision 0.001.
    WaveSettings settings = freshStart();
    settings.fPeilv = 2000.0f;
    settings.nBoshu = 1;
    EXPECT_EQ(multipliersOf(accepted(settings)), (std::vector<std::int32_t>{1, 3, 7, 15, 31}));

    // The first stake too: a goal of 1500 over a wave gain of 500 is 3, lifted to 4.
    settings.nQishu = 1;
    settings.nMode = 0;
    settings.fLirun = 1500.0f;
    EXPECT_EQ(
        cellsOf(accepted(settings)),
        (std::vector<Cells>{{"1", "1", "4", "2000.000", "2000.000", "4000.000", "2000.000"}}));
    settings.fLirun = 1499.0f;
    EXPECT_EQ(multipliersOf(accepted(settings)), (std::vector<std::int32_t>{3}));
}

TEST(WavePlan, UnitAmountModesScaleTheAmounts) {
    struct Case {
        int mode;
        Cells firstRow;
    };
    // The first stake covers the goal over a wave gain of 13815.7 bets: below
    // one multiplier at "1元", 7.2 multipliers of 0.5 yuan at "1厘".
    const Case cases[] = {
        {0, {"1", "1", "1", "500.000", "500.000", "978.000", "478.000"}},
        {1, {"1", "1", "1", "50.000", "50.000", "97.800", "47.800"}},
        {3, {"1", "1", "8", "4.000", "4.000", "7.824", "3.824"}},
        {4, {"1", "1", "1", "1000.000", "1000.000", "1956.000", "956.000"}},
        {6, {"1", "1", "1", "10.000", "10.000", "19.560", "9.560"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        WaveSettings settings = freshStart();
        settings.nMode = c.mode;
        const WavePlan plan = accepted(settings);
        ASSERT_EQ(plan.rows.size(), 15u);
        EXPECT_EQ(plan.rows[0].row.cells, c.firstRow);
    }
}

// ---- Waves and periods --------------------------------------------------------

TEST(WavePlan, OnePeriodPerWaveMarksNoRow) {
    WaveSettings settings = freshStart();
    settings.nQishu = 1;
    const WavePlan plan = accepted(settings);
    ASSERT_EQ(plan.rows.size(), 3u);
    EXPECT_TRUE(closingRows(plan).empty());
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
        EXPECT_EQ(plan.rows[i].row.cells[1], std::to_string(i + 1)) << "each row opens a wave";
    // One period wins b x r - b = 478 bets of 0.01 yuan per multiplier: the
    // goals of 100, then 205 and 420 yuan need 21, 43 and 88.
    EXPECT_EQ(multipliersOf(plan), (std::vector<std::int32_t>{21, 43, 88}));
}

TEST(WavePlan, NoPeriodsGiveOneRowOfMultiplierOnePerWave) {
    for (const std::int32_t periods : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(periods);
        WaveSettings settings = freshStart();
        settings.nQishu = periods;
        const WavePlan plan = accepted(settings);
        EXPECT_EQ(multipliersOf(plan), (std::vector<std::int32_t>{1, 1, 1}));
        EXPECT_TRUE(closingRows(plan).empty());
        EXPECT_EQ(plan.rows.back().row.cells,
                  (Cells{"3", "3", "1", "5.000", "15.000", "9.780", "-5.220"}));
    }
}

TEST(WavePlan, NoWavesGiveNoRows) {
    for (const std::int32_t waves : {0, -1, INT32_MIN}) {
        WaveSettings settings = freshStart();
        settings.nBoshu = waves;
        settings.nQishu = INT32_MAX; // no plan length to refuse without waves
        EXPECT_TRUE(accepted(settings).rows.empty()) << waves;
    }
}

TEST(WavePlan, ZeroProfitGoalStartsWithMultiplierOne) {
    WaveSettings settings = freshStart();
    settings.fLirun = 0.0f;
    const WavePlan plan = accepted(settings);
    EXPECT_EQ(plan.rows[0].row.cells, (Cells{"1", "1", "1", "5.000", "5.000", "9.780", "4.780"}));
    // Also with no gain to divide by: 0 / 0 stakes 1.
    settings.nQishu = 0;
    EXPECT_EQ(multipliersOf(accepted(settings)), (std::vector<std::int32_t>{1, 1, 1}));
}

TEST(WavePlan, LosingOddsStakeOneAtTheStartOfEachWave) {
    // 999 bets at odds 1956: a hit pays less than the bets cost, the wave
    // gain is negative and the first stake falls back to 1.
    WaveSettings settings = freshStart();
    settings.nZhushu = 999;
    const WavePlan plan = accepted(settings);
    ASSERT_EQ(plan.rows.size(), 15u);
    EXPECT_EQ(plan.rows[5].row.cells[kMultiplierColumn], "1");
    EXPECT_EQ(plan.rows[10].row.cells[kMultiplierColumn], "1");
}

// ---- Inputs refused --------------------------------------------------------------

TEST(WavePlan, StarCountMessages) {
    struct Case {
        int starIndex;
        std::int32_t bets;
        const char* message;
    };
    const Case cases[] = {
        {0, 100000, "注数数值只能为(1-99999)"}, {1, 10000, "注数数值只能为(1-9999)"},
        {2, 1000, "注数数值只能为(1-999)"},     {3, 100, "注数数值只能为(1-99)"},
        {4, 10, "注数数值只能为(1-9)"},         {4, 0, "注数数值只能为(1-9)"},
        {2, -5, "注数数值只能为(1-999)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        WaveSettings settings = freshStart();
        settings.nXingshu = c.starIndex;
        settings.nZhushu = c.bets;
        const WavePlan plan = computeWavePlan(settings);
        EXPECT_EQ(plan.message, c.message);
        EXPECT_TRUE(plan.rows.empty());
    }
    WaveSettings oneStar = freshStart();
    oneStar.nXingshu = 4;
    oneStar.nZhushu = 9;
    EXPECT_EQ(accepted(oneStar).rows.size(), 15u);
}

TEST(WavePlan, StarOrModeOutsideTheListsIsRefused) {
    struct Case {
        int starIndex;
        int mode;
        const char* message;
    };
    const Case cases[] = {
        {-1, 2, "请选择星数"},    {5, 2, "请选择星数"},   {2, -1, "请选择金额模式"},
        {2, 8, "请选择金额模式"}, {-1, -1, "请选择星数"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.starIndex << " " << c.mode);
        WaveSettings settings = freshStart();
        settings.nXingshu = c.starIndex;
        settings.nMode = c.mode;
        EXPECT_EQ(computeWavePlan(settings).message, c.message);
    }
}

TEST(WavePlan, PlanLengthIsBounded) {
    WaveSettings settings = freshStart();
    settings.nBoshu = 2000;
    settings.nQishu = 5;
    settings.fPeilv = 1000.0f; // a hit pays the stake back: nothing grows
    EXPECT_EQ(accepted(settings).rows.size(), 10000u);

    const std::pair<std::int32_t, std::int32_t> tooLong[] = {
        {2001, 5}, {10001, 1}, {10001, 0}, {1, 10001}, {INT32_MAX, INT32_MAX}, {2, INT32_MAX}};
    for (const auto& [waves, periods] : tooLong) {
        SCOPED_TRACE(testing::Message() << waves << " x " << periods);
        settings.nBoshu = waves;
        settings.nQishu = periods;
        const auto started = std::chrono::steady_clock::now();
        const WavePlan plan = computeWavePlan(settings);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        EXPECT_EQ(plan.message, "波数×推波期数不能超过10000");
        EXPECT_TRUE(plan.rows.empty());
    }
}

// ---- Values beyond what can be shown ---------------------------------------------

TEST(WavePlan, MultiplierBeyond32BitsStopsThePlanWithItsPlace) {
    // "5星" pays 195.6 times the stake: the sixth period would need about
    // 2.9e11 times the bet.
    WaveSettings settings = freshStart();
    settings.nXingshu = 0;
    settings.nBoshu = 1;
    settings.nQishu = 5;
    EXPECT_EQ(multipliersOf(accepted(settings)),
              (std::vector<std::int32_t>{1, 196, 38338, 7498914, 1466787616}));
    settings.nQishu = 6;
    WavePlan plan = computeWavePlan(settings);
    EXPECT_EQ(plan.message, "第1波第6期倍数超过2147483647,无法计算");
    EXPECT_TRUE(plan.rows.empty());

    // One period per wave: each first stake recovers all that went before, so
    // the stakes double wave by wave until one no longer fits.
    settings = freshStart();
    settings.nQishu = 1;
    settings.nBoshu = 26;
    const WavePlan longest = accepted(settings);
    for (const std::int32_t multiplier : multipliersOf(longest))
        EXPECT_GE(multiplier, 1);
    settings.nBoshu = 27;
    plan = computeWavePlan(settings);
    EXPECT_EQ(plan.message, "第27波第1期倍数超过2147483647,无法计算");

    // A long wave at defaults, bounded by the plan length.
    settings = freshStart();
    settings.nBoshu = 1;
    settings.nQishu = kMaxPlanRows;
    EXPECT_EQ(computeWavePlan(settings).message, "第1波第33期倍数超过2147483647,无法计算");
}

TEST(WavePlan, AmountsBeyondSinglePrecisionAreRefused) {
    // Odds of 3e37 at "5星" scale beyond single precision.
    WaveSettings settings = freshStart();
    settings.nXingshu = 0;
    settings.fPeilv = 3e37f;
    EXPECT_EQ(computeWavePlan(settings).message, "第1波第1期金额超出范围,无法计算");
}

TEST(WavePlan, NoCellIsEverNotANumber) {
    const float odds[] = {0.0f, -1956.0f, 1e-30f, 1956.0f, 3e38f};
    const float profits[] = {0.0f, -100.0f, 1e30f, 100.0f};
    const std::int32_t periods[] = {-1, 0, 1, 2, 7};
    for (const float o : odds) {
        for (const float p : profits) {
            for (const std::int32_t n : periods) {
                for (int star = 0; star < 5; ++star) {
                    WaveSettings settings = freshStart();
                    settings.fPeilv = o;
                    settings.fLirun = p;
                    settings.nQishu = n;
                    settings.nXingshu = star;
                    settings.nZhushu = 1;
                    const WavePlan plan = computeWavePlan(settings);
                    for (const WaveRow& wave : plan.rows) {
                        for (const std::string& cell : wave.row.cells) {
                            ASSERT_EQ(cell.find("nan"), std::string::npos)
                                << o << " " << p << " " << n << " " << star;
                            ASSERT_EQ(cell.find("inf"), std::string::npos)
                                << o << " " << p << " " << n << " " << star;
                        }
                    }
                }
            }
        }
    }
}

TEST(WavePlan, ZeroOddsStakeNothingAfterTheFirstPeriod) {
    // A hit pays nothing, so there is no prize to stake again.
    WaveSettings settings = freshStart();
    settings.fPeilv = 0.0f;
    settings.nBoshu = 1;
    settings.nQishu = 3;
    EXPECT_EQ(cellsOf(accepted(settings)),
              (std::vector<Cells>{{"1", "1", "1", "5.000", "5.000", "0.000", "-5.000"},
                                  {"2", "", "0", "0.000", "5.000", "0.000", "-5.000"},
                                  {"3", "", "0", "0.000", "5.000", "0.000", "-5.000"}}));
}

} // namespace
