// The filters' recompute written the plain way: the start set, the
// must-contain pass, then one full pass over the candidates for every ticked
// box, each property computed from the digits. NumberSieve must agree with
// it on every criteria set; the tests use it as their oracle and the filter
// benchmarks as their baseline.
#pragma once

#include "sieve/common/base_set.h"
#include "sieve/common/sieve_criteria.h"
#include "sieve/common/sieve_design.h"

#include <cstdint>
#include <vector>

namespace sieve {

// One kill flag per candidate (1 = killed).
std::vector<std::uint8_t> recomputePerBox(const FilterDesign& design, const SieveCriteria& criteria,
                                          const BaseSet& base);

} // namespace sieve
