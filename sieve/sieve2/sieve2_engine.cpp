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

const std::array<KillGroup, kGroupCount> kGroups{{
    {"pos1", 10, 10, [](const Digits& d) { return d[0]; }},
    {"pos2", 10, 10, [](const Digits& d) { return d[1]; }},
    {"route", 9, 9, [](const Digits& d) { return d.routeIndex(); }},
    {"sum", 19, 19, [](const Digits& d) { return d.sum(); }},
    {"tail", 10, 10, [](const Digits& d) { return d.tail(); }},
    {"span", 10, 10, [](const Digits& d) { return d.span(); }},
    {"bigsmall", 4, 4, [](const Digits& d) { return d.bigSmallIndex(); }},
    {"oddeven", 4, 4, [](const Digits& d) { return d.oddEvenIndex(); }},
    {"primecomp", 4, 4, [](const Digits& d) { return d.primeCompositeIndex(); }},
    {"pair", 2, 3, pairKey, pairBoxes},
}};

// Hit counts 1 and 2 are ticked after a reset; 0 is not.
const sieve::FilterDesign kDesign{2, kGroups, 0b110, false, kMalformedMessage};

} // namespace sieve2
