#include "stake/segmentstake/segmentstake_plan.h"

#include "stake/common/stake_rules.h"

#include <cmath>
#include <limits>

namespace segmentstake {

using stake::formatFixed;
using stake::formatInt;
using stake::stored;

namespace {

// The amounts of one multiplier unit, derived from the inputs the same way at
// 初始 and at every mark. Every formula runs in double precision from the
// stored single-precision values.
class Stakes {
  public:
    explicit Stakes(const SegmentInputs& inputs)
        : factor_(stake::unitFactor(inputs.modeIndex)),
          divisor_(stake::unitDivisor(inputs.modeIndex)), bets_(inputs.bets),
          scaledOdds_(stake::scaledOdds(static_cast<float>(inputs.odds), inputs.starIndex)),
          profitRate_(stored((static_cast<double>(scaledOdds_) * 0.5 - bets_) / bets_ / divisor_)),
          target_(inputs.targetProfit), hitPeriods_(inputs.hitPeriods) {}

    float cost(std::int32_t m) const {
        return stored(static_cast<double>(m) * factor_ * bets_ / divisor_);
    }
    float prize(std::int32_t m) const {
        return stored(static_cast<double>(m) * factor_ * static_cast<double>(scaledOdds_) * 0.5 /
                      divisor_);
    }
    // What is left of the target spread over the winning draws to come, in
    // multiplier units; not rounded to single precision.
    double quotient(float remainingTarget, std::int64_t remainingHits) const {
        return static_cast<double>(remainingTarget) / static_cast<double>(remainingHits) /
               static_cast<double>(profitRate_) / bets_ / factor_;
    }
    double baseQuotient() const { return quotient(target_, hitPeriods_); }
    float target() const { return target_; }
    std::int64_t hitPeriods() const { return hitPeriods_; }

  private:
    int factor_;
    int divisor_;
    double bets_;
    float scaledOdds_;
    float profitRate_;
    float target_;
    std::int64_t hitPeriods_;
};

// Inputs from which no plan can be tracked: no unit amount (every amount
// would divide by 0), no winning draw to spread the target over (no hit could
// ever complete it), or a first multiplier beyond 32 bits.
std::optional<std::string> refusal(const SegmentInputs& inputs) {
    if (inputs.modeIndex < 0 || inputs.modeIndex > 7)
        return std::string(kNoModeMessage);
    if (inputs.hitPeriods == 0)
        return std::string(kNoHitPeriodsMessage);
    if (!nextMultiplier(Stakes(inputs).baseQuotient()))
        return std::string(kTooLargeMessage);
    return std::nullopt;
}

// The state of one replay of the marks, and the figures of the newest mark.
struct Replay {
    float remainingTarget = 0.0f;
    std::int64_t remainingHits = 0;
    std::int32_t multiplier = 0;
    bool targetReached = false;
    bool failed = false;
    float newestCost = 0.0f;
    float newestPrize = 0.0f;
};

Replay replay(const std::vector<bool>& marks, const SegmentInputs& inputs) {
    const Stakes stakes(inputs);
    // refusal() has made sure that the first multiplier is representable.
    const std::int32_t firstMultiplier = *nextMultiplier(stakes.baseQuotient());
    Replay state;
    const auto restart = [&] {
        state.remainingTarget = stakes.target();
        state.remainingHits = stakes.hitPeriods();
        state.multiplier = firstMultiplier;
    };
    const auto fail = [&] {
        state.failed = true;
        restart();
    };
    restart();

    for (const bool hit : marks) {
        const std::int32_t m = state.multiplier;
        const float cost = stakes.cost(m);
        state.newestCost = cost;
        state.newestPrize = 0.0f;
        if (hit) {
            const float prize = stakes.prize(m);
            state.newestPrize = prize;
            if (--state.remainingHits == 0) {
                state.targetReached = true;
                restart();
                continue;
            }
            state.remainingTarget = stored(static_cast<double>(state.remainingTarget) -
                                           (static_cast<double>(prize) - cost));
            // A hit is not held against the maximum multiplier, but a
            // multiplier beyond 32 bits cannot be played either way.
            const auto next =
                nextMultiplier(stakes.quotient(state.remainingTarget, state.remainingHits));
            if (!next) {
                fail();
                continue;
            }
            state.multiplier = *next;
        } else {
            state.remainingTarget = stored(static_cast<double>(state.remainingTarget) + cost);
            const auto next =
                nextMultiplier(stakes.quotient(state.remainingTarget, state.remainingHits));
            if (!next || static_cast<std::int64_t>(*next) >= inputs.maxMultiplier) {
                fail();
                continue;
            }
            state.multiplier = *next;
        }
    }
    return state;
}

} // namespace

std::string remainingStatus(std::int64_t remainingHits) {
    return "还剩下 " + formatInt(remainingHits) + " 期中完成目标!";
}

std::optional<std::int32_t> nextMultiplier(double quotient) {
    if (!std::isfinite(quotient))
        return 1;
    const double ceiling = std::ceil(quotient);
    if (ceiling <= 0.0)
        return 1;
    if (ceiling > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(ceiling);
}

StepResult SegmentPlan::start(const SegmentInputs& inputs, PlanList& list) {
    list.clearRows();
    marksOpen_ = true;
    StepResult result;
    result.marksOpen = true;
    if (auto message = stake::checkBetCount(inputs.starIndex, inputs.bets)) {
        result.message = std::move(message);
        return result;
    }
    if (auto message = refusal(inputs)) {
        result.message = std::move(message);
        return result;
    }

    const Stakes stakes(inputs);
    const std::int32_t multiplier = *nextMultiplier(stakes.baseQuotient());
    const float cost = stakes.cost(multiplier);
    const std::string costText = formatFixed(cost, 3);
    list.appendRow(PlanRow{{"1", formatInt(multiplier), costText, costText, "", "", ""}});
    marks_.clear();
    cumulativeCost_ = cost;
    cumulativeProfit_ = 0.0f;
    result.status = remainingStatus(stakes.hitPeriods());
    return result;
}

StepResult SegmentPlan::mark(bool hit, const SegmentInputs& inputs, PlanList& list) {
    StepResult result;
    result.marksOpen = marksOpen_;
    if (!marksOpen_) {
        result.message = std::string(kMarksClosedMessage);
        return result;
    }
    if (auto message = refusal(inputs)) {
        result.message = std::move(message);
        return result;
    }

    marks_.push_back(hit);
    const Replay state = replay(marks_, inputs);
    if (state.failed) {
        marksOpen_ = false;
        result.status = std::string(kFailedStatus);
    }

    // The newest row of the list is completed; after an import has emptied
    // the list there is none, and only the cumulative values move on.
    const int newest = list.rowCount() - 1;
    const float cost = state.newestCost;
    if (hit) {
        const float prize = state.newestPrize;
        const double gain = static_cast<double>(prize) - cost;
        cumulativeProfit_ = stored(static_cast<double>(cumulativeProfit_) + gain);
        list.setRowColors(newest, kHitColors);
        list.setCellText(newest, column::kPrize, formatFixed(prize, 3));
        list.setCellText(newest, column::kProfit, formatFixed(gain, 3));
        list.setCellText(newest, column::kCumulativeProfit, formatFixed(cumulativeProfit_, 3));
        if (state.targetReached) {
            marksOpen_ = false;
            result.status = std::string(kSucceededStatus);
        } else {
            // A plan that failed earlier in the replay keeps saying so.
            if (!state.failed)
                result.status = remainingStatus(state.remainingHits);
            appendNextRow(list, state.multiplier, Stakes(inputs).cost(state.multiplier));
        }
    } else {
        cumulativeProfit_ = stored(static_cast<double>(cumulativeProfit_) - cost);
        list.setRowColors(newest, kMissColors);
        list.setCellText(newest, column::kPrize, "0");
        list.setCellText(newest, column::kProfit, "-" + formatFixed(cost, 3));
        list.setCellText(newest, column::kCumulativeProfit, formatFixed(cumulativeProfit_, 3));
        // Also after a failure: the row then shows the restarted multiplier.
        appendNextRow(list, state.multiplier, Stakes(inputs).cost(state.multiplier));
    }
    result.marksOpen = marksOpen_;
    return result;
}

void SegmentPlan::appendNextRow(PlanList& list, std::int32_t multiplier, float cost) {
    cumulativeCost_ = stored(static_cast<double>(cumulativeCost_) + cost);
    list.appendRow(PlanRow{{formatInt(list.rowCount() + 1), formatInt(multiplier),
                            formatFixed(cost, 3), formatFixed(cumulativeCost_, 3), "", "", ""}});
}

void PlanTable::appendRow(const PlanRow& row) {
    rows_.push_back(Row{row.cells, std::nullopt});
}

PlanTable::Row* PlanTable::rowAt(int row) {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &rows_[static_cast<std::size_t>(row)];
}

void PlanTable::setCellText(int row, int column, std::string_view text) {
    Row* target = rowAt(row);
    if (target && column >= 0 && static_cast<std::size_t>(column) < target->cells.size())
        target->cells[static_cast<std::size_t>(column)] = std::string(text);
}

void PlanTable::setRowColors(int row, RowColors colors) {
    if (Row* target = rowAt(row))
        target->colors = colors;
}

} // namespace segmentstake
