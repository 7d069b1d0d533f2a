// What stakeladder hands on: the multiplier text copied to the clipboard and
// sent to the host, and the 2032-byte record of kind 1 that carries it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stakeladder {

// A column of the plan list as one text: each cell read by the atof rule,
// rounded up to an integer and written "%d,", all joined and the last
// character removed ("1,2,4,8,17"); empty for an empty list.
std::string multiplierText(std::span<const std::string> cells);

// The hand-off record: kind 1, the unit-amount mode at offset 24 and the
// multiplier text at offset 28 (at most 2000 bytes); every other byte zero.
std::vector<std::uint8_t> buildLadderRecord(std::int32_t modeIndex, std::string_view multipliers);

} // namespace stakeladder
