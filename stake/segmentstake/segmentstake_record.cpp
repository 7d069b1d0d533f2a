#include "stake/segmentstake/segmentstake_record.h"

#include "stake/common/plan_record.h"

namespace segmentstake {

std::vector<std::uint8_t> buildSegmentRecord(const SegmentInputs& inputs) {
    using namespace stake::record_offset;
    stake::PlanRecord record(stake::PlanKind::Segment);
    record.putUint32(kPeriods, inputs.maxMultiplier);
    record.putUint32(kBets, inputs.bets);
    record.putInt32(kStarIndex, inputs.starIndex);
    record.putInt32(kModeIndex, inputs.modeIndex);
    record.putUint32(kHitPeriods, inputs.hitPeriods);
    record.putFloat(kTargetProfit, inputs.targetProfit);
    return record.bytes();
}

} // namespace segmentstake
