#include "stake/stakeladder/stakeladder_record.h"

#include "stake/stakeladder/stakeladder_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace stakeladder;

std::vector<std::string> column(const PlanResult& plan, std::size_t index) {
    std::vector<std::string> cells;
    for (const PlanRow& row : plan.rows)
        cells.push_back(row.cells.at(index));
    return cells;
}

std::string textArea(const std::vector<std::uint8_t>& record) {
    return std::string(record.begin() + 28, record.begin() + 2028);
}

TEST(MultiplierText, FromTheList) {
    const PlanResult plan = computePlan(LadderInputs{});
    EXPECT_EQ(multiplierText(column(plan, 1)), "1,2,4,8,17");
    EXPECT_EQ(multiplierText(column(plan, 0)), "1,2,3,4,5") << "复制期数";
    EXPECT_EQ(multiplierText({}), "");
}

TEST(MultiplierText, CellsReadByTheAtofRuleAndRoundedUp) {
    struct Case {
        std::string cell;
        const char* expected;
    };
    const Case cases[] = {
        {"2.5", "3"},    {"-1.5", "-1"},         {" 7", "7"},    {"abc", "0"}, {"", "0"},
        {"1e3", "1000"}, {"3e9", "-1294967296"}, {"1e300", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(multiplierText(std::vector<std::string>{c.cell}), c.expected);
    }
}

TEST(LadderRecord, Layout) {
    const std::vector<std::uint8_t> record = buildLadderRecord(3, "1,2,4,8,17");
    ASSERT_EQ(record.size(), 2032u);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.begin() + 4),
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    for (std::size_t i = 4; i < 24; ++i)
        EXPECT_EQ(record[i], 0) << "byte " << i;
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 24, record.begin() + 28),
              (std::vector<std::uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(textArea(record), "1,2,4,8,17" + std::string(1990, '\0'));
    for (std::size_t i = 2028; i < 2032; ++i)
        EXPECT_EQ(record[i], 0) << "byte " << i;

    const std::vector<std::uint8_t> noMode = buildLadderRecord(-1, "");
    EXPECT_EQ(std::vector<std::uint8_t>(noMode.begin() + 24, noMode.begin() + 28),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(textArea(noMode), std::string(2000, '\0'));
}

TEST(LadderRecord, TextCutAt2000Bytes) {
    LadderInputs inputs;
    inputs.useCustom = true;
    inputs.customText = "1000-2000";
    const std::string text = multiplierText(column(computePlan(inputs), 1));
    ASSERT_GT(text.size(), 2000u);
    const std::vector<std::uint8_t> record = buildLadderRecord(0, text);
    ASSERT_EQ(record.size(), 2032u);
    EXPECT_EQ(textArea(record), text.substr(0, 2000)) << "no terminating zero";
    EXPECT_EQ(record[2028], 0);

    const std::vector<std::uint8_t> exact = buildLadderRecord(0, std::string(1999, '9'));
    EXPECT_EQ(exact[2026], '9');
    EXPECT_EQ(exact[2027], 0);
}

} // namespace
