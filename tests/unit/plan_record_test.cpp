#include "stake/common/plan_record.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using namespace stake;

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                                std::size_t size) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + size)};
}

TEST(PlanRecord, LittleEndianStores) {
    std::vector<std::uint8_t> bytes(12, 0xAA);
    storeUint32(bytes, 0, 0x01020304u);
    storeInt32(bytes, 4, -2);
    storeFloat(bytes, 8, 1.0f);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF,
                                                0x00, 0x00, 0x80, 0x3F}));
    EXPECT_THROW(storeUint32(bytes, 9, 0), std::out_of_range);
    EXPECT_THROW(storeUint32(bytes, SIZE_MAX, 0), std::out_of_range);
}

TEST(PlanRecord, SizeAndKindOfEveryCalculator) {
    struct Case {
        PlanKind kind;
        std::size_t size;
        std::uint8_t tag;
    };
    const Case cases[] = {{PlanKind::Ladder, 2032, 1},
                          {PlanKind::Wave, 2032, 2},
                          {PlanKind::Snowball, 2032, 3},
                          {PlanKind::Segment, 2040, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.tag));
        const PlanRecord record(c.kind);
        ASSERT_EQ(record.bytes().size(), c.size);
        EXPECT_EQ(slice(record.bytes(), 0, 4), (std::vector<std::uint8_t>{c.tag, 0, 0, 0}));
        for (std::size_t i = 4; i < c.size; ++i)
            ASSERT_EQ(record.bytes()[i], 0) << "byte " << i;
    }
}

TEST(PlanRecord, FieldsAtTheirOffsets) {
    PlanRecord record(PlanKind::Segment);
    record.putFloat(record_offset::kProfitGoal, 2.5f);
    record.putUint32(record_offset::kPeriods, 4000000000u);
    record.putInt32(record_offset::kStartMultiplier, 7);
    record.putFloat(record_offset::kTargetProfit, -1.0f);
    const auto& bytes = record.bytes();
    EXPECT_EQ(slice(bytes, 8, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x20, 0x40}));
    EXPECT_EQ(slice(bytes, 12, 4), (std::vector<std::uint8_t>{0x00, 0x28, 0x6B, 0xEE}));
    EXPECT_EQ(slice(bytes, 2028, 4), (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(slice(bytes, 2036, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x80, 0xBF}));
    EXPECT_THROW(PlanRecord(PlanKind::Ladder).putInt32(record_offset::kTargetProfit, 1),
                 std::out_of_range);
}

TEST(PlanRecord, TextArea) {
    PlanRecord record(PlanKind::Ladder);
    record.putText(std::string(2500, 'x'));
    record.putText("1,2"); // a shorter text clears what was there
    const auto& bytes = record.bytes();
    EXPECT_EQ(slice(bytes, 28, 4), (std::vector<std::uint8_t>{'1', ',', '2', 0}));
    for (std::size_t i = 31; i < 2032; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;

    record.putText(std::string(2500, 'y'));
    for (std::size_t i = 28; i < 2028; ++i)
        ASSERT_EQ(bytes[i], 'y') << "byte " << i;
    EXPECT_EQ(slice(bytes, 2028, 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

} // namespace
