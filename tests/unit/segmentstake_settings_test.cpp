#include "stake/segmentstake/segmentstake_settings.h"

#include "stake/common/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace segmentstake;

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
        std::string text = "[SetFD]\r\n";
        for (const auto& [key, value] : lines)
            text += key + "=" + value + "\r\n";
        return text;
    }

  private:
    void record(std::string_view section, std::string_view key, std::string value) {
        EXPECT_EQ(section, "SetFD");
        lines.emplace_back(std::string(key), std::move(value));
    }
};

SegmentInputs readFrom(const std::string& text, SettingsDefaults defaults) {
    SegmentInputs inputs;
    inputs.maxMultiplier = 777;
    inputs.targetProfit = 1.0f;
    readSegmentSettings(stake::ProfileText(text), inputs, defaults);
    return inputs;
}

TEST(SegmentSettings, WrittenInOrderWithSixDecimals) {
    RecordingWriter writer;
    writeSegmentSettings(writer, SegmentInputs{});
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"nQishu", "50"},   {"nMode", "2"},  {"nXingshu", "2"},        {"nZhushu", "488"},
        {"nPeilv", "1956"}, {"nZhong", "5"}, {"fYingli", "50.000000"},
    };
    EXPECT_EQ(writer.lines, expected);
}

TEST(SegmentSettings, StartUpDefaultsAreTheFreshStart) {
    EXPECT_EQ(readFrom("", SettingsDefaults::startUp), SegmentInputs{});
}

TEST(SegmentSettings, ImportDefaultsDifferInTheMaximumMultiplier) {
    SegmentInputs expected;
    expected.maxMultiplier = 5;
    EXPECT_EQ(readFrom("", SettingsDefaults::import), expected);
    // A file with the key reads it either way.
    EXPECT_EQ(readFrom("[SetFD]\nnQishu=80\n", SettingsDefaults::import).maxMultiplier, 80u);
    EXPECT_EQ(readFrom("[SetFD]\nnQishu=80\n", SettingsDefaults::startUp).maxMultiplier, 80u);
}

TEST(SegmentSettings, RoundTrip) {
    SegmentInputs inputs;
    inputs.maxMultiplier = 4294967295u;
    inputs.bets = 99999;
    inputs.odds = 3000000000u;
    inputs.hitPeriods = 0;
    inputs.targetProfit = 1234.5678f;
    inputs.starIndex = 0;
    inputs.modeIndex = 7;
    RecordingWriter writer;
    writeSegmentSettings(writer, inputs);
    EXPECT_EQ(writer.lines[0], (std::pair<std::string, std::string>{"nQishu", "-1"}));
    for (const SettingsDefaults defaults : {SettingsDefaults::startUp, SettingsDefaults::import})
        EXPECT_EQ(readFrom(writer.fileText(), defaults), inputs);
}

TEST(SegmentSettings, TargetProfit) {
    struct Case {
        const char* name;
        std::string line;
        float target;
    };
    const Case cases[] = {
        {"missing key reads 50", "", 50.0f},
        {"empty value reads 50", "fYingli=\r\n", 50.0f},
        {"not a number reads 0", "fYingli=abc\r\n", 0.0f},
        {"leading number", "fYingli=12.5xyz\r\n", 12.5f},
        {"written form", "fYingli=88.250000\r\n", 88.25f},
        {"negative", "fYingli=-3\r\n", -3.0f},
        {"too large for single precision", "fYingli=1e40\r\n", 50.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readFrom("[SetFD]\r\n" + c.line, SettingsDefaults::startUp).targetProfit,
                  c.target);
    }
}

TEST(SegmentSettings, OnlySectionSetFD) {
    // snowballstake keeps section SetBT in the same file.
    const SegmentInputs inputs = readFrom("[SetBT]\nnQishu=9\nnZhushu=7\nfPeilv=3\n"
                                          "[SetFD]\nnZhong=3\n",
                                          SettingsDefaults::startUp);
    EXPECT_EQ(inputs.maxMultiplier, 50u);
    EXPECT_EQ(inputs.bets, 488u);
    EXPECT_EQ(inputs.hitPeriods, 3u);
}

TEST(SegmentSettings, IntegerValues) {
    const SegmentInputs inputs =
        readFrom("[setfd]\nnMode=abc\nnXingshu=-1\nnzhushu=0x10\nnPeilv=\nnZhong=-2\n",
                 SettingsDefaults::startUp);
    EXPECT_EQ(inputs.modeIndex, 0);
    EXPECT_EQ(inputs.starIndex, -1);
    EXPECT_EQ(inputs.bets, 16u);
    EXPECT_EQ(inputs.odds, 1956u) << "an empty value takes the default";
    EXPECT_EQ(inputs.hitPeriods, 4294967294u);
}

TEST(SegmentSettings, LookupByKey) {
    for (const char* key :
         {"nQishu", "nZhushu", "nPeilv", "nZhong", "fYingli", "nXingshu", "nMode"})
        EXPECT_NE(findSegmentSetting(key), nullptr) << key;
    EXPECT_EQ(findSegmentSetting("nqishu"), nullptr);
    EXPECT_EQ(findSegmentSetting("fPeilv"), nullptr);
    EXPECT_EQ(findSegmentSetting(""), nullptr);
}

} // namespace
