#include "stake/common/plan_record.h"

#include "stake/common/multiplier_text.h"
#include "stake/segmentstake/segmentstake_record.h"
#include "stake/snowballstake/snowballstake_record.h"
#include "stake/stakeladder/stakeladder_record.h"
#include "stake/wavestake/wavestake_record.h"

#include <gtest/gtest.h>

#include <bit>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

// clang-format off

using Bytes = std::vector<std::uint8_t>;

// A record of `size` bytes, zero but for these 32-bit little-endian words and
// the text at offset 28.
Bytes image(std::size_t size, std::initializer_list<std::pair<std::size_t, std::uint32_t>> words,
            std::string_view text = {}) {
    Bytes bytes(size, 0);
    for (const auto& [offset, word] : words) {
        for (int i = 0; i < 4; ++i)
            bytes.at(offset + i) = static_cast<std::uint8_t>(word >> (8 * i));
    }
    std::copy(text.begin(), text.end(), bytes.begin() + 28);
    return bytes;
}

// Each kind once, with inputs that tell every field from every other; the
// odds and the rows are never part of a record.
TEST(PlanRecord, EveryKindByteForByte) {
    const std::string longText(2500, '7');
    const struct {
        const char* name;
        Bytes record;
        Bytes expected;
    } cases[] = {
        {"stakeladder", stakeladder::buildLadderRecord(6, "1,2,4,8,17"),
         image(2032, {{0, 1}, {24, 6}}, "1,2,4,8,17")},
        {"stakeladder, no mode", stakeladder::buildLadderRecord(-1, ""),
         image(2032, {{0, 1}, {24, 0xFFFFFFFF}})},
        {"stakeladder, a text cut to 2000 bytes without a terminating zero",
         stakeladder::buildLadderRecord(0, longText), image(2032, {{0, 1}}, longText.substr(0, 2000))},
        {"wavestake", wavestake::buildWaveRecord({.nQishu = 2147483647, .nZhushu = 100000,
             .fPeilv = 123.0f, .nBoshu = -1, .fLirun = -0.5f, .nXingshu = -1, .nMode = 7}),
         image(2032, {{0, 2}, {4, 0xFFFFFFFF}, {8, std::bit_cast<std::uint32_t>(-0.5f)}, {12, 0x7FFFFFFF}, {16, 100000},
                      {20, 0xFFFFFFFF}, {24, 7}})},
        {"snowballstake", snowballstake::buildSnowballRecord({.rollPeriods = 7, .bets = 11,
             .odds = 1.5f, .startMultiplier = -2, .starIndex = 3, .modeIndex = 6}),
         image(2032, {{0, 3}, {12, 7}, {16, 11}, {20, 3}, {24, 6}, {2028, 0xFFFFFFFE}})},
        {"segmentstake", segmentstake::buildSegmentRecord({.maxMultiplier = 4000000000u, .bets = 9,
             .odds = 777, .hitPeriods = 13, .targetProfit = 2.5f, .starIndex = 4, .modeIndex = 5}),
         image(2040, {{0, 5}, {12, 4000000000u}, {16, 9}, {20, 4}, {24, 5}, {2032, 13},
                      {2036, std::bit_cast<std::uint32_t>(2.5f)}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.record, c.expected);
    }
}

TEST(PlanRecord, WriterRefusesPlacesOutsideTheRecord) {
    Bytes bytes(12, 0xAA);
    EXPECT_THROW(stake::storeUint32(bytes, 9, 0), std::out_of_range);
    EXPECT_THROW(stake::storeUint32(bytes, SIZE_MAX, 0), std::out_of_range);
    EXPECT_THROW(stake::PlanRecord(stake::PlanKind::Ladder).putInt32(2036, 1), std::out_of_range);
    stake::PlanRecord record(stake::PlanKind::Ladder);
    record.putText(std::string(2500, 'x'));
    record.putText("1,2"); // a shorter text clears what was there
    EXPECT_EQ(record.bytes(), image(2032, {{0, 1}}, "1,2"));
}

// The multiplier column copied in a row (stakeladder's text) or in lines: each
// cell by the atof rule, rounded up.
TEST(PlanRecord, MultiplierTexts) {
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{}, "", ""},
        {{"1", "2", "4", "8", "16.2"}, "1,2,4,8,17", "1\r\n2\r\n4\r\n8\r\n17\r\n"},
        {{"2.5", "-1.5", " 7", "abc", ""}, "3,-1,7,0,0", "3\r\n-1\r\n7\r\n0\r\n0\r\n"},
        {{"1e3", "3e9", "1e300"}, "1000,-1294967296,0", "1000\r\n-1294967296\r\n0\r\n"},
    };
    for (const auto& [cells, row, lines] : cases) {
        EXPECT_EQ(stakeladder::multiplierText(cells), row);
        EXPECT_EQ(stake::multipliersInColumn(cells), lines);
    }
}

// clang-format on
} // namespace
