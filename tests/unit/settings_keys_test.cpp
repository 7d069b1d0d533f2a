// The settings files of the four calculators: their bytes as written, the
// round trip through the reader, and the rules of reading shared by all four.
#include "stake/common/settings_keys.h"

#include "stake/common/profile_text.h"
#include "stake/segmentstake/segmentstake_settings.h"
#include "stake/snowballstake/snowballstake_settings.h"
#include "stake/stakeladder/stakeladder_settings.h"
#include "stake/wavestake/wavestake_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Renders what is written as the platform's profile functions lay out a new
// file: one header per section, then its keys in the order written.
class FileWriter final : public stake::SettingsWriter {
  public:
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        writeText(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        if (section != section_)
            file += "[" + std::string(section) + "]\r\n";
        section_ = section;
        file += std::string(key) + "=" + std::string(text) + "\r\n";
    }
    std::string file;

  private:
    std::string section_;
};

template <class Write> std::string fileOf(Write write) {
    FileWriter writer;
    write(writer);
    return writer.file;
}

const stakeladder::LadderInputs kLadder{.periods = -7,
                                        .odds = 12345.678f,
                                        .bets = 99999,
                                        .modeIndex = 6,
                                        .starIndex = 0,
                                        .profitType = 1,
                                        .ratePercent = 4000000000u,
                                        .startMultiplier = 4294967295u,
                                        .profitAmount = 0.25f};
const wavestake::WaveSettings kWave{.nQishu = 9,
                                    .nZhushu = 8,
                                    .fPeilv = 1e-3f,
                                    .nBoshu = 7,
                                    .fLirun = -1.5f,
                                    .nXingshu = 4,
                                    .nMode = 1};
const snowballstake::SnowballInputs kSnowball{.rollPeriods = 9,
                                              .bets = 8,
                                              .odds = 3e38f,
                                              .startMultiplier = INT32_MIN,
                                              .starIndex = 3,
                                              .modeIndex = 7};
const segmentstake::SegmentInputs kSegment{.maxMultiplier = 4294967295u,
                                           .bets = 7,
                                           .odds = 6,
                                           .hitPeriods = 5,
                                           .targetProfit = 0.1f,
                                           .starIndex = -1,
                                           .modeIndex = 0};

TEST(Settings, FilesByteForByte) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string file;
        std::string expected;
    } cases[] = {
        {"setbt.ini", fileOf([](auto& w) { stakeladder::writeLadderSettings(w, kLadder); }),
         "[SetBT]\r\nnModel=6\r\nnLirunLv=-294967296\r\nnLirunType=1\r\nnQishu=-7\r\n"
         "nStartBeishu=-1\r\nnXingshu=0\r\nnZhushu=99999\r\nfLirun=0.250000\r\n"
         "fPeilv=12345.677734\r\n"},
        {"settb.ini on close",
         fileOf([](auto& w) { writeWaveSettings(w, kWave, wavestake::KeyOrder::closing); }),
         "[SetBT]\r\nnBoshu=7\r\nnQishu=9\r\nnMode=1\r\nnXingshu=4\r\nnZhushu=8\r\n"
         "fLirun=-1.500000\r\nfPeilv=0.001000\r\n"},
        {"an exported settb.ini",
         fileOf([](auto& w) { writeWaveSettings(w, kWave, wavestake::KeyOrder::exporting); }),
         "[SetBT]\r\nnBoshu=7\r\nnQishu=9\r\nnXingshu=4\r\nnMode=1\r\nnZhushu=8\r\n"
         "fLirun=-1.500000\r\nfPeilv=0.001000\r\n"},
        {"setgl.ini, snowballstake's section on close", fileOf([](auto& w) {
             writeSnowballSettings(w, kSnowball, snowballstake::KeyOrder::onClose);
         }),
         "[SetBT]\r\nnQishu=9\r\nnMode=7\r\nnXingshu=3\r\nnZhushu=8\r\n"
         "nStartBeishu=-2147483648\r\nfPeilv=300000000549775575777803994281145270272.000000\r\n"},
        {"an exported setgl.ini of snowballstake", fileOf([](auto& w) {
             writeSnowballSettings(w, kSnowball, snowballstake::KeyOrder::onExport);
         }),
         "[SetBT]\r\nnQishu=9\r\nnXingshu=3\r\nnMode=7\r\nnZhushu=8\r\n"
         "nStartBeishu=-2147483648\r\nfPeilv=300000000549775575777803994281145270272.000000\r\n"},
        {"setgl.ini, segmentstake's section",
         fileOf([](auto& w) { segmentstake::writeSegmentSettings(w, kSegment); }),
         "[SetFD]\r\nnQishu=-1\r\nnMode=0\r\nnXingshu=-1\r\nnZhushu=7\r\nnPeilv=6\r\n"
         "nZhong=5\r\nfYingli=0.100000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.file, c.expected);
    }
}

// What is written reads back the same; a missing key reads as a fresh start
// (at import, segmentstake's 最大倍数 as 5); a tool reads its own section only.
TEST(Settings, RoundTripsAndDefaults) {
    const std::string shared =
        fileOf([](auto& w) {
            writeSnowballSettings(w, kSnowball, snowballstake::KeyOrder::onClose);
        }) +
        fileOf([](auto& w) { segmentstake::writeSegmentSettings(w, kSegment); });
    const stake::ProfileText empty;

    stakeladder::LadderInputs ladder{.useCustom = true, .customText = "3-1"};
    readLadderSettings(empty, ladder);
    EXPECT_EQ(ladder, (stakeladder::LadderInputs{.useCustom = true, .customText = "3-1"}));
    readLadderSettings(stake::ProfileText(fileOf([](auto& w) { writeLadderSettings(w, kLadder); })),
                       ladder);
    stakeladder::LadderInputs expected = kLadder;
    expected.useCustom = true; // not a setting: left as it was
    expected.customText = "3-1";
    EXPECT_EQ(ladder, expected);

    for (const auto order : {wavestake::KeyOrder::closing, wavestake::KeyOrder::exporting}) {
        wavestake::WaveSettings wave;
        readWaveSettings(
            stake::ProfileText(fileOf([&](auto& w) { writeWaveSettings(w, kWave, order); })), wave);
        EXPECT_EQ(wave, kWave);
        readWaveSettings(empty, wave);
        EXPECT_EQ(wave, wavestake::WaveSettings{});
    }

    snowballstake::SnowballInputs snowball;
    readSnowballSettings(stake::ProfileText(shared), snowball);
    EXPECT_EQ(snowball, kSnowball);
    readSnowballSettings(empty, snowball);
    EXPECT_EQ(snowball, snowballstake::SnowballInputs{});

    segmentstake::SegmentInputs segment;
    readSegmentSettings(stake::ProfileText(shared), segment);
    EXPECT_EQ(segment, kSegment);
    readSegmentSettings(empty, segment);
    EXPECT_EQ(segment, segmentstake::SegmentInputs{});
    readSegmentSettings(empty, segment, segmentstake::SettingsDefaults::import);
    EXPECT_EQ(segment, segmentstake::SegmentInputs{.maxMultiplier = 5});
}

TEST(Settings, ReadingValues) {
    const struct {
        const char* name;
        std::string line;
        float odds;
        std::int32_t modeIndex = 3;
    } cases[] = {
        {"missing key: the default text", "", 1956.0f},
        {"empty value: the default text", "fPeilv=\r\n", 1956.0f},
        {"quoted empty value", "fPeilv=\"\"\r\n", 1956.0f},
        {"not a number reads 0", "fPeilv=abc\r\n", 0.0f},
        {"leading number", "fPeilv=12.5xyz\r\n", 12.5f},
        {"too large for single precision: the default", "fPeilv=1e40\r\n", 1956.0f},
        {"too large negative", "fPeilv=-1e39\r\n", 1956.0f},
        {"beyond double", "fPeilv=1e999\r\n", 1956.0f},
        {"tiny", "fPeilv=1e-50\r\n", 0.0f},
        {"integer not a number", "nModel=abc\r\n", 1956.0f, 0},
        {"integer in hex, key in any case", "nmodel=0x10\r\n", 1956.0f, 16},
        {"empty integer: the default", "nModel=\r\n", 1956.0f, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        stakeladder::LadderInputs inputs;
        readLadderSettings(stake::ProfileText("[SetBT]\r\n" + c.line), inputs);
        EXPECT_EQ(inputs.odds, c.odds);
        EXPECT_EQ(inputs.modeIndex, c.modeIndex);
    }
    EXPECT_EQ(stakeladder::findLadderSetting("fPeilv")->key, "fPeilv");
    EXPECT_EQ(stakeladder::findLadderSetting("fpeilv"), nullptr);
    EXPECT_EQ(stakeladder::findLadderSetting("useCustom"), nullptr);
}

} // namespace
