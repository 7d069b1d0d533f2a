// The two-digit filter (二星缩水杀号): the numbers 00-99 and its criterion
// groups, in the order of its dialog's boxes.
#pragma once

#include "sieve/common/candidate.h"
#include "sieve/common/sieve_design.h"

#include <array>
#include <string_view>

namespace sieve2 {

// 对子: both digits equal.
bool isPair(const sieve::Digits& digits);
// 顺子: the digits differ by 1, or are 0 and 9.
bool isStraight(const sieve::Digits& digits);

// Group indexes, in box order.
enum Group {
    kTens,  // 定位杀号 十位
    kUnits, // 定位杀号 个位
    kRoute, // 012路杀号
    kSum,   // 和值杀号
    kTail,  // 尾和杀号
    kSpan,  // 跨度杀号
    kBigSmall,
    kOddEven,
    kPrimeComposite,
    kPairStraight, // 顺子对子: 对子, 顺子
    kGroupCount
};

extern const std::array<sieve::KillGroup, kGroupCount> kGroups;
extern const sieve::FilterDesign kDesign;

inline constexpr std::string_view kMalformedMessage =
    "号码存在不符合规则,要以2位数且空格或者逗号分隔!";

} // namespace sieve2
