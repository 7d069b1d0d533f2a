// The three-digit filter (三星缩水杀号): the numbers 000-999 and its
// criterion groups, in the order of its dialog's boxes.
#pragma once

#include "sieve/common/candidate.h"
#include "sieve/common/sieve_design.h"

#include <array>
#include <string_view>

namespace sieve3 {

// Forms in the box order of 组六组三选号 (顺子 is box 3).
enum class GroupType { group6 = 0, group3 = 1, leopard = 2 };

GroupType groupType(const sieve::Digits& digits);
// Three different digits that form, as a set, one of {0,1,2} ... {7,8,9},
// {8,9,0} or {9,0,1}, in any order.
bool isStraight(const sieve::Digits& digits);
// 小数 0 (digits 0-2), 中数 1 (3-6), 大数 2 (7-9): the classes of 排序一 and 排序三.
int sortClass(int digit);

// Group indexes, in box order.
enum Group {
    kHundreds, // 定位选号 百位
    kTens,
    kUnits,
    kRoute,    // 012路选号
    kSum,      // 和值选号
    kTail,     // 尾和选号
    kSpan,     // 跨度选号
    kBigSmall, // 大小选号
    kOddEven,  // 奇偶选号
    kPrimeComposite,
    kForm,     // 组六组三选号: 组六, 组三, 豹子, 顺子
    kSmallest, // 排序一
    kLargest,  // 排序三
    kGroupCount
};

extern const std::array<sieve::KillGroup, kGroupCount> kGroups;
extern const sieve::FilterDesign kDesign;

inline constexpr std::string_view kMalformedMessage =
    "号码存在不符合规则,要以3位数且空格或者逗号分隔!";

} // namespace sieve3
