#include "stake/stakeladder/stakeladder_plan.h"

#include "stake/common/stake_rules.h"

#include <algorithm>
#include <cmath>

namespace stakeladder {

using stake::allFinite;
using stake::formatFixed;
using stake::formatInt;
using stake::formatPercent;
using stake::stored;

namespace {

const std::string kNoModeMessage = "请选择模式";
const std::string kNoStartMultiplierMessage = "起始倍数不能为0";
const std::string kPeriodsMessage = "倍投期数数值只能为(1-" + formatInt(kMaxPlanRows) + ")";
const std::string kCustomLimitMessage = "自定义倍投最多" + formatInt(kMaxPlanRows) + "期";

// A return rate is shown as 0 when nothing has been spent yet (a multiplier of
// 0), rather than as the 0/0 it would be.
double returnRate(float netProfit, float cumulativeCost) {
    if (cumulativeCost == 0.0f)
        return 0.0;
    return static_cast<double>(netProfit) / cumulativeCost * 100.0;
}

// The common figures of a row once its amounts are known. A row whose amounts
// are not finite ends the plan before it: no cell ever reads "inf" or "nan".
struct RowFigures {
    double cost;       // shown text of the period's cost
    float cumulative;  // stored cumulative cost
    double prize;      // shown text of the prize
    float storedPrize; // stored prize
};

struct RowFormats {
    int amountDecimals;
    int rateDecimals;
};

std::optional<PlanRow> makeRow(std::int32_t period, std::int32_t multiplier,
                               const RowFigures& figures, RowFormats formats) {
    const double netProfit = static_cast<double>(figures.storedPrize) - figures.cumulative;
    const float storedNetProfit = stored(netProfit);
    const double rate = returnRate(storedNetProfit, figures.cumulative);
    if (!allFinite({figures.cost, static_cast<double>(figures.cumulative), figures.prize,
                    static_cast<double>(figures.storedPrize), netProfit,
                    static_cast<double>(storedNetProfit), rate}))
        return std::nullopt;
    return PlanRow{{formatInt(period), formatInt(multiplier),
                    formatFixed(figures.cost, formats.amountDecimals),
                    formatFixed(figures.cumulative, formats.amountDecimals),
                    formatFixed(figures.prize, formats.amountDecimals),
                    formatFixed(netProfit, formats.amountDecimals),
                    formatPercent(rate, formats.rateDecimals)}};
}

// ---- Custom list ------------------------------------------------------------

// Each part of a range, and each plain entry, is read by the atoi rule (which
// saturates instead of overflowing). A range end that is empty or reads as -1
// is missing, and the range then gives nothing.
std::optional<std::int32_t> rangeEnd(std::string_view part) {
    if (part.empty())
        return std::nullopt;
    const std::int32_t value = stake::leadingInt(part);
    if (value == -1)
        return std::nullopt;
    return value;
}

std::vector<PlanRow> customPlan(const std::vector<std::int32_t>& multipliers, int modeIndex,
                                std::int32_t bets, float odds) {
    const int factor = stake::unitFactor(modeIndex);
    const double step = stake::unitStep(modeIndex);
    std::vector<PlanRow> rows;
    rows.reserve(multipliers.size());
    float cumulative = 0.0f;
    std::int32_t period = 0;
    for (const std::int32_t multiplier : multipliers) {
        ++period;
        // The stake count is not a 32-bit product, which would wrap into wrong
        // amounts for large multipliers: bets x multiplier is exact in 64 bits,
        // and doubling it in double precision is exact too, so even unchecked
        // bets (a star count outside the list) cannot overflow it.
        const std::int64_t betsTimesMultiplier = std::int64_t{bets} * multiplier;
        const double stakeCount = static_cast<double>(betsTimesMultiplier) * factor;
        const double cost = stakeCount * step;
        const double prize = static_cast<double>(multiplier) * factor * step * odds * 0.5;
        const float nextCumulative = stored(cumulative + cost);
        auto row =
            makeRow(period, multiplier, {cost, nextCumulative, prize, stored(prize)}, {3, 3});
        if (!row)
            break;
        cumulative = nextCumulative;
        rows.push_back(std::move(*row));
    }
    return rows;
}

// ---- Amount mode ------------------------------------------------------------

std::vector<PlanRow> amountPlan(const LadderInputs& inputs, float odds) {
    const int factor = stake::unitFactor(inputs.modeIndex);
    const int divisor = stake::unitDivisor(inputs.modeIndex);
    const double bets = inputs.bets;
    const float profitRate = stored((odds * 0.5 - bets) / bets / divisor);

    std::vector<PlanRow> rows;
    float cumulative = 0.0f;
    for (std::int32_t period = 1; period <= inputs.periods; ++period) {
        const double quotient =
            (static_cast<double>(cumulative) + inputs.profitAmount) / profitRate / bets / factor;
        // A quotient that is not finite or beyond a signed 32-bit integer ends
        // the plan like a negative one, instead of wrapping into a multiplier.
        const auto multiplier = stake::int32IfRepresentable(std::ceil(quotient));
        if (!multiplier || *multiplier < 0)
            break;
        const double cost = bets * *multiplier * factor / divisor;
        const float nextCumulative = stored(cumulative + cost);
        const double prize = static_cast<double>(*multiplier) * factor * odds * 0.5 / divisor;
        auto row =
            makeRow(period, *multiplier, {cost, nextCumulative, prize, stored(prize)}, {4, 4});
        if (!row)
            break;
        cumulative = nextCumulative;
        rows.push_back(std::move(*row));
    }
    return rows;
}

// ---- Rate mode --------------------------------------------------------------

// Integer arithmetic of the multiplier search, which wraps as 32-bit integers do.
std::int32_t wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

class RateLadder {
  public:
    RateLadder(const LadderInputs& inputs, float odds)
        : factor_(stake::unitFactor(inputs.modeIndex)),
          unitCost_(
              stored(static_cast<double>(inputs.bets) / stake::unitDivisor(inputs.modeIndex))),
          prizeRatio_(stored(odds * 0.5 / stake::unitDivisor(inputs.modeIndex) /
                             static_cast<double>(unitCost_))),
          targetRate_(
              stored(static_cast<double>(inputs.ratePercent) * static_cast<double>(0.01f))) {}

    double unstoredCost(std::int32_t j) const {
        return static_cast<double>(j) * factor_ * static_cast<double>(unitCost_);
    }
    float cost(std::int32_t j) const { return stored(unstoredCost(j)); }
    float prize(std::int32_t j) const {
        return stored(static_cast<double>(j) * factor_ * static_cast<double>(prizeRatio_) *
                      static_cast<double>(unitCost_));
    }

    // The return of a win at multiplier j after spending `spent` before it.
    double returnOf(std::int32_t j, float spent) const {
        const double total = unstoredCost(j) + spent;
        return (static_cast<double>(prize(j)) - total) / total;
    }

    // The multiplier of a period after the first: a binary search from the
    // previous multiplier p up to (k + 1) * p for the smallest multiplier whose
    // return reaches the target. Nothing when a midpoint turns negative.
    std::optional<std::int32_t> nextMultiplier(std::int32_t p, std::int32_t k, float spent,
                                               bool secondPeriod) const {
        std::int32_t lo = p;
        std::int32_t hi = wrap32(std::int64_t{wrap32(std::int64_t{k} + 1)} * p);
        // Only 32-bit overflow empties the range.
        if (hi < lo)
            return secondPeriod ? factor_ : p;
        const double target = targetRate_;
        std::int32_t mid = lo;
        while (lo <= hi) {
            mid = wrap32(std::int64_t{lo} + hi) / 2;
            if (mid < 0)
                return std::nullopt;
            const double r = returnOf(mid, spent);
            if (r == target)
                return mid;
            if (r > target) {
                hi = mid - 1;
            } else {
                // The candidate just above mid is tried at once, even when it
                // has just passed hi.
                lo = wrap32(std::int64_t{mid} + 1);
                if (returnOf(lo, spent) >= target)
                    return lo;
            }
        }
        return mid;
    }

  private:
    int factor_;
    float unitCost_;
    float prizeRatio_;
    float targetRate_;
};

std::vector<PlanRow> ratePlan(const LadderInputs& inputs, float odds) {
    std::vector<PlanRow> rows;
    // A start multiplier beyond a signed 32-bit integer cannot be represented:
    // the plan ends before its first period.
    if (inputs.startMultiplier > static_cast<std::uint32_t>(INT32_MAX))
        return rows;
    const RateLadder ladder(inputs, odds);
    const RowFormats formats{4, 2};

    std::int32_t multiplier = static_cast<std::int32_t>(inputs.startMultiplier);
    float cumulative = ladder.cost(multiplier);
    auto first = makeRow(
        1, multiplier,
        {ladder.cost(multiplier), cumulative, ladder.prize(multiplier), ladder.prize(multiplier)},
        formats);
    if (!first)
        return rows;
    rows.push_back(std::move(*first));

    std::int32_t growth = 1000;
    for (std::int32_t period = 2; period <= inputs.periods; ++period) {
        const std::int32_t previous = multiplier;
        const auto next = ladder.nextMultiplier(previous, growth, cumulative, period == 2);
        if (!next || *next < 0)
            break;
        const float cost = ladder.cost(*next);
        const float nextCumulative = stored(static_cast<double>(cost) + cumulative);
        const float prize = ladder.prize(*next);
        auto row = makeRow(period, *next, {cost, nextCumulative, prize, prize}, formats);
        if (!row)
            break;
        rows.push_back(std::move(*row));
        cumulative = nextCumulative;
        multiplier = *next;
        // Both multipliers are at least 1 here, so the ratio is defined.
        growth = previous > 0 ? multiplier / previous : 0;
    }
    return rows;
}

} // namespace

std::optional<std::vector<std::int32_t>> parseMultiplierList(std::string_view text,
                                                             std::int32_t limit) {
    // A list is at most `limit` entries long: reading stops as soon as the text
    // denotes more, so that a range such as 1-1000000000 is never expanded.
    std::vector<std::int32_t> entries;
    const auto isSeparator = [](char c) { return c == ',' || c == ' ' || c == '\r' || c == '\n'; };
    std::size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && isSeparator(text[position]))
            ++position;
        std::size_t end = position;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        if (end == position)
            break;
        const std::string_view token = text.substr(position, end - position);
        position = end;

        const std::size_t dash = token.find('-');
        if (dash == std::string_view::npos) {
            if (entries.size() >= static_cast<std::size_t>(std::max(limit, 0)))
                return std::nullopt;
            entries.push_back(stake::leadingInt(token));
            continue;
        }
        const auto first = rangeEnd(token.substr(0, dash));
        const auto last = rangeEnd(token.substr(dash + 1));
        if (!first || !last)
            continue;
        const std::int64_t low = std::min(*first, *last);
        const std::int64_t high = std::max(*first, *last);
        if (high - low + 1 > std::int64_t{limit} - static_cast<std::int64_t>(entries.size()))
            return std::nullopt;
        for (std::int64_t value = low; value <= high; ++value)
            entries.push_back(static_cast<std::int32_t>(value));
    }
    return entries;
}

PlanResult computePlan(const LadderInputs& inputs) {
    const float odds = stake::scaledOdds(inputs.odds, inputs.starIndex);
    if (auto message = stake::checkBetCount(inputs.starIndex, inputs.bets))
        return {std::move(message), {}};
    // No mode selected (the dialog reads -1 after a settings file named a mode
    // outside the list): every amount would divide by a unit divisor of 0.
    if (inputs.modeIndex < 0)
        return {kNoModeMessage, {}};

    if (inputs.useCustom) {
        const auto multipliers = parseMultiplierList(inputs.customText);
        if (!multipliers)
            return {kCustomLimitMessage, {}};
        return {std::nullopt, customPlan(*multipliers, inputs.modeIndex, inputs.bets, odds)};
    }

    // A plan is at most kMaxPlanRows periods long; 0 or fewer periods keep their
    // meaning (no rows in the amount mode, the first period in the rate mode).
    if (inputs.periods > kMaxPlanRows)
        return {kPeriodsMessage, {}};
    if (inputs.profitType == 1)
        return {std::nullopt, amountPlan(inputs, odds)};

    // The rate mode needs a first multiplier of at least 1: a period 1 of cost
    // 0 has no return, and the growth ratio would divide by 0.
    if (inputs.startMultiplier == 0)
        return {kNoStartMultiplierMessage, {}};
    return {std::nullopt, ratePlan(inputs, odds)};
}

} // namespace stakeladder
