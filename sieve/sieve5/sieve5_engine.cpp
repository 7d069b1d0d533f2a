#include "sieve/sieve5/sieve5_engine.h"

namespace sieve5 {

using sieve::Digits;
using sieve::KillGroup;

GroupType groupType(const Digits& digits) {
    const int most = digits.largestMultiplicity();
    switch (digits.distinctCount()) {
    case 5:
        return GroupType::group120;
    case 4:
        return GroupType::group60;
    case 3:
        return most == 2 ? GroupType::group30 : GroupType::group20;
    case 2:
        return most == 3 ? GroupType::group10 : GroupType::group5;
    default:
        return GroupType::leopard;
    }
}

constinit const std::array<KillGroup, kGroupCount> kGroups = sieve::joinGroups(
    sieve::positionGroups<5>(), sieve::shapeGroups<5>(),
    std::array<KillGroup, 1>{
        {{"form", 7, 7, [](const Digits& d) { return static_cast<int>(groupType(d)); }}}});

// No hit count is ticked after a reset; a non-empty base-set text resets
// every flag before it is parsed.
const sieve::FilterDesign kDesign{5, kGroups, 0, true, kMalformedMessage};

} // namespace sieve5
