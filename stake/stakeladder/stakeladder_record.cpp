#include "stake/stakeladder/stakeladder_record.h"

#include "stake/common/multiplier_text.h"
#include "stake/common/plan_record.h"

namespace stakeladder {

std::string multiplierText(std::span<const std::string> cells) {
    return stake::multipliersInRow(cells);
}

std::vector<std::uint8_t> buildLadderRecord(std::int32_t modeIndex, std::string_view multipliers) {
    stake::PlanRecord record(stake::PlanKind::Ladder);
    record.putInt32(stake::record_offset::kModeIndex, modeIndex);
    // The text is digits and commas, the same bytes in UTF-8 and code page 936.
    record.putText(multipliers);
    return record.bytes();
}

} // namespace stakeladder
