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

const std::array<KillGroup, kGroupCount> kGroups{{
    {"pos1", 10, 10, [](const Digits& d) { return d[0]; }},
    {"pos2", 10, 10, [](const Digits& d) { return d[1]; }},
    {"pos3", 10, 10, [](const Digits& d) { return d[2]; }},
    {"pos4", 10, 10, [](const Digits& d) { return d[3]; }},
    {"pos5", 10, 10, [](const Digits& d) { return d[4]; }},
    {"sum", 46, 46, [](const Digits& d) { return d.sum(); }},
    {"tail", 10, 10, [](const Digits& d) { return d.tail(); }},
    {"span", 10, 10, [](const Digits& d) { return d.span(); }},
    {"bigsmall", 32, 32, [](const Digits& d) { return d.bigSmallIndex(); }},
    {"oddeven", 32, 32, [](const Digits& d) { return d.oddEvenIndex(); }},
    {"primecomp", 32, 32, [](const Digits& d) { return d.primeCompositeIndex(); }},
    {"form", 7, 7, [](const Digits& d) { return static_cast<int>(groupType(d)); }},
}};

// No hit count is ticked after a reset; a non-empty base-set text resets
// every flag before it is parsed.
const sieve::FilterDesign kDesign{5, kGroups, 0, true, kMalformedMessage};

} // namespace sieve5
