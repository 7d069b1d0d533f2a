#include "stake/wavestake/wavestake_plan.h"

#include "stake/common/stake_rules.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace wavestake {

using stake::allFinite;
using stake::formatFixed;
using stake::formatInt;
using stake::stored;

namespace {

const std::string kNoStarMessage = "请选择星数";
const std::string kNoModeMessage = "请选择金额模式";
const std::string kTooManyRowsMessage = "波数×推波期数不能超过" + formatInt(kMaxPlanRows);

// Where a plan cannot go on: the wave and the period within it.
std::string multiplierOverflowMessage(std::int32_t wave, std::int32_t period) {
    return "第" + formatInt(wave) + "波第" + formatInt(period) + "期倍数超过2147483647,无法计算";
}

std::string amountOverflowMessage(std::int32_t wave, std::int32_t period) {
    return "第" + formatInt(wave) + "波第" + formatInt(period) + "期金额超出范围,无法计算";
}

// Multiplying by the single-precision 1000 and then 0.001 lifts a whole
// quotient slightly above itself, so that rounding up takes the next multiplier.
double lifted(double quotient) {
    constexpr double kThousand = 1000.0f;
    constexpr double kThousandth = static_cast<double>(0.001f);
    return quotient * kThousand * kThousandth;
}

// One wave-push plan being built, period by period.
class WaveBuilder {
  public:
    WaveBuilder(const WaveSettings& settings, float scaledOdds)
        : settings_(settings), factor_(stake::unitFactor(settings.nMode)),
          divisor_(stake::unitDivisor(settings.nMode)), bets_(settings.nZhushu),
          payoutRatio_(stored(static_cast<double>(scaledOdds) * 0.5 / bets_)),
          waveGain_(waveGain(settings.nQishu)) {}

    WavePlan build() {
        double waveGoal = settings_.fLirun;
        for (std::int32_t wave = 1; wave <= settings_.nBoshu; ++wave) {
            if (!firstPeriod(wave, waveGoal))
                return refusal();
            for (std::int32_t period = 2; period <= settings_.nQishu; ++period) {
                if (!followingPeriod(wave, period))
                    return refusal();
            }
            waveGoal = static_cast<double>(factor_) * total_ + settings_.fLirun;
        }
        return {std::nullopt, std::move(rows_)};
    }

  private:
    // b x r^n - b, r^n formed by multiplying b by r n times in double
    // precision; 0 without periods. The callers bound n by the plan's length.
    float waveGain(std::int32_t periods) const {
        if (periods <= 0)
            return 0.0f;
        double gain = bets_;
        for (std::int32_t i = 0; i < periods; ++i)
            gain *= payoutRatio_;
        return stored(gain - bets_);
    }

    // The first stake of a wave wins the wave's goal when every period hits.
    // A quotient that is not positive (no gain, or nothing to win) or not a
    // number stakes 1; one beyond 32 bits cannot be played.
    bool firstPeriod(std::int32_t wave, double waveGoal) {
        const double quotient =
            divisor_ * lifted(waveGoal / static_cast<double>(waveGain_) / factor_);
        const double roundedUp = std::ceil(quotient);
        std::int32_t multiplier = 1;
        if (std::isfinite(roundedUp) && roundedUp > 0) {
            const auto representable = stake::int32IfRepresentable(roundedUp);
            if (!representable)
                return refuse(multiplierOverflowMessage(wave, 1));
            multiplier = *representable;
        }
        cost_ = unscaledCost(multiplier);
        total_ = stored(static_cast<double>(total_) + cost_);
        return emit(wave, 1, multiplier);
    }

    // The prize of the previous period staked again, rounded up, the stake
    // topping it up counted in the cumulative cost.
    bool followingPeriod(std::int32_t wave, std::int32_t period) {
        const double quotient =
            divisor_ * lifted(static_cast<double>(cost_) * payoutRatio_ / bets_);
        const auto multiplier = stake::int32IfRepresentable(std::ceil(quotient));
        if (!multiplier)
            return refuse(multiplierOverflowMessage(wave, period));
        cost_ = unscaledCost(*multiplier);
        const double topUp = static_cast<double>(scaledCost()) - prize_;
        total_ = stored(static_cast<double>(total_) + topUp / factor_);
        return emit(wave, period, *multiplier);
    }

    float unscaledCost(std::int32_t multiplier) const {
        return stored(bets_ * multiplier / divisor_);
    }
    float scaledCost() const { return stored(static_cast<double>(factor_) * cost_); }

    // Appends the row of the period just staked; refuses the plan instead when
    // an amount is not finite, so that no cell ever reads "inf" or "nan".
    bool emit(std::int32_t wave, std::int32_t period, std::int32_t multiplier) {
        const float cost = scaledCost();
        prize_ = stored(static_cast<double>(cost) * payoutRatio_);
        const double cumulative = static_cast<double>(factor_) * total_;
        const double profit = static_cast<double>(prize_) - static_cast<double>(stored(cumulative));
        if (!allFinite({static_cast<double>(cost), cumulative, static_cast<double>(prize_), profit,
                        static_cast<double>(stored(cumulative))}))
            return refuse(amountOverflowMessage(wave, period));
        ++rowNumber_;
        rows_.push_back(WaveRow{
            PlanRow{{formatInt(rowNumber_), period == 1 ? formatInt(wave) : std::string(),
                     formatInt(multiplier), formatFixed(cost, 3), formatFixed(cumulative, 3),
                     formatFixed(prize_, 3), formatFixed(profit, 3)}},
            settings_.nQishu > 1 && period == settings_.nQishu,
        });
        return true;
    }

    bool refuse(std::string message) {
        message_ = std::move(message);
        return false;
    }
    WavePlan refusal() { return {std::move(message_), {}}; }

    const WaveSettings& settings_;
    const int factor_;
    const int divisor_;
    const double bets_;
    const float payoutRatio_;
    const float waveGain_;

    float total_ = 0.0f; // cumulative cost in units of the unit factor
    float cost_ = 0.0f;  // unscaled cost of the last period
    float prize_ = 0.0f; // prize of the last period
    std::int32_t rowNumber_ = 0;
    std::vector<WaveRow> rows_;
    std::optional<std::string> message_;
};

} // namespace

WavePlan computeWavePlan(const WaveSettings& settings) {
    if (auto message = stake::checkBetCount(settings.nXingshu, settings.nZhushu))
        return {std::move(message), {}};
    // A star count or mode outside the lists (no item selected after a
    // settings file named one) leaves the bets unchecked or the unit divisor 0.
    if (!stake::maxBetCount(settings.nXingshu))
        return {kNoStarMessage, {}};
    if (settings.nMode < 0 || settings.nMode >= static_cast<int>(stake::kUnitModeItems.size()))
        return {kNoModeMessage, {}};
    if (settings.nBoshu <= 0)
        return {};
    const std::int64_t periodsPerWave = std::max(settings.nQishu, 1);
    if (settings.nBoshu * periodsPerWave > kMaxPlanRows)
        return {kTooManyRowsMessage, {}};

    const float odds = stake::scaledOdds(settings.fPeilv, settings.nXingshu);
    return WaveBuilder(settings, odds).build();
}

} // namespace wavestake
