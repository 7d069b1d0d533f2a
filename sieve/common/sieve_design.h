// What makes one filter of the family: its digit count, its criterion groups
// (in box order), the start state of its must-contain group and its base-set
// message. The engine core (number_sieve.h) is written once for all of them.
#pragma once

#include "sieve/common/candidate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace sieve {

// One criterion group: a ticked box kills every candidate that has the box's
// property. Each candidate has one key per group, computed once; the key
// says which boxes of the group hold for it. For most groups the key is the
// box index itself (sum 17 → box 17); a group whose properties overlap (组六
// and 顺子, for example) maps each key to several boxes.
struct KillGroup {
    std::string_view name; // as trendtools names it: "pos1", "sum", "form"
    int boxCount;          // at most 64
    int keyCount;          // keys run 0 .. keyCount − 1, at most 64
    int (*key)(const Digits&);
    // The boxes (bit = box index) whose property a candidate of that key has;
    // null when key k means box k alone.
    std::uint64_t (*boxesOfKey)(int key) = nullptr;

    std::uint64_t boxesHeldBy(int keyValue) const {
        if (boxesOfKey)
            return boxesOfKey(keyValue);
        return keyValue < 64 ? std::uint64_t{1} << keyValue : 0;
    }
};

// The groups that stand in several filters, by the filter's digit count.

inline constexpr std::array<std::string_view, 5> kPositionNames{"pos1", "pos2", "pos3", "pos4",
                                                                "pos5"};

template <int Position> constexpr int digitAt(const Digits& digits) {
    return digits[Position];
}

// 定位杀号: one group of the ten digit values per position, "pos1" the
// leftmost digit.
template <int DigitCount> constexpr std::array<KillGroup, DigitCount> positionGroups() {
    return []<int... Position>(std::integer_sequence<int, Position...>) {
        return std::array<KillGroup, DigitCount>{
            {{kPositionNames[Position], 10, 10, &digitAt<Position>}...}};
    }
    (std::make_integer_sequence<int, DigitCount>{});
}

// 012路杀号: one box per pattern of the digits' remainders by 3.
template <int DigitCount> constexpr std::array<KillGroup, 1> routeGroup() {
    constexpr int patterns = DigitCount == 2 ? 9 : 27;
    static_assert(DigitCount == 2 || DigitCount == 3);
    return {{{"route", patterns, patterns, [](const Digits& d) { return d.routeIndex(); }}}};
}

// 和值, 尾和, 跨度, 大小, 奇偶 and 质合, in that box order.
template <int DigitCount> constexpr std::array<KillGroup, 6> shapeGroups() {
    constexpr int sums = 9 * DigitCount + 1;
    constexpr int patterns = 1 << DigitCount;
    return {{
        {"sum", sums, sums, [](const Digits& d) { return d.sum(); }},
        {"tail", 10, 10, [](const Digits& d) { return d.tail(); }},
        {"span", 10, 10, [](const Digits& d) { return d.span(); }},
        {"bigsmall", patterns, patterns, [](const Digits& d) { return d.bigSmallIndex(); }},
        {"oddeven", patterns, patterns, [](const Digits& d) { return d.oddEvenIndex(); }},
        {"primecomp", patterns, patterns, [](const Digits& d) { return d.primeCompositeIndex(); }},
    }};
}

// The groups of `parts`, one part after another.
template <std::size_t... Sizes>
constexpr std::array<KillGroup, (Sizes + ...)>
joinGroups(const std::array<KillGroup, Sizes>&... parts) {
    std::array<KillGroup, (Sizes + ...)> groups{};
    std::size_t next = 0;
    ((std::copy(parts.begin(), parts.end(), groups.begin() + next), next += Sizes), ...);
    return groups;
}

struct FilterDesign {
    int digitCount; // 2 .. 5
    std::span<const KillGroup> groups;
    // Hit counts ticked in the must-contain group after a reset (bit h).
    std::uint8_t startHitCounts;
    // The four- and five-digit filters reset every kill flag before they
    // parse a non-empty base-set text; the others leave that to their dialog.
    bool resetBeforeParsing;
    // Shown when a base-set token is not a number of the filter (UTF-8).
    std::string_view malformedMessage;

    int candidates() const { return candidateCount(digitCount); }
    // The group called `name`, or −1.
    int findGroup(std::string_view name) const {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (groups[g].name == name)
                return static_cast<int>(g);
        }
        return -1;
    }
};

} // namespace sieve
