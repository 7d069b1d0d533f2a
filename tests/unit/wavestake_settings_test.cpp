#include "stake/wavestake/wavestake_settings.h"

#include "stake/common/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace wavestake;
using Lines = std::vector<std::pair<std::string, std::string>>;

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

TEST(WaveSettingsFile, ClosingAndExportWriteTheirOwnKeyOrders) {
    RecordingWriter closing;
    writeWaveSettings(closing, WaveSettings{}, KeyOrder::closing);
    EXPECT_EQ(closing.lines, (Lines{{"nBoshu", "3"},
                                    {"nQishu", "5"},
                                    {"nMode", "2"},
                                    {"nXingshu", "2"},
                                    {"nZhushu", "500"},
                                    {"fLirun", "100.000000"},
                                    {"fPeilv", "1956.000000"}}));

    RecordingWriter exporting;
    writeWaveSettings(exporting, WaveSettings{}, KeyOrder::exporting);
    EXPECT_EQ(exporting.lines, (Lines{{"nBoshu", "3"},
                                      {"nQishu", "5"},
                                      {"nXingshu", "2"},
                                      {"nMode", "2"},
                                      {"nZhushu", "500"},
                                      {"fLirun", "100.000000"},
                                      {"fPeilv", "1956.000000"}}));
}

TEST(WaveSettingsFile, MissingFileGivesTheFreshStart) {
    WaveSettings settings;
    settings.nBoshu = 99;
    settings.fPeilv = 1.0f;
    settings.nMode = 7;
    readWaveSettings(stake::ProfileText{}, settings);
    EXPECT_EQ(settings, WaveSettings{});
}

TEST(WaveSettingsFile, RoundTripInEitherOrder) {
    WaveSettings settings;
    settings.nQishu = -7;
    settings.nZhushu = 99999;
    settings.fPeilv = 12345.678f;
    settings.nBoshu = 2147483647;
    settings.fLirun = 0.25f;
    settings.nXingshu = 0;
    settings.nMode = 7;
    for (const KeyOrder order : {KeyOrder::closing, KeyOrder::exporting}) {
        RecordingWriter writer;
        writeWaveSettings(writer, settings, order);
        WaveSettings read;
        readWaveSettings(stake::ProfileText(writer.fileText()), read);
        EXPECT_EQ(read, settings) << writer.fileText();
    }
}

TEST(WaveSettingsFile, DecimalValues) {
    struct Case {
        const char* name;
        std::string text;
        float profit;
    };
    const Case cases[] = {
        {"missing key takes its default text", "", 100.0f},
        {"empty value takes its default text", "fLirun=\r\n", 100.0f},
        {"written form", "fLirun=250.500000\r\n", 250.5f},
        {"not a number reads 0", "fLirun=abc\r\n", 0.0f},
        {"leading number", "fLirun=12.5yuan\r\n", 12.5f},
        {"negative", "fLirun=-3\r\n", -3.0f},
        {"too large for single precision", "fLirun=1e40\r\n", 100.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveSettings settings;
        readWaveSettings(stake::ProfileText("[SetBT]\r\n" + c.text), settings);
        EXPECT_EQ(settings.fLirun, c.profit);
        EXPECT_EQ(settings.fPeilv, 1956.0f);
    }
}

TEST(WaveSettingsFile, IntegerValuesAndOtherSections) {
    WaveSettings settings;
    readWaveSettings(stake::ProfileText("[SetFD]\r\nnBoshu=9\r\n"
                                        "[setbt]\r\nnqishu=0x10\r\nnMode=abc\r\nnZhushu=\r\n"
                                        "nXingshu=12abc\r\n"),
                     settings);
    EXPECT_EQ(settings.nBoshu, 3) << "only section SetBT is read";
    EXPECT_EQ(settings.nQishu, 16);
    EXPECT_EQ(settings.nMode, 0);
    EXPECT_EQ(settings.nZhushu, 500) << "an empty value takes the default";
    EXPECT_EQ(settings.nXingshu, 12);
}

TEST(WaveSettingsFile, LookupByKey) {
    for (const char* key : {"nBoshu", "nQishu", "nZhushu", "fPeilv", "fLirun", "nXingshu", "nMode"})
        EXPECT_NE(findWaveSetting(key), nullptr) << key;
    EXPECT_EQ(findWaveSetting("nmode"), nullptr);
    EXPECT_EQ(findWaveSetting("nModel"), nullptr);
    EXPECT_EQ(findWaveSetting(""), nullptr);
}

} // namespace
