// What snowballstake hands to the host: the 2032-byte record of kind 3
// (`SnowballHandoff`) with the plan's inputs; neither the odds nor the rows.
#pragma once

#include "stake/snowballstake/snowballstake_plan.h"

#include <cstdint>
#include <vector>

namespace snowballstake {

// Kind 3; 滚利期数 at offset 12, 注数 at 16, the star index at 20, the mode
// index at 24, 开始倍数 at 2028; every other byte zero.
std::vector<std::uint8_t> buildSnowballRecord(const SnowballInputs& inputs);

} // namespace snowballstake
