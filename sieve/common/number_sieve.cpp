#include "sieve/common/number_sieve.h"

#include <array>
#include <cstring>

namespace sieve {

NumberSieve::NumberSieve(const FilterDesign& design)
    : design_(&design), groupCount_(design.groups.size()) {
    const int count = design.candidates();
    const auto width = static_cast<std::size_t>(design.digitCount);
    keys_.resize(static_cast<std::size_t>(count) * groupCount_);
    digitText_.resize(static_cast<std::size_t>(count) * width);
    valueSets_.resize(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        const Digits digits(c, design.digitCount);
        const auto row = static_cast<std::size_t>(c);
        for (std::size_t g = 0; g < groupCount_; ++g)
            keys_[row * groupCount_ + g] = static_cast<std::uint8_t>(design.groups[g].key(digits));
        for (std::size_t i = 0; i < width; ++i)
            digitText_[row * width + i] =
                static_cast<std::uint8_t>('0' + digits[static_cast<int>(i)]);
        valueSets_[row] = digits.valueSet();
    }
    base_.members.assign(static_cast<std::size_t>(count), 0);
    killed_.assign(static_cast<std::size_t>(count), 0);
    kept_ = count;
}

void NumberSieve::reset() {
    std::fill(killed_.begin(), killed_.end(), std::uint8_t{0});
    kept_ = candidates();
}

void NumberSieve::recompute(const SieveCriteria& criteria) {
    // Each ticked group becomes a table: key → killed.
    struct ActiveGroup {
        std::size_t group;
        std::array<std::uint8_t, 64> kills;
    };
    std::vector<ActiveGroup> active;
    for (std::size_t g = 0; g < groupCount_; ++g) {
        const std::uint64_t ticked = g < criteria.ticked.size() ? criteria.ticked[g] : 0;
        if (ticked == 0)
            continue;
        ActiveGroup entry{g, {}};
        const KillGroup& group = design_->groups[g];
        for (int k = 0; k < group.keyCount && k < 64; ++k)
            entry.kills[static_cast<std::size_t>(k)] = (group.boxesHeldBy(k) & ticked) != 0;
        active.push_back(entry);
    }

    const MustContainRule& rule = criteria.mustContain;
    const bool fromBase = base_.inForce();
    const auto width = static_cast<std::size_t>(design_->digitCount);
    const int count = candidates();
    int kept = 0;
    for (int c = 0; c < count; ++c) {
        const auto row = static_cast<std::size_t>(c);
        bool killed = fromBase ? base_.members[row] == 0 : rule.on;
        if (killed && rule.on) {
            int hits = 0;
            if (rule.distinctHits) {
                for (unsigned common = valueSets_[row] & rule.mustDigits; common != 0;
                     common &= common - 1)
                    ++hits;
            } else {
                for (std::size_t i = 0; i < width; ++i)
                    hits += rule.hasDigit(digitText_[row * width + i] - '0') ? 1 : 0;
            }
            killed = !rule.acceptsHits(hits);
        }
        for (std::size_t a = 0; !killed && a < active.size(); ++a)
            killed = active[a].kills[key(c, active[a].group)] != 0;
        killed_[row] = killed ? 1 : 0;
        kept += killed ? 0 : 1;
    }
    kept_ = kept;
}

std::string NumberSieve::numberList() const {
    const auto width = static_cast<std::size_t>(design_->digitCount);
    std::string text(static_cast<std::size_t>(kept_) * (width + 1), ' ');
    char* out = text.data();
    const int count = candidates();
    for (int c = 0; c < count; ++c) {
        if (killed_[static_cast<std::size_t>(c)] != 0)
            continue;
        std::memcpy(out, &digitText_[static_cast<std::size_t>(c) * width], width);
        out += width + 1;
    }
    return text;
}

BaseSetLoad NumberSieve::loadBaseSet(std::string_view text) {
    const BaseSetLoad result = [&] {
        if (!design_->resetBeforeParsing)
            return loadBaseSetText(text, design_->digitCount, base_);
        // Only a text that cleans to something resets the flags.
        const BaseSetLoad load = loadBaseSetText(text, design_->digitCount, base_);
        if (load != BaseSetLoad::empty)
            reset();
        return load;
    }();
    if (result != BaseSetLoad::loaded)
        return result;
    int kept = 0;
    for (std::size_t c = 0; c < killed_.size(); ++c) {
        killed_[c] = base_.members[c] != 0 ? 0 : 1;
        kept += base_.members[c] != 0 ? 1 : 0;
    }
    kept_ = kept;
    return result;
}

} // namespace sieve
