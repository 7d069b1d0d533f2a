// The four-digit filter (四星缩水杀号): the numbers 0000-9999 and its
// criterion groups, in the order of its dialog's tiles.
#pragma once

#include "sieve/common/candidate.h"
#include "sieve/common/sieve_design.h"

#include <array>
#include <string_view>

namespace sieve4 {

// Forms by how often each digit value occurs, in the box order of 组杀号.
enum class GroupType { group24 = 0, group12 = 1, group6 = 2, group4 = 3, leopard = 4 };

GroupType groupType(const sieve::Digits& digits);

// Group indexes, in box order.
enum Group {
    kThousands, // 定位杀号 千位
    kHundreds,
    kTens,
    kUnits,
    kSum,      // 和值杀号 0 .. 36
    kTail,     // 尾和杀号
    kSpan,     // 跨度杀号
    kBigSmall, // 大小杀号 (16)
    kOddEven,  // 奇偶杀号 (16)
    kPrimeComposite,
    kForm,     // 组杀号: 组24, 组12, 组6, 组4, 豹子
    kGroupCount
};

extern const std::array<sieve::KillGroup, kGroupCount> kGroups;
extern const sieve::FilterDesign kDesign;

inline constexpr std::string_view kMalformedMessage =
    "号码存在不符合规则,要以4位数且空格或者逗号分隔!";

} // namespace sieve4
