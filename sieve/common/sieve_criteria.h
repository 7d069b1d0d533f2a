// The ticked boxes of a filter dialog: the must-contain group (胆码) and one
// mask of ticked boxes per kill group, groups in their design's order.
#pragma once

#include "sieve/common/candidate.h"
#include "sieve/common/sieve_design.h"

#include <cstdint>
#include <vector>

namespace sieve {

struct MustContainRule {
    bool on = false;              // the master box (胆码选号 / 胆码大底)
    std::uint16_t mustDigits = 0; // bit d: digit d ticked
    std::uint8_t hitCounts = 0;   // bit h: hit count h ticked
    bool distinctHits = false;    // 记重 / 不记重胆: a repeated digit counts once

    bool hasDigit(int digit) const { return (mustDigits >> digit) & 1u; }
    bool acceptsHits(int hits) const { return (hitCounts >> hits) & 1u; }
};

// Positions holding a must-contain digit, or with distinctHits the number of
// different must-contain digits present.
inline int hitCount(const Digits& digits, const MustContainRule& rule) {
    int hits = 0;
    if (rule.distinctHits) {
        for (std::uint16_t common = digits.valueSet() & rule.mustDigits; common != 0;
             common = static_cast<std::uint16_t>(common & (common - 1)))
            ++hits;
        return hits;
    }
    for (int i = 0; i < digits.count(); ++i)
        hits += rule.hasDigit(digits[i]) ? 1 : 0;
    return hits;
}

struct SieveCriteria {
    MustContainRule mustContain;
    std::vector<std::uint64_t> ticked; // per group, bit = box index

    // The state after a reset: nothing ticked, the start hit counts.
    static SieveCriteria startState(const FilterDesign& design) {
        SieveCriteria criteria;
        criteria.ticked.assign(design.groups.size(), 0);
        criteria.mustContain.hitCounts = design.startHitCounts;
        return criteria;
    }

    void tick(int group, int box, bool ticking = true) {
        const std::uint64_t bit = std::uint64_t{1} << box;
        auto& mask = ticked[static_cast<std::size_t>(group)];
        mask = ticking ? mask | bit : mask & ~bit;
    }
    bool isTicked(int group, int box) const {
        return (ticked[static_cast<std::size_t>(group)] >> box) & 1u;
    }
};

} // namespace sieve
