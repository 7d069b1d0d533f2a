#include "sieve/sieve4/sieve4_engine.h"

namespace sieve4 {

using sieve::Digits;
using sieve::KillGroup;

GroupType groupType(const Digits& digits) {
    switch (digits.distinctCount()) {
    case 4:
        return GroupType::group24;
    case 3:
        return GroupType::group12;
    case 2:
        return digits.largestMultiplicity() == 2 ? GroupType::group6 : GroupType::group4;
    default:
        return GroupType::leopard;
    }
}

constinit const std::array<KillGroup, kGroupCount> kGroups = sieve::joinGroups(
    sieve::positionGroups<4>(), sieve::shapeGroups<4>(),
    std::array<KillGroup, 1>{
        {{"form", 5, 5, [](const Digits& d) { return static_cast<int>(groupType(d)); }}}});

// Hit counts 1-4 are ticked after a reset; a non-empty base-set text resets
// every flag before it is parsed.
const sieve::FilterDesign kDesign{4, kGroups, 0b11110, true, kMalformedMessage};

} // namespace sieve4
