#include "stake/snowballstake/snowballstake_record.h"

#include "stake/common/multiplier_text.h"
#include "stake/snowballstake/snowballstake_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace snowballstake;
using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& record, std::size_t from, std::size_t count) {
    return Bytes(record.begin() + static_cast<std::ptrdiff_t>(from),
                 record.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(SnowballRecord, ByteForByte) {
    SnowballInputs inputs;
    inputs.rollPeriods = 8;
    inputs.bets = 0x01020304;
    inputs.starIndex = 4;
    inputs.modeIndex = 7;
    inputs.startMultiplier = -2;
    inputs.odds = 12345.0f; // not part of the record

    Bytes expected(2032, 0);
    expected[0] = 3;
    expected[12] = 8;
    expected[16] = 0x04;
    expected[17] = 0x03;
    expected[18] = 0x02;
    expected[19] = 0x01;
    expected[20] = 4;
    expected[24] = 7;
    expected[2028] = 0xFE;
    expected[2029] = 0xFF;
    expected[2030] = 0xFF;
    expected[2031] = 0xFF;
    EXPECT_EQ(buildSnowballRecord(inputs), expected);
}

TEST(SnowballRecord, FreshStart) {
    const Bytes record = buildSnowballRecord(SnowballInputs{});
    ASSERT_EQ(record.size(), 2032u);
    EXPECT_EQ(slice(record, 0, 4), (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(slice(record, 4, 8), Bytes(8, 0));
    EXPECT_EQ(slice(record, 12, 16), (Bytes{5, 0, 0, 0, 0xF4, 0x01, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(slice(record, 28, 2000), Bytes(2000, 0));
    EXPECT_EQ(slice(record, 2028, 4), (Bytes{1, 0, 0, 0}));
}

TEST(SnowballCopy, MultiplierColumnOfTheWorkedExample) {
    const SnowballResult result = computePlan(SnowballInputs{});
    std::vector<std::string> column;
    for (const PlanRow& row : result.plan.rows)
        column.push_back(row.cells.at(1));
    EXPECT_EQ(stake::multipliersInRow(column), "1,1,2,4,8") << "复制倍数";
    EXPECT_EQ(stake::multipliersInColumn(column), "1\r\n1\r\n2\r\n4\r\n8\r\n") << "复制倍数(竖排)";
    EXPECT_EQ(stake::multipliersInRow({}), "");
    EXPECT_EQ(stake::multipliersInColumn({}), "");
}

} // namespace
