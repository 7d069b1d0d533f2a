// The doubling plan (倍投方案) of stakeladder: from the bets bought every draw,
// the odds, the star count, the unit amount and a profit goal, the multiplier of
// each period with its cost, cumulative cost, prize, net profit and return.
#pragma once

#include "stake/common/plan_row.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stakeladder {

using stake::PlanResult;
using stake::PlanRow;

// The longest plan: the most periods and the most custom-list entries.
inline constexpr std::int32_t kMaxPlanRows = 10000;

// The columns of the plan list.
inline constexpr std::string_view kLadderColumnLayout =
    "期数,40;当前倍数,80;当前成本,80;累计成本,100;中奖奖金,80;纯利润,80;收益率,80;";

// The dialog's fields; the initial values are those of a fresh start.
struct LadderInputs {
    std::int32_t periods = 5;          // 倍投期数
    float odds = 1956.0f;              // 赔率, quoted for 3 stars at a 2-yuan unit
    std::int32_t bets = 500;           // 注数
    std::int32_t modeIndex = 3;        // 模式: "1厘"
    std::int32_t starIndex = 2;        // 星数: "3星"
    std::int32_t profitType = 0;       // 1: 利润金额 (amount mode); else 利润率 (rate mode)
    std::uint32_t ratePercent = 1;     // 利润率 (%)
    std::uint32_t startMultiplier = 1; // 起始倍数
    float profitAmount = 100.0f;       // 利润金额
    bool useCustom = false;            // 自定义倍投
    std::string customText = "1,2,4,8,16,32";

    friend bool operator==(const LadderInputs&, const LadderInputs&) = default;
};

// The message shown instead of a plan, or the rows of the plan in order (which
// may end early when a multiplier cannot be represented).
PlanResult computePlan(const LadderInputs& inputs);

// The multipliers a custom list denotes: entries separated by commas, spaces
// and line breaks; "a-b" stands for every integer from the smaller end to the
// larger. Nothing when the list denotes more than `limit` entries (reading stops
// as soon as that is known).
std::optional<std::vector<std::int32_t>> parseMultiplierList(std::string_view text,
                                                             std::int32_t limit = kMaxPlanRows);

} // namespace stakeladder
