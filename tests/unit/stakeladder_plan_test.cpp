#include "stake/stakeladder/stakeladder_plan.h"

#include "plan_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// clang-format off

using namespace stakeladder;

std::string view(const LadderInputs& inputs, Show show = Show::rows) {
    const PlanResult plan = computePlan(inputs);
    std::vector<std::vector<std::string>> rows;
    for (const PlanRow& row : plan.rows)
        rows.push_back(row.cells);
    return planView(plan.message, rows, show);
}

// A fresh start is 赔率 1956, 注数 500, "3星", "1厘", 倍投期数 5, 利润率 1 %,
// 起始倍数 1, 利润金额 100.
TEST(LadderPlan, Plans) {
    const Show x = Show::multipliers, last = Show::last;
    const struct {
        const char* name;
        LadderInputs inputs;
        std::string expected;
        Show show = Show::rows;
    } cases[] = {
        {"rate mode, fresh start", {},
         "1 1 0.5000 0.5000 0.9780 0.4780 95.60% | 2 2 1.0000 1.5000 1.9560 0.4560 30.40% | "
         "3 4 2.0000 3.5000 3.9120 0.4120 11.77% | 4 8 4.0000 7.5000 7.8240 0.3240 4.32% | "
         "5 17 8.5000 16.0000 16.6260 0.6260 3.91%"},
        {"rate mode, 1元, 10 %", {.periods = 8, .modeIndex = 0, .ratePercent = 10},
         "8 rows, last: 8 251 125500.0000 223000.0000 245478.0000 22478.0000 10.08%", last},
        // After lo = mid + 1, lo is taken as soon as it reaches the target.
        {"rate search", {.periods = 6, .ratePercent = 3, .startMultiplier = 4}, "x 4 5 11 23 48 102", x},
        // 96 % is above the 95.6 % of one multiplier: each period takes the top
        // of its range until the next midpoint leaves 32 bits.
        {"unreachable rate", {.periods = 10000, .ratePercent = 96}, "x 1 1001 1003002 1006011006 1006011006", x},
        {"rate mode, no periods", {.periods = INT32_MIN}, "x 1", x},
        {"start multiplier beyond 32 bits", {.startMultiplier = 2147483648u}, ""},
        // The prize is shown from the double value, the net profit from the
        // prize stored in single precision.
        {"amount mode", {.profitType = 1},
         "1 210 105.0000 105.0000 205.3800 100.3800 95.6000% | 2 429 214.5000 319.5000 419.5620 100.0620 31.3183% | "
         "3 878 439.0000 758.5000 858.6840 100.1840 13.2082% | 4 1797 898.5000 1657.0000 1757.4660 100.4659 6.0631% | "
         "5 3676 1838.0000 3495.0000 3595.1280 100.1279 2.8649%"},
        {"amount mode, no periods", {.periods = 0, .profitType = 1}, ""},
        {"amount mode, losing odds", {.bets = 999, .profitType = 1}, ""},
        {"amount mode, prize equals cost", {.bets = 978, .profitType = 1}, ""},
        {"amount mode, start multiplier unused", {.profitType = 1, .startMultiplier = 0}, "5 rows, last: 5 3676 ...", last},
        {"amount mode ends before 32 bits", {.periods = 100, .profitType = 1}, "23 rows, last: 23 1451377342 ...", last},
        {"amount mode, nothing to win", {.periods = 3, .profitType = 1, .profitAmount = 0.0f},
         "3 rows, last: 3 0 0.0000 0.0000 0.0000 0.0000 0.0000%", last},
        {"custom list", {.useCustom = true}, "6 rows, last: 6 32 16.000 31.500 31.296 -0.204 -0.648%", last},
        {"custom ranges", {.useCustom = true, .customText = "5-2, 7"}, "x 2 3 4 5 7", x},
        {"custom, empty", {.useCustom = true, .customText = " ,\r\n"}, ""},
        {"custom, nothing spent", {.useCustom = true, .customText = "0"}, "1 0 0.000 0.000 0.000 0.000 0.000%"},
        {"custom, largest products", {.bets = INT32_MIN, .modeIndex = 4, .starIndex = -1, .useCustom = true,
         .customText = "2147483647"}, "1 2147483647 -9223372032559808512.000 ..."},
        {"custom, 倍投期数 unused", {.periods = INT32_MAX, .useCustom = true, .customText = "1,2"}, "x 1 2", x},
        {"custom, 10000 entries", {.useCustom = true, .customText = "1-10000"}, "10000 rows, last: 10000 10000 ...", last},
        {"odds beyond single precision", {.odds = 3e38f, .starIndex = 0}, ""},
        {"  in the amount mode", {.odds = 3e38f, .starIndex = 0, .profitType = 1}, ""},
        {"  in a custom list", {.odds = 3e38f, .starIndex = 0, .useCustom = true}, ""},
        {"bets checked", {.bets = 1000}, "! 注数数值只能为(1-999)"},
        {"  for a custom list", {.bets = 0, .starIndex = 4, .useCustom = true}, "! 注数数值只能为(1-9)"},
        {"  before the mode", {.bets = 0, .modeIndex = -1}, "! 注数数值只能为(1-999)"},
        {"no mode", {.modeIndex = -1}, "! 请选择模式"},
        {"no mode, custom list", {.modeIndex = -1, .useCustom = true}, "! 请选择模式"},
        {"start multiplier 0", {.startMultiplier = 0}, "! 起始倍数不能为0"},
        {"too many periods", {.periods = 10001}, "! 倍投期数数值只能为(1-10000)"},
        {"  in the amount mode", {.periods = INT32_MAX, .profitType = 1}, "! 倍投期数数值只能为(1-10000)"},
        {"custom list too long", {.useCustom = true, .customText = "1-10000,1"}, "! 自定义倍投最多10000期"},
        {"custom range too long", {.useCustom = true, .customText = "0-2147483647"}, "! 自定义倍投最多10000期"},
        // Extreme inputs give texts, never a NaN or an infinity.
        {"the largest rate and start", {.periods = 10000, .modeIndex = 0, .ratePercent = 4294967295u,
         .startMultiplier = 2147483647u}, "x 2147483647 1 1 2 6 24 120 720 ...", x},
        {"odds 1e6, 2元", {.periods = 300, .odds = 1e6f, .modeIndex = 4, .ratePercent = 95}, "x 1 ...", x},
        {"tiny odds", {.odds = 1e-30f, .profitType = 1}, "..."},
        {"a huge goal", {.profitType = 1, .profitAmount = 3e38f}, "..."},
        {"negative bets without a star count", {.bets = -5, .starIndex = -1, .useCustom = true,
         .customText = "1,2,-3--7,2147483647,0"}, "..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPlanView(view(c.inputs, c.show), c.expected);
    }
}

TEST(LadderPlan, InputsThatGiveTheSamePlan) {
    const std::pair<LadderInputs, LadderInputs> cases[] = {
        // Modes from 8 repeat with factor 2.
        {{.modeIndex = 8, .ratePercent = 10}, {.modeIndex = 4, .ratePercent = 10}},
        {{.modeIndex = 2147483647, .useCustom = true, .customText = "1-5"},
         {.modeIndex = 7, .useCustom = true, .customText = "1-5"}},
        {{.starIndex = -1}, {}}, // no star count leaves the odds unscaled
        {{.profitType = 7}, {}}, // any profit type but 1 is the rate mode
        {{.profitType = -1}, {}},
    };
    for (const auto& [inputs, same] : cases)
        EXPECT_EQ(view(inputs), view(same));
}

TEST(MultiplierList, Entries) {
    const struct {
        std::string_view text;
        std::optional<std::vector<std::int32_t>> expected;
        std::int32_t limit = kMaxPlanRows;
    } cases[] = {
        {"1 2\r\n3-5", {{1, 2, 3, 4, 5}}},  {"4-1", {{1, 2, 3, 4}}},    {" ,,\r\n  ,", {{}}},
        {"3-", {{}}},          {"-3", {{}}},       {"1--1", {{}}},      {"--", {{}}},  // ends missing
        {"1--3", {{-3, -2, -1, 0, 1}}},     {"1-2-3", {{1, 2}}},         {"x", {{0}}},
        {"5x", {{5}}},         {"+5", {{5}}},      {"\t7", {{7}}},      {"1-x", {{0, 1}}},
        {"99999999999", {{2147483647}}},    {"2147483646-99999999999", {{2147483646, 2147483647}}},
        {"1,2,3", {{1, 2, 3}}, 3},          {"1,2,3,4", {}, 3},          {"1 2-4", {}, 3},
        {"1-1000000000", {}},               {"1-9999 5 6", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseMultiplierList(c.text, c.limit), c.expected) << c.text;
}

// clang-format on
} // namespace
