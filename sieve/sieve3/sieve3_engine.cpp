#include "sieve/sieve3/sieve3_engine.h"

namespace sieve3 {

using sieve::Digits;
using sieve::KillGroup;

GroupType groupType(const Digits& digits) {
    switch (digits.largestMultiplicity()) {
    case 3:
        return GroupType::leopard;
    case 2:
        return GroupType::group3;
    default:
        return GroupType::group6;
    }
}

bool isStraight(const Digits& digits) {
    if (digits.distinctCount() != 3)
        return false;
    const unsigned set = digits.valueSet();
    for (int first = 0; first <= 9; ++first) {
        const unsigned run = (1u << first) | (1u << (first + 1) % 10) | (1u << (first + 2) % 10);
        if (set == run)
            return true;
    }
    return false;
}

int sortClass(int digit) {
    return digit <= 2 ? 0 : digit <= 6 ? 1 : 2;
}

namespace {

// Key of 组六组三选号: the form, plus 3 for a straight (always 组六).
int formKey(const Digits& d) {
    return static_cast<int>(groupType(d)) + (isStraight(d) ? 3 : 0);
}
std::uint64_t formBoxes(int key) {
    return (std::uint64_t{1} << (key % 3)) | (key >= 3 ? std::uint64_t{1} << 3 : 0);
}

} // namespace

constinit const std::array<KillGroup, kGroupCount> kGroups =
    sieve::joinGroups(sieve::positionGroups<3>(), sieve::routeGroup<3>(), sieve::shapeGroups<3>(),
                      std::array<KillGroup, 3>{{
                          {"form", 4, 6, formKey, formBoxes},
                          {"sort1", 3, 3, [](const Digits& d) { return sortClass(d.smallest()); }},
                          {"sort3", 3, 3, [](const Digits& d) { return sortClass(d.largest()); }},
                      }});

// Hit counts 1, 2 and 3 are ticked after a reset; 0 is not.
const sieve::FilterDesign kDesign{3, kGroups, 0b1110, false, kMalformedMessage};

} // namespace sieve3
