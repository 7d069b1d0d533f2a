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

const std::array<KillGroup, kGroupCount> kGroups{{
    {"pos1", 10, 10, [](const Digits& d) { return d[0]; }},
    {"pos2", 10, 10, [](const Digits& d) { return d[1]; }},
    {"pos3", 10, 10, [](const Digits& d) { return d[2]; }},
    {"pos4", 10, 10, [](const Digits& d) { return d[3]; }},
    {"sum", 37, 37, [](const Digits& d) { return d.sum(); }},
    {"tail", 10, 10, [](const Digits& d) { return d.tail(); }},
    {"span", 10, 10, [](const Digits& d) { return d.span(); }},
    {"bigsmall", 16, 16, [](const Digits& d) { return d.bigSmallIndex(); }},
    {"oddeven", 16, 16, [](const Digits& d) { return d.oddEvenIndex(); }},
    {"primecomp", 16, 16, [](const Digits& d) { return d.primeCompositeIndex(); }},
    {"form", 5, 5, [](const Digits& d) { return static_cast<int>(groupType(d)); }},
}};

// Hit counts 1-4 are ticked after a reset; a non-empty base-set text resets
// every flag before it is parsed.
const sieve::FilterDesign kDesign{4, kGroups, 0b11110, true, kMalformedMessage};

} // namespace sieve4
