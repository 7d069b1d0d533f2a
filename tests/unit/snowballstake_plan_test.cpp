#include "stake/snowballstake/snowballstake_plan.h"

#include "plan_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// clang-format off

using namespace snowballstake;

// The note of a plan that ends early follows after " ## ".
std::string view(const SnowballInputs& inputs, Show show) {
    const SnowballResult result = computePlan(inputs);
    std::vector<std::vector<std::string>> rows;
    for (const PlanRow& row : result.plan.rows)
        rows.push_back(row.cells);
    return planView(result.plan.message, rows, show) +
           (result.endNote ? " ## " + *result.endNote : "");
}

// A fresh start is 滚利期数 5, 注数 500, 赔率 1956, 开始倍数 1, "3星", "1分".
const std::string kFiveRows = "1 1 5.000 9.780 4.780 4.780 | 2 1 5.000 9.780 4.780 9.560 | "
                              "3 2 10.000 19.560 9.560 19.120 | 4 4 20.000 39.120 19.120 38.240 | "
                              "5 8 40.000 78.240 38.240 76.480";

TEST(SnowballPlan, Plans) {
    const struct {
        const char* name;
        SnowballInputs inputs;
        std::string expected;
        Show show = Show::rows;
    } cases[] = {
        {"fresh start", {}, kFiveRows},
        // The quotient 31.592 is cut to 31, not rounded.
        {"eight periods", {.rollPeriods = 8}, kFiveRows + " | 6 16 80.000 156.480 76.480 152.960 | "
         "7 31 155.000 303.180 148.180 301.140 | 8 61 305.000 596.580 291.580 592.720"},
        {"1元", {.rollPeriods = 1, .modeIndex = 0}, "1 1 500.000 978.000 478.000 478.000"},
        {"5星", {.rollPeriods = 1, .bets = 50000, .starIndex = 0},
         "1 1 500.000 978.000 478.000 478.000"},
        {"1星", {.rollPeriods = 1, .bets = 5, .starIndex = 4}, "1 1 0.050 0.098 0.048 0.048"},
        {"no star count leaves the odds unscaled", {.rollPeriods = 1, .bets = 5000, .starIndex = -1, .modeIndex = 0},
         "1 1 5000.000 978.000 -4022.000 -4022.000"},
        {"no periods", {.rollPeriods = 0}, ""},
        {"start multiplier 0", {.rollPeriods = kMaxRollPeriods, .startMultiplier = 0},
         "10000 rows, last: 10000 0 0.000 0.000 0.000 0.000", Show::last},
        {"losing odds shrink the multiplier", {.rollPeriods = 13, .odds = 750.0f, .startMultiplier = 10},
         "x 10 7 5 4 3 2 2 1 1 1 1 0 0", Show::multipliers},
        {"negative odds", {.rollPeriods = 6, .odds = -1956.0f}, "x 1 -1 1 -1 1 -1", Show::multipliers},
        // The prize ratio 0.9 is stored as 0.89999998: (50 - 5.0000010) / 5 gives 8.
        {"a quotient just below a whole number", {.rollPeriods = 2, .odds = 900.0f, .startMultiplier = 10},
         "x 10 8", Show::multipliers},
        {"break-even odds", {.rollPeriods = 100, .odds = 1000.0f, .startMultiplier = 3},
         "100 rows, last: 100 3 15.000 15.000 0.000 0.000", Show::last},
        {"a multiplier beyond 32 bits ends the plan", {.rollPeriods = 100},
         "33 rows, last: 33 1171512935 ... ## 第34期的倍数超出计算范围,方案到第33期为止", Show::last},
        {"  not when the plan ends there", {.rollPeriods = 33}, "33 rows, last: 33 1171512935 5857564672.000 11457396736.000 5599831552.000 "
         "11457396736.000", Show::last},
        {"large start multiplier", {.rollPeriods = 2, .startMultiplier = INT32_MAX, .modeIndex = 0},
         "1 2147483647 1073741824000.000 ... ## 第2期的倍数超出计算范围,方案到第1期为止"},
        {"odds beyond single precision", {.bets = 1, .odds = 3.0e38f, .starIndex = 0},
         " ## 第1期的金额超出计算范围,方案到第0期为止"},
        {"  with a start multiplier 0", {.bets = 1, .odds = 3.0e38f, .startMultiplier = 0, .starIndex = 0},
         "..."},
        {"amounts that grow beyond single precision", {.rollPeriods = 40, .bets = 1, .odds = 1.0e37f, .startMultiplier = 1000, .modeIndex = 0},
         "... ## 第...期的金额超出计算范围,方案到第...期为止", Show::last},
        // This calculator's own messages: the 3-star one has no closing parenthesis.
        {"bets, 5星", {.bets = 100000, .starIndex = 0}, "! 注数数值只能为(1-99999)"},
        {"bets, 3星", {.bets = 1000}, "! 注数数值只能为(1-999"},
        {"bets, 1星", {.bets = 10, .starIndex = 4}, "! 注数数值只能为(1-9)"},
        {"no bets without a star count", {.bets = 0, .starIndex = -1}, "! 注数数值必须大于0"},
        {"no mode", {.modeIndex = -1}, "! 请选择金额模式"},
        {"mode beyond the list", {.modeIndex = 8}, "! 请选择金额模式"},
        {"too many periods", {.rollPeriods = kMaxRollPeriods + 1},
         "! 滚利期数数值只能为(1-10000)"},
        // Extreme inputs give texts, never a NaN or an infinity.
        {"zero odds", {.rollPeriods = 60, .odds = 0.0f, .startMultiplier = INT32_MAX}, "..."},
        {"huge odds at 1星", {.rollPeriods = 60, .bets = 1, .odds = 3e38f, .startMultiplier = 1000, .starIndex = 4}, "..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPlanView(view(c.inputs, c.show), c.expected);
    }
}

// clang-format on
} // namespace
