#include "stake/wavestake/wavestake_plan.h"

#include "plan_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// clang-format off

using namespace wavestake;

// A row that closes a wave ends in "end".
std::string view(const WaveSettings& settings, Show show) {
    const WavePlan plan = computeWavePlan(settings);
    std::vector<std::vector<std::string>> rows;
    for (const WaveRow& wave : plan.rows) {
        rows.push_back(wave.row.cells);
        if (wave.closesWave)
            rows.back().push_back("end");
    }
    return planView(plan.message, rows, show, kMultiplierColumn);
}

// A fresh start is 推波期数 5, 注数 500, 赔率 1956, 波数 3, 利润 100, "3星", "1分".
TEST(WavePlan, Plans) {
    const struct {
        const char* name;
        WaveSettings settings;
        std::string expected;
        Show show = Show::rows;
    } cases[] = {
        {"fresh start", {}, "1 1 1 5.000 5.000 9.780 4.780 | 2 _ 2 10.000 5.220 19.560 14.340 | "
         "3 _ 4 20.000 5.660 39.120 33.460 | 4 _ 8 40.000 6.540 78.240 71.700 | "
         "5 _ 16 80.000 8.300 156.480 148.180 end | 6 2 1 5.000 13.300 9.780 -3.520 | "
         "7 _ 2 10.000 13.520 19.560 6.040 | 8 _ 4 20.000 13.960 39.120 25.160 | "
         "9 _ 8 40.000 14.840 78.240 63.400 | 10 _ 16 80.000 16.600 156.480 139.880 end | "
         "11 3 1 5.000 21.600 9.780 -11.820 | 12 _ 2 10.000 21.820 19.560 -2.260 | "
         "13 _ 4 20.000 22.260 39.120 16.860 | 14 _ 8 40.000 23.140 78.240 55.100 | "
         "15 _ 16 80.000 24.900 156.480 131.580 end"},
        // Odds 2000 pay exactly twice the stake: 1 is followed by 3, and 3
        // by 7, because of the single-precision 0.001.
        {"whole quotients lifted", {.fPeilv = 2000.0f, .nBoshu = 1},
         "x 1 3 7 15 31", Show::multipliers},
        {"the first stake too", {.nQishu = 1, .fPeilv = 2000.0f, .nBoshu = 1, .fLirun = 1500.0f, .nMode = 0},
         "1 1 4 2000.000 2000.000 4000.000 2000.000"},
        {"  below a whole quotient", {.nQishu = 1, .fPeilv = 2000.0f, .nBoshu = 1, .fLirun = 1499.0f, .nMode = 0},
         "x 3", Show::multipliers},
        {"1元", {.nMode = 0}, "1 1 1 500.000 500.000 978.000 478.000 | ..."},
        {"1厘", {.nMode = 3}, "1 1 8 4.000 4.000 7.824 3.824 | ..."},
        {"2厘", {.nMode = 7}, "1 1 4 4.000 4.000 7.824 3.824 | ..."},
        // One period wins 478 bets of 0.01 yuan per multiplier: the goals of
        // 100, then 205 and 420 yuan need 21, 43 and 88; no row closes a wave.
        {"one period per wave", {.nQishu = 1},
         "1 1 21 105.000 105.000 205.380 100.380 | 2 2 43 ... | 3 3 88 ..."},
        {"no periods", {.nQishu = 0}, "3 rows, last: 3 3 1 5.000 15.000 9.780 -5.220", Show::last},
        {"no waves", {.nQishu = INT32_MAX, .nBoshu = 0}, ""},
        {"no gain to divide by", {.nQishu = 0, .fLirun = 0.0f}, "x 1 1 1", Show::multipliers},
        {"losing odds stake 1 throughout", {.nZhushu = 999},
         "x 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1", Show::multipliers},
        {"zero odds stake nothing again", {.nQishu = 3, .fPeilv = 0.0f, .nBoshu = 1}, "1 1 1 5.000 5.000 0.000 -5.000 | 2 _ 0 0.000 5.000 0.000 -5.000 | "
         "3 _ 0 0.000 5.000 0.000 -5.000 end"},
        // "5星" pays 195.6 times the stake.
        {"the largest multiplier", {.nBoshu = 1, .nXingshu = 0},
         "x 1 196 38338 7498914 1466787616", Show::multipliers},
        {"the next is too large", {.nQishu = 6, .nBoshu = 1, .nXingshu = 0},
         "! 第1波第6期倍数超过2147483647,无法计算"},
        // With one period per wave the stakes double wave by wave.
        {"26 waves fit", {.nQishu = 1, .nBoshu = 26},
         "26 rows, last: 26 26 1247314129 ...", Show::last},
        {"27 do not", {.nQishu = 1, .nBoshu = 27}, "! 第27波第1期倍数超过2147483647,无法计算"},
        {"a long wave", {.nQishu = kMaxPlanRows, .nBoshu = 1}, "! 第1波第33期倍数超过2147483647,无法计算"},
        {"amounts beyond single precision", {.fPeilv = 3e37f, .nXingshu = 0}, "! 第1波第1期金额超出范围,无法计算"},
        {"too many rows", {.nQishu = 5, .nBoshu = 2001}, "! 波数×推波期数不能超过10000"},
        {"  with no periods", {.nQishu = 0, .nBoshu = 10001}, "! 波数×推波期数不能超过10000"},
        {"  products beyond 32 bits", {.nQishu = INT32_MAX, .nBoshu = 2}, "! 波数×推波期数不能超过10000"},
        {"bets checked", {.nZhushu = 1000}, "! 注数数值只能为(1-999)"},
        {"no star count", {.nXingshu = -1}, "! 请选择星数"},
        {"star count beyond the list", {.nXingshu = 5, .nMode = -1}, "! 请选择星数"},
        {"no mode", {.nMode = -1}, "! 请选择金额模式"},
        {"mode beyond the list", {.nMode = 8}, "! 请选择金额模式"},
        // Extreme inputs give texts, never a NaN or an infinity.
        {"tiny odds", {.fPeilv = 1e-30f}, "..."}, {"a huge goal", {.fLirun = 1e30f}, "..."},
        {"a lost goal", {.nQishu = 7, .fLirun = -100.0f}, "..."},
        {"huge odds at 1星", {.nZhushu = 1, .fPeilv = 3e38f, .nXingshu = 4}, "..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPlanView(view(c.settings, c.show), c.expected);
    }
}

// clang-format on
} // namespace
