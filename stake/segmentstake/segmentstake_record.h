// What segmentstake hands to the host: the 2040-byte record of kind 5 with
// the inputs of the plan (neither the odds nor the rows).
#pragma once

#include "stake/segmentstake/segmentstake_plan.h"

#include <cstdint>
#include <vector>

namespace segmentstake {

// Kind 5; 最大倍数 at offset 12, 注数 16, 星数 20, 金额模式 24, 中出期数 2032 and
// 目标盈利 (single precision) 2036; every other byte zero.
std::vector<std::uint8_t> buildSegmentRecord(const SegmentInputs& inputs);

} // namespace segmentstake
