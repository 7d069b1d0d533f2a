#include "stake/snowballstake/snowballstake_settings.h"

#include "stake/common/profile_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace snowballstake;
using Lines = std::vector<std::pair<std::string, std::string>>;

// Collects what is written, in order; every write must go to section SetBT.
class RecordingWriter final : public stake::SettingsWriter {
  public:
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        record(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        record(section, key, std::string(text));
    }

    Lines lines;

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

// A settings file changed the way the platform's profile writer changes it:
// a key already in its section is replaced in place, a new key is added at the
// end of its section, a new section at the end of the file; nothing else moves.
class ProfileFake final : public stake::SettingsWriter {
  public:
    explicit ProfileFake(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        writeText(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        const std::string line = std::string(key) + "=" + std::string(text);
        const std::string header = "[" + std::string(section) + "]";
        auto at = std::find(lines_.begin(), lines_.end(), header);
        if (at == lines_.end()) {
            lines_.push_back(header);
            lines_.push_back(line);
            return;
        }
        for (++at; at != lines_.end() && !at->starts_with("["); ++at) {
            if (at->starts_with(std::string(key) + "=")) {
                *at = line;
                return;
            }
        }
        lines_.insert(at, line);
    }

    const std::vector<std::string>& lines() const { return lines_; }
    std::string text() const {
        std::string all;
        for (const std::string& line : lines_)
            all += line + "\r\n";
        return all;
    }

  private:
    std::vector<std::string> lines_;
};

TEST(SnowballSettings, WrittenOnCloseInTableOrder) {
    RecordingWriter writer;
    writeSnowballSettings(writer, SnowballInputs{}, KeyOrder::onClose);
    const Lines expected = {
        {"nQishu", "5"},    {"nMode", "2"},        {"nXingshu", "2"},
        {"nZhushu", "500"}, {"nStartBeishu", "1"}, {"fPeilv", "1956.000000"},
    };
    EXPECT_EQ(writer.lines, expected);
}

TEST(SnowballSettings, ExportWritesTheStarCountBeforeTheMode) {
    SnowballInputs inputs;
    inputs.modeIndex = 6;
    inputs.starIndex = 1;
    RecordingWriter writer;
    writeSnowballSettings(writer, inputs, KeyOrder::onExport);
    const Lines expected = {
        {"nQishu", "5"},    {"nXingshu", "1"},     {"nMode", "6"},
        {"nZhushu", "500"}, {"nStartBeishu", "1"}, {"fPeilv", "1956.000000"},
    };
    EXPECT_EQ(writer.lines, expected);
}

TEST(SnowballSettings, MissingFileOrKeysGiveTheFreshStart) {
    SnowballInputs inputs;
    inputs.rollPeriods = 99;
    inputs.odds = 1.0f;
    inputs.startMultiplier = 7;
    readSnowballSettings(stake::ProfileText{}, inputs);
    EXPECT_EQ(inputs, SnowballInputs{});

    readSnowballSettings(stake::ProfileText("[SetBT]\r\nnZhushu=600\r\n"), inputs);
    SnowballInputs expected;
    expected.bets = 600;
    EXPECT_EQ(inputs, expected);
}

TEST(SnowballSettings, RoundTrip) {
    SnowballInputs inputs;
    inputs.rollPeriods = -7;
    inputs.bets = 99999;
    inputs.odds = 12345.678f;
    inputs.startMultiplier = INT32_MIN;
    inputs.starIndex = 0;
    inputs.modeIndex = 7;
    for (const KeyOrder order : {KeyOrder::onClose, KeyOrder::onExport}) {
        RecordingWriter writer;
        writeSnowballSettings(writer, inputs, order);
        SnowballInputs read;
        readSnowballSettings(stake::ProfileText(writer.fileText()), read);
        EXPECT_EQ(read, inputs);
    }
}

TEST(SnowballSettings, OddsValues) {
    struct Case {
        const char* name;
        std::string line;
        float odds;
    };
    const Case cases[] = {
        {"missing key", "", 1956.0f},
        {"empty value", "fPeilv=\r\n", 1956.0f},
        {"not a number reads 0", "fPeilv=abc\r\n", 0.0f},
        {"leading number", "fPeilv=1800.5xyz\r\n", 1800.5f},
        {"written form", "fPeilv=1956.500000\r\n", 1956.5f},
        {"too large for single precision", "fPeilv=1e40\r\n", 1956.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SnowballInputs inputs;
        readSnowballSettings(stake::ProfileText("[SetBT]\r\n" + c.line), inputs);
        EXPECT_EQ(inputs.odds, c.odds);
    }
}

TEST(SnowballSettings, IntegerValues) {
    SnowballInputs inputs;
    readSnowballSettings(stake::ProfileText("[setbt]\nnqishu=0x10\nnMode=abc\nnZhushu=\n"
                                            "nStartBeishu=-3\nnXingshu=12abc\n"),
                         inputs);
    EXPECT_EQ(inputs.rollPeriods, 16);
    EXPECT_EQ(inputs.modeIndex, 0);
    EXPECT_EQ(inputs.bets, 500) << "an empty value takes the default";
    EXPECT_EQ(inputs.startMultiplier, -3);
    EXPECT_EQ(inputs.starIndex, 12);
}

TEST(SnowballSettings, OnlySectionSetBTIsRead) {
    SnowballInputs inputs;
    readSnowballSettings(stake::ProfileText("nQishu=9\n[SetFD]\nnQishu=50\nnZhushu=488\n"), inputs);
    EXPECT_EQ(inputs, SnowballInputs{});
}

TEST(SnowballSettings, WritingSetBTLeavesSetFDOfTheSameFileIntact) {
    const std::vector<std::string> segmentSection = {
        "[SetFD]",     "nQishu=50",   "nMode=3",  "nXingshu=1",
        "nZhushu=488", "nPeilv=1956", "nZhong=5", "fYingli=50.000000",
    };
    ProfileFake file(segmentSection);
    SnowballInputs inputs;
    inputs.rollPeriods = 8;
    inputs.modeIndex = 0;
    writeSnowballSettings(file, inputs, KeyOrder::onClose);
    // Written twice, as on two closes: the section is updated, not repeated.
    writeSnowballSettings(file, inputs, KeyOrder::onClose);

    EXPECT_EQ(std::vector<std::string>(file.lines().begin(), file.lines().begin() + 8),
              segmentSection);
    EXPECT_EQ(file.lines().size(), 8u + 7u);

    const stake::ProfileText read(file.text());
    EXPECT_EQ(read.readInt("SetFD", "nQishu", -1), 50);
    EXPECT_EQ(read.readInt("SetFD", "nMode", -1), 3);
    EXPECT_EQ(read.readText("SetFD", "fYingli"), "50.000000");
    SnowballInputs back;
    readSnowballSettings(read, back);
    EXPECT_EQ(back, inputs);
}

TEST(SnowballSettings, LookupByKey) {
    for (const char* key : {"nQishu", "nZhushu", "fPeilv", "nStartBeishu", "nXingshu", "nMode"}) {
        ASSERT_NE(findSnowballSetting(key), nullptr) << key;
        EXPECT_EQ(findSnowballSetting(key)->key, key);
    }
    EXPECT_EQ(findSnowballSetting("nmode"), nullptr);
    EXPECT_EQ(findSnowballSetting("nModel"), nullptr) << "stakeladder's key";
    EXPECT_EQ(findSnowballSetting(""), nullptr);
}

} // namespace
