// The five-digit filter (五星缩水杀号): the numbers 00000-99999 and its
// criterion groups, in the order of its dialog's tiles.
#pragma once

#include "sieve/common/candidate.h"
#include "sieve/common/sieve_design.h"

#include <array>
#include <string_view>

namespace sieve5 {

// Forms by how often each digit value occurs, in the box order of 组杀号.
enum class GroupType {
    group120 = 0,
    group60 = 1,
    group30 = 2,
    group20 = 3,
    group10 = 4,
    group5 = 5,
    leopard = 6,
};

GroupType groupType(const sieve::Digits& digits);

// Group indexes, in box order.
enum Group {
    kTenThousands, // 定位杀号 万位
    kThousands,
    kHundreds,
    kTens,
    kUnits,
    kSum,      // 和值杀号 0 .. 45
    kTail,     // 尾和杀号
    kSpan,     // 跨度杀号
    kBigSmall, // 大小杀号 (32)
    kOddEven,  // 奇偶杀号 (32)
    kPrimeComposite,
    kForm,     // 组杀号: 组120, 组60, 组30, 组20, 组10, 组5, 豹子
    kGroupCount
};

extern const std::array<sieve::KillGroup, kGroupCount> kGroups;
extern const sieve::FilterDesign kDesign;

inline constexpr std::string_view kMalformedMessage =
    "号码存在不符合规则,要以5位数且空格或者逗号分隔!";

} // namespace sieve5
