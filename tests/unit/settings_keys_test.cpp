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

// clang-format off

using namespace stakeladder;
using namespace wavestake;
using namespace snowballstake;
using namespace segmentstake;

// Renders what is written as the platform's profile functions lay out a new
// file: one header per section, then its keys in the order written.
class FileWriter final : public stake::SettingsWriter {
  public:
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        writeText(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        file += (section == section_ ? "" : "[" + std::string(section) + "]\r\n") +
                std::string(key) + "=" + std::string(text) + "\r\n";
        section_ = section;
    }
    std::string file;

  private:
    std::string section_;
};

// Writes `inputs`, compares the file with `expected`, and reads it back.
template <class Inputs, class Write, class Read>
void expectFile(const Inputs& inputs, Write write, Read read, const std::string& expected) {
    FileWriter writer;
    write(writer, inputs);
    EXPECT_EQ(writer.file, expected);
    Inputs back{};
    read(stake::ProfileText(expected), back);
    EXPECT_EQ(back, inputs);
}

// Values unlike every default and every other value of their tool.
TEST(Settings, FilesByteForByteAndBack) {
    expectFile(LadderInputs{.periods = -7, .odds = 12345.678f, .bets = 99999, .modeIndex = 6,
               .starIndex = 0, .profitType = 1, .ratePercent = 4000000000u,
               .startMultiplier = 4294967295u, .profitAmount = 0.25f},
               writeLadderSettings, readLadderSettings,
               "[SetBT]\r\nnModel=6\r\nnLirunLv=-294967296\r\nnLirunType=1\r\nnQishu=-7\r\n"
               "nStartBeishu=-1\r\nnXingshu=0\r\nnZhushu=99999\r\nfLirun=0.250000\r\nfPeilv=12345.677734\r\n");
    const WaveSettings wave{.nQishu = 9, .nZhushu = 8, .fPeilv = 1e-3f, .nBoshu = 7, .fLirun = -1.5f,
                            .nXingshu = 4, .nMode = 1};
    const std::string waveValues = "nZhushu=8\r\nfLirun=-1.500000\r\nfPeilv=0.001000\r\n";
    expectFile(wave, [](auto& w, auto& i) { writeWaveSettings(w, i, wavestake::KeyOrder::closing); },
               readWaveSettings, "[SetBT]\r\nnBoshu=7\r\nnQishu=9\r\nnMode=1\r\nnXingshu=4\r\n" + waveValues);
    expectFile(wave, [](auto& w, auto& i) { writeWaveSettings(w, i, wavestake::KeyOrder::exporting); },
               readWaveSettings, "[SetBT]\r\nnBoshu=7\r\nnQishu=9\r\nnXingshu=4\r\nnMode=1\r\n" + waveValues);
    const SnowballInputs snowball{.rollPeriods = 9, .bets = 8, .odds = 3e38f, .startMultiplier = INT32_MIN,
                                  .starIndex = 3, .modeIndex = 7};
    const std::string snowballValues = "nZhushu=8\r\nnStartBeishu=-2147483648\r\n"
                                       "fPeilv=300000000549775575777803994281145270272.000000\r\n";
    expectFile(snowball, [](auto& w, auto& i) { writeSnowballSettings(w, i, snowballstake::KeyOrder::onClose); },
               readSnowballSettings, "[SetBT]\r\nnQishu=9\r\nnMode=7\r\nnXingshu=3\r\n" + snowballValues);
    expectFile(snowball, [](auto& w, auto& i) { writeSnowballSettings(w, i, snowballstake::KeyOrder::onExport); },
               readSnowballSettings, "[SetBT]\r\nnQishu=9\r\nnXingshu=3\r\nnMode=7\r\n" + snowballValues);
    const std::string segmentFile = "[SetFD]\r\nnQishu=-1\r\nnMode=0\r\nnXingshu=-1\r\nnZhushu=7\r\n"
                                    "nPeilv=6\r\nnZhong=5\r\nfYingli=0.100000\r\n";
    expectFile(SegmentInputs{.maxMultiplier = 4294967295u, .bets = 7, .odds = 6, .hitPeriods = 5,
               .targetProfit = 0.1f, .starIndex = -1, .modeIndex = 0},
               writeSegmentSettings, [](const auto& r, auto& i) { readSegmentSettings(r, i); }, segmentFile);

    // A missing key reads as a fresh start (at an import, segmentstake's
    // 最大倍数 as 5), and each tool of setgl.ini reads its own section only.
    LadderInputs ladder{.periods = 9, .useCustom = true};
    readLadderSettings(stake::ProfileText(), ladder);
    EXPECT_EQ(ladder, (LadderInputs{.useCustom = true})) << "useCustom is no setting";
    WaveSettings waveRead{.nQishu = 1};
    readWaveSettings(stake::ProfileText(), waveRead);
    EXPECT_EQ(waveRead, WaveSettings{});
    SnowballInputs snowballRead{.bets = 1};
    readSnowballSettings(stake::ProfileText(segmentFile), snowballRead);
    EXPECT_EQ(snowballRead, SnowballInputs{});
    SegmentInputs segment{.bets = 1};
    readSegmentSettings(stake::ProfileText("[SetBT]\r\nnQishu=9\r\n"), segment);
    EXPECT_EQ(segment, SegmentInputs{});
    readSegmentSettings(stake::ProfileText(), segment, SettingsDefaults::import);
    EXPECT_EQ(segment, SegmentInputs{.maxMultiplier = 5});
}

// A decimal key by the atof rule; a value not finite in single precision
// takes the default text.
TEST(Settings, ReadingDecimals) {
    const std::pair<std::string, float> cases[] = {
        {"", 1956.0f},                  {"fPeilv=\r\n", 1956.0f},       {"fPeilv=abc\r\n", 0.0f},
        {"fPeilv=12.5xyz\r\n", 12.5f},  {"fPeilv=1e40\r\n", 1956.0f},   {"fPeilv=-1e39\r\n", 1956.0f},
        {"fPeilv=1e-50\r\n", 0.0f},
    };
    for (const auto& [line, odds] : cases) {
        LadderInputs inputs;
        readLadderSettings(stake::ProfileText("[SetBT]\r\n" + line), inputs);
        EXPECT_EQ(inputs.odds, odds) << line;
    }
}

// clang-format on
} // namespace
