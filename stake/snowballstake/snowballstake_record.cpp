#include "stake/snowballstake/snowballstake_record.h"

#include "stake/common/plan_record.h"

namespace snowballstake {

std::vector<std::uint8_t> buildSnowballRecord(const SnowballInputs& inputs) {
    namespace offset = stake::record_offset;
    stake::PlanRecord record(stake::PlanKind::Snowball);
    record.putInt32(offset::kPeriods, inputs.rollPeriods);
    record.putInt32(offset::kBets, inputs.bets);
    record.putInt32(offset::kStarIndex, inputs.starIndex);
    record.putInt32(offset::kModeIndex, inputs.modeIndex);
    record.putInt32(offset::kStartMultiplier, inputs.startMultiplier);
    return record.bytes();
}

} // namespace snowballstake
