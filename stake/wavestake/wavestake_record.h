// What wavestake hands on: the multiplier texts copied to the clipboard and
// the 2032-byte record of kind 2 that carries the inputs to the host.
#pragma once

#include "stake/wavestake/wavestake_plan.h"

#include <cstdint>
#include <vector>

namespace wavestake {

// Kind 2, then 波数, 利润 (single precision), 推波期数, 注数, the star index
// and the mode index at offsets 4-24; every other byte zero. The odds and the
// plan are not part of it.
std::vector<std::uint8_t> buildWaveRecord(const WaveSettings& settings);

} // namespace wavestake
