#include "stake/wavestake/wavestake_record.h"

#include "stake/common/multiplier_text.h"
#include "stake/wavestake/wavestake_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace wavestake;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> multiplierColumn(const WavePlan& plan) {
    std::vector<std::string> cells;
    for (const WaveRow& wave : plan.rows)
        cells.push_back(wave.row.cells.at(kMultiplierColumn));
    return cells;
}

TEST(WaveRecord, FreshStartByteForByte) {
    Bytes expected(2032, 0);
    const Bytes head = {
        2,    0,    0,    0,    // kind
        3,    0,    0,    0,    // 波数
        0x00, 0x00, 0xC8, 0x42, // 利润 100.0f
        5,    0,    0,    0,    // 推波期数
        0xF4, 0x01, 0,    0,    // 注数 500
        2,    0,    0,    0,    // 星数 "3星"
        2,    0,    0,    0,    // 金额模式 "1分"
    };
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(buildWaveRecord(WaveSettings{}), expected);
}

TEST(WaveRecord, CarriesTheInputsAsTheyAreAndNothingElse) {
    // Out-of-range inputs are handed on unchanged; the odds are not part of it.
    WaveSettings settings;
    settings.nBoshu = -1;
    settings.fLirun = -0.5f;
    settings.nQishu = 2147483647;
    settings.nZhushu = 100000;
    settings.nXingshu = -1;
    settings.nMode = 7;
    settings.fPeilv = 123.0f;
    Bytes expected(2032, 0);
    const Bytes head = {
        2,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xBF, 0xFF, 0xFF,
        0xFF, 0x7F, 0xA0, 0x86, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 7,    0,    0,    0,
    };
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(buildWaveRecord(settings), expected);
}

TEST(WaveMultiplierText, FromTheFreshStartPlan) {
    const auto cells = multiplierColumn(computeWavePlan(WaveSettings{}));
    EXPECT_EQ(stake::multipliersInRow(cells), "1,2,4,8,16,1,2,4,8,16,1,2,4,8,16");
    EXPECT_EQ(stake::multipliersInColumn(cells),
              "1\r\n2\r\n4\r\n8\r\n16\r\n1\r\n2\r\n4\r\n8\r\n16\r\n1\r\n2\r\n4\r\n8\r\n16\r\n");
}

TEST(WaveMultiplierText, EmptyListAndCellsReadByTheAtofRule) {
    EXPECT_EQ(stake::multipliersInRow({}), "");
    EXPECT_EQ(stake::multipliersInColumn({}), "");
    struct Case {
        std::string cell;
        const char* expected;
    };
    const Case cases[] = {
        {"2.5", "3"}, {"-1.5", "-1"}, {" 7", "7"}, {"abc", "0"}, {"", "0"}, {"1e3", "1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        const std::vector<std::string> cells{c.cell};
        EXPECT_EQ(stake::multipliersInRow(cells), c.expected);
        EXPECT_EQ(stake::multipliersInColumn(cells), std::string(c.expected) + "\r\n");
    }
}

} // namespace
