// How long the longest plans take: 计算 runs inside the click handler.
#include "stake/stakeladder/stakeladder_plan.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using stakeladder::computePlan;
using stakeladder::LadderInputs;

// Rate mode over 1000 periods: one binary search per period. At "5星" the
// multipliers grow slowly enough for all 1000 periods to be computed.
void BM_ComputePlanRate1000(benchmark::State& state) {
    LadderInputs inputs;
    inputs.periods = 1000;
    inputs.starIndex = 0;
    inputs.ratePercent = 10;
    if (computePlan(inputs).rows.size() != 1000)
        state.SkipWithError("the plan ended before 1000 periods");
    for (auto _ : state)
        benchmark::DoNotOptimize(computePlan(inputs));
    state.SetItemsProcessed(state.iterations() * inputs.periods);
}
BENCHMARK(BM_ComputePlanRate1000);

// A custom list of the longest length, written as ten thousand entries.
void BM_ComputePlanCustom10000(benchmark::State& state) {
    LadderInputs inputs;
    inputs.useCustom = true;
    inputs.customText.clear();
    for (int i = 1; i <= stakeladder::kMaxPlanRows; ++i)
        inputs.customText += std::to_string(i % 1000 + 1) + ",";
    if (computePlan(inputs).rows.size() != stakeladder::kMaxPlanRows)
        state.SkipWithError("the list did not give 10000 rows");
    for (auto _ : state)
        benchmark::DoNotOptimize(computePlan(inputs));
    state.SetItemsProcessed(state.iterations() * stakeladder::kMaxPlanRows);
}
BENCHMARK(BM_ComputePlanCustom10000);

} // namespace
