#include "sieve/common/number_sieve.h"

#include <array>
#include <cstring>

namespace sieve {

NumberSieve::NumberSieve(const FilterDesign& design)
    : design_(&design), groupCount_(design.groups.size()) {
    const auto count = static_cast<std::size_t>(design.candidates());
    const auto width = static_cast<std::size_t>(design.digitCount);
    keys_.resize(count * groupCount_);
    digits_.resize(count * width);
    valueSets_.resize(count);
    digitText_.resize(count * width);
    for (std::size_t c = 0; c < count; ++c) {
        const Digits digits(static_cast<int>(c), design.digitCount);
        for (std::size_t g = 0; g < groupCount_; ++g)
            keys_[g * count + c] = static_cast<std::uint8_t>(design.groups[g].key(digits));
        for (std::size_t i = 0; i < width; ++i) {
            const auto digit = static_cast<std::uint8_t>(digits[static_cast<int>(i)]);
            digits_[i * count + c] = digit;
            digitText_[c * width + i] = static_cast<std::uint8_t>('0' + digit);
        }
        valueSets_[c] = digits.valueSet();
    }
    scratch_.resize(count);
    base_.members.assign(count, 0);
    killed_.assign(count, 0);
    kept_ = static_cast<int>(count);
}

void NumberSieve::reset() {
    std::fill(killed_.begin(), killed_.end(), std::uint8_t{0});
    kept_ = candidates();
}

void NumberSieve::recompute(const SieveCriteria& criteria) {
    const auto count = static_cast<std::size_t>(candidates());
    std::uint8_t* const killed = killed_.data();
    std::uint8_t* const scratch = scratch_.data();
    const MustContainRule& rule = criteria.mustContain;

    // 1. The start set: the base set, else nothing under the must-contain
    // rule, else everything.
    if (base_.inForce()) {
        const std::uint8_t* const members = base_.members.data();
        for (std::size_t c = 0; c < count; ++c)
            killed[c] = members[c] ^ 1u;
    } else {
        std::memset(killed, rule.on ? 1 : 0, count);
    }

    // 2. The must-contain rule adds every candidate whose hit count is ticked.
    if (rule.on) {
        std::uint8_t* const hits = scratch;
        std::memset(hits, 0, count);
        for (int digit = 0; digit <= 9; ++digit) {
            if (!rule.hasDigit(digit))
                continue;
            if (rule.distinctHits) {
                const std::uint16_t* const sets = valueSets_.data();
                for (std::size_t c = 0; c < count; ++c)
                    hits[c] = static_cast<std::uint8_t>(hits[c] + ((sets[c] >> digit) & 1u));
            } else {
                for (std::size_t i = 0; i < static_cast<std::size_t>(design_->digitCount); ++i) {
                    const std::uint8_t* const position = &digits_[i * count];
                    for (std::size_t c = 0; c < count; ++c)
                        hits[c] = static_cast<std::uint8_t>(hits[c] + (position[c] == digit));
                }
            }
        }
        for (int accepted = 0; accepted <= design_->digitCount; ++accepted) {
            if (!rule.acceptsHits(accepted))
                continue;
            for (std::size_t c = 0; c < count; ++c)
                killed[c] &= static_cast<std::uint8_t>(hits[c] != accepted);
        }
    }

    // 3. Every ticked box kills the candidates that have its property. A
    // group is one pass per killed key, or, when it kills most of its keys,
    // one pass per key it keeps.
    for (std::size_t g = 0; g < groupCount_ && g < criteria.ticked.size(); ++g) {
        const std::uint64_t ticked = criteria.ticked[g];
        if (ticked == 0)
            continue;
        const KillGroup& group = design_->groups[g];
        std::array<bool, 64> kills{};
        int killedKeys = 0;
        for (int k = 0; k < group.keyCount && k < 64; ++k) {
            kills[static_cast<std::size_t>(k)] = (group.boxesHeldBy(k) & ticked) != 0;
            killedKeys += kills[static_cast<std::size_t>(k)] ? 1 : 0;
        }
        const std::uint8_t* const keys = &keys_[g * count];
        if (killedKeys == group.keyCount) {
            std::memset(killed, 1, count); // nothing survives this group
            break;
        }
        if (killedKeys <= group.keyCount - killedKeys) {
            for (int k = 0; k < group.keyCount; ++k) {
                if (!kills[static_cast<std::size_t>(k)])
                    continue;
                for (std::size_t c = 0; c < count; ++c)
                    killed[c] |= static_cast<std::uint8_t>(keys[c] == k);
            }
        } else {
            std::uint8_t* const keeps = scratch;
            std::memset(keeps, 0, count);
            for (int k = 0; k < group.keyCount; ++k) {
                if (kills[static_cast<std::size_t>(k)])
                    continue;
                for (std::size_t c = 0; c < count; ++c)
                    keeps[c] |= static_cast<std::uint8_t>(keys[c] == k);
            }
            for (std::size_t c = 0; c < count; ++c)
                killed[c] |= keeps[c] ^ 1u;
        }
    }

    // 4. The count.
    std::size_t killedCount = 0;
    for (std::size_t c = 0; c < count; ++c)
        killedCount += killed[c];
    kept_ = static_cast<int>(count - killedCount);
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

std::size_t NumberSieve::stateBytes() const {
    return sizeof(*this) + keys_.capacity() + digits_.capacity() + digitText_.capacity() +
           valueSets_.capacity() * sizeof(std::uint16_t) + scratch_.capacity() +
           killed_.capacity() +
           base_.members.capacity() + base_.baseText.capacity();
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
