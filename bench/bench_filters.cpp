// What a click in sieve5 costs: the recompute of 100000 candidates runs in
// the tile's release handler. Each case runs the engine and, as the
// baseline, the per-box definition (one full pass per ticked box).
#include "sieve/common/number_sieve.h"
#include "sieve/common/per_box_sieve.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <benchmark/benchmark.h>

namespace {

using sieve::NumberSieve;
using sieve::SieveCriteria;

// All 219 kill boxes ticked, the must-contain rule on with several digits
// and hit counts.
SieveCriteria worstCase() {
    SieveCriteria criteria = SieveCriteria::startState(sieve5::kDesign);
    for (std::size_t g = 0; g < sieve5::kDesign.groups.size(); ++g) {
        for (int box = 0; box < sieve5::kDesign.groups[g].boxCount; ++box)
            criteria.tick(static_cast<int>(g), box);
    }
    criteria.mustContain = {true, 0b1000100110, 0b011110, false};
    return criteria;
}

// Five groups with a few boxes each.
SieveCriteria typical() {
    SieveCriteria criteria = SieveCriteria::startState(sieve5::kDesign);
    criteria.tick(sieve5::kTenThousands, 3);
    criteria.tick(sieve5::kTenThousands, 7);
    criteria.tick(sieve5::kUnits, 0);
    criteria.tick(sieve5::kSum, 10);
    criteria.tick(sieve5::kSum, 11);
    criteria.tick(sieve5::kSum, 30);
    criteria.tick(sieve5::kSpan, 9);
    criteria.tick(sieve5::kForm, 6);
    criteria.tick(sieve5::kForm, 5);
    return criteria;
}

int tickedBoxes(const SieveCriteria& criteria) {
    int boxes = 0;
    for (const std::uint64_t mask : criteria.ticked)
        boxes += __builtin_popcountll(mask);
    return boxes;
}

void runEngine(benchmark::State& state, const SieveCriteria& criteria) {
    NumberSieve sieve(sieve5::kDesign);
    for (auto _ : state) {
        sieve.recompute(criteria);
        benchmark::DoNotOptimize(sieve.keptCount());
    }
    state.counters["boxes"] = tickedBoxes(criteria);
    state.counters["kept"] = sieve.keptCount();
    state.SetItemsProcessed(state.iterations() * sieve.candidates());
}

void runPerBox(benchmark::State& state, const SieveCriteria& criteria) {
    const sieve::BaseSet noBase;
    for (auto _ : state)
        benchmark::DoNotOptimize(sieve::recomputePerBox(sieve5::kDesign, criteria, noBase));
    state.SetItemsProcessed(state.iterations() * sieve5::kDesign.candidates());
}

void BM_Sieve5WorstCase(benchmark::State& state) {
    runEngine(state, worstCase());
}
BENCHMARK(BM_Sieve5WorstCase)->Unit(benchmark::kMicrosecond);

void BM_Sieve5WorstCasePerBox(benchmark::State& state) {
    runPerBox(state, worstCase());
}
BENCHMARK(BM_Sieve5WorstCasePerBox)->Unit(benchmark::kMicrosecond);

void BM_Sieve5Typical(benchmark::State& state) {
    runEngine(state, typical());
}
BENCHMARK(BM_Sieve5Typical)->Unit(benchmark::kMicrosecond);

void BM_Sieve5TypicalPerBox(benchmark::State& state) {
    runPerBox(state, typical());
}
BENCHMARK(BM_Sieve5TypicalPerBox)->Unit(benchmark::kMicrosecond);

// The text of all 100000 numbers (600000 characters).
void BM_Sieve5NumberList(benchmark::State& state) {
    NumberSieve sieve(sieve5::kDesign);
    for (auto _ : state)
        benchmark::DoNotOptimize(sieve.numberList());
    state.SetBytesProcessed(state.iterations() * 600000);
}
BENCHMARK(BM_Sieve5NumberList)->Unit(benchmark::kMicrosecond);

// Loading a pasted base set of all 100000 numbers, ten a line.
void BM_Sieve5LoadBaseSet(benchmark::State& state) {
    NumberSieve source(sieve5::kDesign);
    std::string text;
    const std::string list = source.numberList();
    for (std::size_t at = 0, n = 0; at < list.size(); at += 6, ++n)
        text += list.substr(at, 6) + (n % 10 == 9 ? "\r\n" : "");
    NumberSieve sieve(sieve5::kDesign);
    for (auto _ : state)
        benchmark::DoNotOptimize(sieve.loadBaseSet(text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_Sieve5LoadBaseSet)->Unit(benchmark::kMicrosecond);

// Building the sieve (its precomputed keys) when the dialog starts.
void BM_Sieve5Construct(benchmark::State& state) {
    for (auto _ : state) {
        NumberSieve sieve(sieve5::kDesign);
        benchmark::DoNotOptimize(sieve.keptCount());
    }
    NumberSieve sieve(sieve5::kDesign);
    state.counters["state_bytes"] = static_cast<double>(sieve.stateBytes());
}
BENCHMARK(BM_Sieve5Construct)->Unit(benchmark::kMicrosecond);

void BM_Sieve4WorstCase(benchmark::State& state) {
    SieveCriteria criteria = SieveCriteria::startState(sieve4::kDesign);
    for (std::size_t g = 0; g < sieve4::kDesign.groups.size(); ++g) {
        for (int box = 0; box < sieve4::kDesign.groups[g].boxCount; ++box)
            criteria.tick(static_cast<int>(g), box);
    }
    criteria.mustContain = {true, 0b1000100110, 0b01110, false};
    NumberSieve sieve(sieve4::kDesign);
    for (auto _ : state) {
        sieve.recompute(criteria);
        benchmark::DoNotOptimize(sieve.keptCount());
    }
}
BENCHMARK(BM_Sieve4WorstCase)->Unit(benchmark::kMicrosecond);

} // namespace
