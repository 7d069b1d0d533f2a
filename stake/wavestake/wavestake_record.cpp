#include "stake/wavestake/wavestake_record.h"

#include "stake/common/plan_record.h"

namespace wavestake {

std::vector<std::uint8_t> buildWaveRecord(const WaveSettings& settings) {
    namespace offset = stake::record_offset;
    stake::PlanRecord record(stake::PlanKind::Wave);
    record.putInt32(offset::kWaves, settings.nBoshu);
    record.putFloat(offset::kProfitGoal, settings.fLirun);
    record.putInt32(offset::kPeriods, settings.nQishu);
    record.putInt32(offset::kBets, settings.nZhushu);
    record.putInt32(offset::kStarIndex, settings.nXingshu);
    record.putInt32(offset::kModeIndex, settings.nMode);
    return record.bytes();
}

} // namespace wavestake
