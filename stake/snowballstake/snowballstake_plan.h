// The snowball plan (滚雪球) of snowballstake: how the stake grows when every
// draw wins and the whole profit so far is staked again (滚利). Each draw's
// multiplier, cost, prize, profit and total profit, from a start multiplier.
#pragma once

#include "stake/common/plan_row.h"
#include "stake/common/stake_rules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snowballstake {

using stake::PlanResult;
using stake::PlanRow;

// The longest plan. Without a bound a plan whose profit is 0 (break-even odds,
// or a start multiplier of 0) would run for as many rows as 滚利期数 says.
inline constexpr std::int32_t kMaxRollPeriods = 10000;

// The columns of the plan list.
inline constexpr std::string_view kSnowballColumnLayout =
    "序号,40;倍数,100;成本,150;中奖,120;收益,120;总收益,120;";

// The bets check of this calculator: its 3-star message has no closing
// parenthesis.
inline constexpr stake::BetCountMessages kSnowballBetCountMessages{
    "注数数值只能为(1-99999)", "注数数值只能为(1-9999)", "注数数值只能为(1-999",
    "注数数值只能为(1-99)",    "注数数值只能为(1-9)",
};

// The dialog's fields; the initial values are those of a fresh start.
struct SnowballInputs {
    std::int32_t rollPeriods = 5;     // 滚利期数
    std::int32_t bets = 500;          // 注数
    float odds = 1956.0f;             // 赔率, quoted for 3 stars at a 2-yuan unit
    std::int32_t startMultiplier = 1; // 开始倍数
    std::int32_t starIndex = 2;       // 星数: "3星"
    std::int32_t modeIndex = 2;       // 金额模式: "1分"

    friend bool operator==(const SnowballInputs&, const SnowballInputs&) = default;
};

struct SnowballResult {
    // The refusal message, or the rows in order.
    PlanResult plan;
    // Set when the plan ends before 滚利期数 because the next draw cannot be
    // represented (a multiplier beyond a signed 32-bit integer, an amount beyond
    // single precision): what the dialog tells the user after showing the rows.
    std::optional<std::string> endNote;
};

// 计算: the rows 1 to rollPeriods, or the message that refuses the inputs.
SnowballResult computePlan(const SnowballInputs& inputs);

} // namespace snowballstake
