#include "stake/stakeladder/ladder_record.h"

#include "stake/common/plan_record.h"
#include "stake/common/stake_rules.h"

namespace stakeladder {

std::string multiplierText(std::span<const std::string> cells) {
    std::string text;
    for (const std::string& cell : cells) {
        text += stake::formatInt(stake::ceilToInt32(stake::leadingReal(cell)));
        text += ',';
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

std::vector<std::uint8_t> buildLadderRecord(std::int32_t modeIndex, std::string_view multipliers) {
    stake::PlanRecord record(stake::PlanKind::Ladder);
    record.putInt32(stake::record_offset::kModeIndex, modeIndex);
    // The text is digits and commas, the same bytes in UTF-8 and code page 936.
    record.putText(multipliers);
    return record.bytes();
}

} // namespace stakeladder
