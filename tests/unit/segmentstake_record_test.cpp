#include "stake/segmentstake/segmentstake_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace segmentstake;
using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& record, std::size_t offset, std::size_t size) {
    return Bytes(record.begin() + static_cast<std::ptrdiff_t>(offset),
                 record.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

TEST(SegmentRecord, FreshStartByteForByte) {
    const Bytes record = buildSegmentRecord(SegmentInputs{});
    Bytes expected(2040, 0);
    expected[0] = 5;                              // kind
    expected[12] = 50;                            // 最大倍数
    expected[16] = 0xE8, expected[17] = 1;        // 注数 488
    expected[20] = 2;                             // "3星"
    expected[24] = 2;                             // "1分"
    expected[2032] = 5;                           // 中出期数
    expected[2038] = 0x48, expected[2039] = 0x42; // 50.0f = 0x42480000
    EXPECT_EQ(record, expected);
}

TEST(SegmentRecord, FieldsAtTheirOffsets) {
    SegmentInputs inputs;
    inputs.maxMultiplier = 0xA1B2C3D4u;
    inputs.bets = 99999;
    inputs.odds = 1800; // not part of the record
    inputs.hitPeriods = 4294967295u;
    inputs.targetProfit = -1.5f; // 0xBFC00000
    inputs.starIndex = -1;
    inputs.modeIndex = 7;
    const Bytes record = buildSegmentRecord(inputs);
    ASSERT_EQ(record.size(), 2040u);
    EXPECT_EQ(slice(record, 0, 4), (Bytes{5, 0, 0, 0}));
    EXPECT_EQ(slice(record, 4, 8), Bytes(8, 0));
    EXPECT_EQ(slice(record, 12, 4), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(slice(record, 16, 4), (Bytes{0x9F, 0x86, 0x01, 0x00}));
    EXPECT_EQ(slice(record, 20, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(slice(record, 24, 4), (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(slice(record, 28, 2004), Bytes(2004, 0));
    EXPECT_EQ(slice(record, 2032, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(slice(record, 2036, 4), (Bytes{0x00, 0x00, 0xC0, 0xBF}));
}

} // namespace
