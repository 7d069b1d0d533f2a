#include "stake/snowballstake/snowballstake_plan.h"

#include <cmath>
#include <initializer_list>

namespace snowballstake {

using stake::allFinite;
using stake::formatFixed;
using stake::formatInt;
using stake::stored;

namespace {

const std::string kNoModeMessage = "请选择金额模式";
const std::string kNoBetsMessage = "注数数值必须大于0";
const std::string kRollPeriodsMessage = "滚利期数数值只能为(1-" + formatInt(kMaxRollPeriods) + ")";

constexpr int kUnitModeCount = static_cast<int>(stake::kUnitModeItems.size());

std::string endNote(std::int32_t period, std::string_view what) {
    return "第" + formatInt(period) + "期的" + std::string(what) + "超出计算范围,方案到第" +
           formatInt(std::int64_t{period} - 1) + "期为止";
}

class Snowball {
  public:
    explicit Snowball(const SnowballInputs& inputs)
        : bets_(inputs.bets), divisor_(stake::unitDivisor(inputs.modeIndex)),
          factor_(stake::unitFactor(inputs.modeIndex)),
          prizeRatio_(stored(static_cast<double>(stake::scaledOdds(inputs.odds, inputs.starIndex)) *
                             0.5 / inputs.bets)),
          unitStake_(static_cast<double>(inputs.bets) / divisor_ * factor_),
          base_(stakeOf(inputs.startMultiplier)) {}

    // bets x m / unitDivisor x unitFactor; the product is exact in double
    // precision for every pair of 32-bit values, so it cannot wrap.
    double stakeOf(std::int32_t multiplier) const {
        return static_cast<double>(std::int64_t{bets_} * multiplier) / divisor_ * factor_;
    }

    float prizeRatio() const { return prizeRatio_; }

    // The next multiplier: the start stake plus the whole profit so far, in
    // stakes of one multiplier, cut toward zero. Nothing when that is not a
    // signed 32-bit integer.
    std::optional<std::int32_t> nextMultiplier(float cumulativeProfit) const {
        return stake::int32IfRepresentable((base_ + cumulativeProfit) / unitStake_);
    }

  private:
    std::int32_t bets_;
    int divisor_;
    int factor_;
    float prizeRatio_;
    double unitStake_;
    double base_;
};

std::optional<std::string> refusal(const SnowballInputs& inputs) {
    if (auto message =
            stake::checkBetCount(inputs.starIndex, inputs.bets, kSnowballBetCountMessages))
        return message;
    // No star count selected skips the range check; a bets count below 1 would
    // still divide the prize ratio by 0 or turn every stake around.
    if (inputs.bets < 1)
        return kNoBetsMessage;
    // No mode selected (the settings file named a mode the list does not have):
    // the unit divisor would be 0.
    if (inputs.modeIndex < 0 || inputs.modeIndex >= kUnitModeCount)
        return kNoModeMessage;
    if (inputs.rollPeriods > kMaxRollPeriods)
        return kRollPeriodsMessage;
    return std::nullopt;
}

} // namespace

SnowballResult computePlan(const SnowballInputs& inputs) {
    SnowballResult result;
    if (auto message = refusal(inputs)) {
        result.plan.message = std::move(message);
        return result;
    }

    const Snowball snowball(inputs);
    const double prizeRatio = snowball.prizeRatio();
    std::vector<PlanRow>& rows = result.plan.rows;
    float cumulativeProfit = 0.0f;
    std::int32_t multiplier = inputs.startMultiplier;
    for (std::int32_t period = 1; period <= inputs.rollPeriods; ++period) {
        const float cost = stored(snowball.stakeOf(multiplier));
        const double prize = cost * prizeRatio;
        const float storedPrize = stored(prize);
        const float profit = stored(prize - cost);
        const float nextCumulative = stored(static_cast<double>(cumulativeProfit) + profit);
        // No cell ever reads "inf" or "nan": the plan ends before such a row.
        if (!allFinite({cost, storedPrize, profit, nextCumulative})) {
            result.endNote = endNote(period, "金额");
            break;
        }
        cumulativeProfit = nextCumulative;
        rows.push_back(PlanRow{{formatInt(period), formatInt(multiplier), formatFixed(cost, 3),
                                formatFixed(storedPrize, 3), formatFixed(profit, 3),
                                formatFixed(cumulativeProfit, 3)}});
        if (period == inputs.rollPeriods)
            break;
        // A multiplier beyond 32 bits ends the plan instead of wrapping.
        const auto next = snowball.nextMultiplier(cumulativeProfit);
        if (!next) {
            result.endNote = endNote(period + 1, "倍数");
            break;
        }
        multiplier = *next;
    }
    return result;
}

} // namespace snowballstake
