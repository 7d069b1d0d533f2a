#include "sieve/common/per_box_sieve.h"

#include "sieve/common/candidate.h"

namespace sieve {

std::vector<std::uint8_t> recomputePerBox(const FilterDesign& design, const SieveCriteria& criteria,
                                          const BaseSet& base) {
    const int count = design.candidates();
    const MustContainRule& rule = criteria.mustContain;
    std::vector<std::uint8_t> killed(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        const auto at = static_cast<std::size_t>(c);
        killed[at] = base.inForce() ? !base.contains(c) : rule.on;
    }
    if (rule.on) {
        for (int c = 0; c < count; ++c) {
            const int hits = hitCount(Digits(c, design.digitCount), rule);
            if (rule.acceptsHits(hits))
                killed[static_cast<std::size_t>(c)] = 0;
        }
    }
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        const KillGroup& group = design.groups[g];
        for (int box = 0; box < group.boxCount; ++box) {
            if (g >= criteria.ticked.size() || !criteria.isTicked(static_cast<int>(g), box))
                continue;
            for (int c = 0; c < count; ++c) {
                const int key = group.key(Digits(c, design.digitCount));
                if ((group.boxesHeldBy(key) >> box) & 1u)
                    killed[static_cast<std::size_t>(c)] = 1;
            }
        }
    }
    return killed;
}

} // namespace sieve
