// The engine of every number filter: the candidates 0 .. 10^N − 1 with one
// kill flag each (false = kept), the base set, and the recompute that
// rebuilds every flag from a SieveCriteria in one pass.
#pragma once

#include "sieve/common/base_set.h"
#include "sieve/common/sieve_criteria.h"
#include "sieve/common/sieve_design.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sieve {

class NumberSieve {
  public:
    explicit NumberSieve(const FilterDesign& design);

    const FilterDesign& design() const { return *design_; }
    int candidates() const { return static_cast<int>(killed_.size()); }

    // Every candidate kept; the base set stays as it is.
    void reset();
    // Rebuilds every flag: the start set (base set, or nothing when the
    // must-contain rule is on, or everything), the candidates the rule adds,
    // then every ticked box kills the candidates that have its property.
    void recompute(const SieveCriteria& criteria);

    int keptCount() const { return kept_; }
    bool isKept(int candidate) const { return killed_[static_cast<std::size_t>(candidate)] == 0; }
    // The NumberList text: each kept candidate's digits and one space,
    // ascending, no line breaks; empty when nothing is kept.
    std::string numberList() const;

    // Loads a pasted base set. When it loads, the flags become the base set
    // until the next recompute; otherwise they stay (after the reset of a
    // design that resets before parsing).
    BaseSetLoad loadBaseSet(std::string_view text);
    // No base set in force any more (重置).
    void endBaseSet() { base_.baseText.clear(); }
    const BaseSet& baseSet() const { return base_; }
    // The memory the sieve holds: flags, base set and precomputed keys.
    std::size_t stateBytes() const;

  private:
    const FilterDesign* design_;
    std::size_t groupCount_;
    // Precomputed once, laid out so that every step of a recompute is a
    // plain pass over one array, which the compiler turns into vector code.
    std::vector<std::uint8_t> keys_;       // group-major: each candidate's key of each group
    std::vector<std::uint8_t> digits_;     // position-major: each candidate's digit there
    std::vector<std::uint16_t> valueSets_; // per candidate: which digit values occur
    std::vector<std::uint8_t> digitText_;  // candidate-major: the digits as characters
    std::vector<std::uint8_t> scratch_;    // hit counts, or the candidates a group keeps
    std::vector<std::uint8_t> killed_;
    int kept_ = 0;
    BaseSet base_;
};

} // namespace sieve
