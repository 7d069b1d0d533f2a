#include "sieve/sieve2/sieve2_engine.h"

namespace sieve2 {

using sieve::Digits;
using sieve::KillGroup;

bool isPair(const Digits& digits) {
    return digits[0] == digits[1];
}

bool isStraight(const Digits& digits) {
    const int difference = digits.span();
    return difference == 1 || difference == 9;
}

namespace {

// Key of 顺子对子: 0 neither, 1 对子, 2 顺子 (a number is never both).
int pairKey(const Digits& d) {
    return isPair(d) ? 1 : isStraight(d) ? 2 : 0;
}
std::uint64_t pairBoxes(int key) {
    return key == 0 ? 0 : std::uint64_t{1} << (key - 1);
}

} // namespace

constinit const std::array<KillGroup, kGroupCount> kGroups =
    sieve::joinGroups(sieve::positionGroups<2>(), sieve::routeGroup<2>(), sieve::shapeGroups<2>(),
                      std::array<KillGroup, 1>{{{"pair", 2, 3, pairKey, pairBoxes}}});

// Hit counts 1 and 2 are ticked after a reset; 0 is not.
const sieve::FilterDesign kDesign{2, kGroups, 0b110, false, kMalformedMessage};

} // namespace sieve2
