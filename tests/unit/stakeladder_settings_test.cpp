#include "stake/stakeladder/stakeladder_settings.h"

#include "stake/common/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace stakeladder;

// Collects what is written, in order, and renders it as the settings file the
// platform would produce.
class RecordingWriter final : public stake::SettingsWriter {
  public:
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        record(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        record(section, key, std::string(text));
    }

    std::vector<std::pair<std::string, std::string>> lines;

    std::string fileText() const {
        std::string text = "[SetBT]\r\n";
        for (const auto& [key, value] : lines)
            text += key + "=" + value + "\r\n";
        return text;
    }

  private:
    void record(std::string_view section, std::string_view key, std::string value) {
        EXPECT_EQ(section, "SetBT");
        lines.emplace_back(std::string(key), std::move(value));
    }
};

TEST(LadderSettings, WrittenInTableOrder) {
    RecordingWriter writer;
    writeLadderSettings(writer, LadderInputs{});
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"nModel", "3"},    {"nLirunLv", "1"},        {"nLirunType", "0"},
        {"nQishu", "5"},    {"nStartBeishu", "1"},    {"nXingshu", "2"},
        {"nZhushu", "500"}, {"fLirun", "100.000000"}, {"fPeilv", "1956.000000"},
    };
    EXPECT_EQ(writer.lines, expected);
}

TEST(LadderSettings, DefaultsAreTheFreshStart) {
    LadderInputs inputs;
    inputs.periods = 99;
    inputs.odds = 1.0f;
    inputs.ratePercent = 77;
    inputs.useCustom = true;
    inputs.customText = "3-1";
    readLadderSettings(stake::ProfileText{}, inputs);
    LadderInputs expected;
    expected.useCustom = true; // not a setting: left as it was
    expected.customText = "3-1";
    EXPECT_EQ(inputs, expected);
}

TEST(LadderSettings, RoundTrip) {
    LadderInputs inputs;
    inputs.periods = -7;
    inputs.odds = 12345.678f;
    inputs.bets = 99999;
    inputs.modeIndex = 6;
    inputs.starIndex = 0;
    inputs.profitType = 1;
    inputs.ratePercent = 4000000000u;
    inputs.startMultiplier = 4294967295u;
    inputs.profitAmount = 0.25f;
    RecordingWriter writer;
    writeLadderSettings(writer, inputs);
    EXPECT_EQ(writer.lines[1], (std::pair<std::string, std::string>{"nLirunLv", "-294967296"}));

    LadderInputs read;
    readLadderSettings(stake::ProfileText(writer.fileText()), read);
    EXPECT_EQ(read, inputs);
}

TEST(LadderSettings, DecimalValues) {
    struct Case {
        const char* name;
        std::string line;
        float odds;
    };
    const Case cases[] = {
        {"missing key takes its default text", "", 1956.0f},
        {"empty value takes its default text", "fPeilv=\r\n", 1956.0f},
        {"quoted empty value", "fPeilv=\"\"\r\n", 1956.0f},
        {"not a number reads 0", "fPeilv=abc\r\n", 0.0f},
        {"leading number", "fPeilv=12.5xyz\r\n", 12.5f},
        {"written form", "fPeilv=1956.500000\r\n", 1956.5f},
        {"too large for single precision", "fPeilv=1e40\r\n", 1956.0f},
        {"too large negative", "fPeilv=-1e39\r\n", 1956.0f},
        {"beyond double", "fPeilv=1e999\r\n", 1956.0f},
        {"tiny", "fPeilv=1e-50\r\n", 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LadderInputs inputs;
        readLadderSettings(stake::ProfileText("[SetBT]\r\n" + c.line), inputs);
        EXPECT_EQ(inputs.odds, c.odds);
    }
}

TEST(LadderSettings, IntegerValues) {
    LadderInputs inputs;
    readLadderSettings(stake::ProfileText("[setbt]\nnModel=abc\nnLirunLv=-1\nnqishu=0x10\n"
                                          "nZhushu=\nnXingshu=12abc\n"),
                       inputs);
    EXPECT_EQ(inputs.modeIndex, 0);
    EXPECT_EQ(inputs.ratePercent, 4294967295u);
    EXPECT_EQ(inputs.periods, 16);
    EXPECT_EQ(inputs.bets, 500) << "an empty value takes the default";
    EXPECT_EQ(inputs.starIndex, 12);
}

TEST(LadderSettings, OnlySectionSetBT) {
    LadderInputs inputs;
    readLadderSettings(stake::ProfileText("nQishu=9\n[SetFD]\nnQishu=8\n"), inputs);
    EXPECT_EQ(inputs.periods, 5);
}

TEST(LadderSettings, LookupByKey) {
    ASSERT_NE(findLadderSetting("fPeilv"), nullptr);
    EXPECT_EQ(findLadderSetting("fPeilv")->key, "fPeilv");
    EXPECT_EQ(findLadderSetting("fpeilv"), nullptr);
    EXPECT_EQ(findLadderSetting("useCustom"), nullptr);
    EXPECT_EQ(findLadderSetting(""), nullptr);
}

} // namespace
