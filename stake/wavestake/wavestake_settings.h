// wavestake's settings: the seven keys of section "SetBT", kept in "settb.ini"
// beside the program and in exported copies of the same form.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/settings_keys.h"
#include "stake/wavestake/wavestake_plan.h"

#include <array>
#include <string_view>

namespace wavestake {

inline constexpr std::string_view kSettingsFileName = "settb.ini";
inline constexpr std::string_view kSettingsSection = "SetBT";

using WaveSetting = stake::SettingKey<WaveSettings>;
using IntSetting = stake::IntKey<WaveSettings>;
using RealSetting = stake::RealKey<WaveSettings>;

// The keys in the order in which they are read, and written when the window
// closes.
inline constexpr std::array<WaveSetting, 7> kWaveSettings{{
    {"nBoshu", IntSetting{&WaveSettings::nBoshu, 3}},
    {"nQishu", IntSetting{&WaveSettings::nQishu, 5}},
    {"nMode", IntSetting{&WaveSettings::nMode, 2}},
    {"nXingshu", IntSetting{&WaveSettings::nXingshu, 2}},
    {"nZhushu", IntSetting{&WaveSettings::nZhushu, 500}},
    {"fLirun", RealSetting{&WaveSettings::fLirun, "100"}},
    {"fPeilv", RealSetting{&WaveSettings::fPeilv, "1956"}},
}};

// Closing the window and exporting write the same keys in different orders:
// an export puts nXingshu before nMode.
enum class KeyOrder { closing, exporting };

// The setting of that key (exact spelling), or nullptr.
const WaveSetting* findWaveSetting(std::string_view key);

// Reads the seven keys of section "SetBT", each missing key taking its default.
void readWaveSettings(const stake::SettingsReader& reader, WaveSettings& settings);

// Writes the seven keys to section "SetBT" in the given order.
void writeWaveSettings(stake::SettingsWriter& writer, const WaveSettings& settings, KeyOrder order);

} // namespace wavestake
