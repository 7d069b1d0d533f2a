// snowballstake's settings: the six keys of section "SetBT", kept in
// "setgl.ini" beside the program and in exported copies of the same form.
// segmentstake keeps its own section "SetFD" in the same file: only SetBT is
// read or written here.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/settings_keys.h"
#include "stake/snowballstake/snowballstake_plan.h"

#include <array>
#include <string_view>

namespace snowballstake {

inline constexpr std::string_view kSettingsFileName = "setgl.ini";
inline constexpr std::string_view kSettingsSection = "SetBT";

using IntSetting = stake::IntKey<SnowballInputs>;
using RealSetting = stake::RealKey<SnowballInputs>;
using SnowballSetting = stake::SettingKey<SnowballInputs>;

// The keys in the order in which they are read, and written on close. The
// defaults are the same at start-up and at import.
inline constexpr std::array<SnowballSetting, 6> kSnowballSettings{{
    {"nQishu", IntSetting{&SnowballInputs::rollPeriods, 5}},
    {"nMode", IntSetting{&SnowballInputs::modeIndex, 2}},
    {"nXingshu", IntSetting{&SnowballInputs::starIndex, 2}},
    {"nZhushu", IntSetting{&SnowballInputs::bets, 500}},
    {"nStartBeishu", IntSetting{&SnowballInputs::startMultiplier, 1}},
    {"fPeilv", RealSetting{&SnowballInputs::odds, "1956"}},
}};

// Export writes the star count before the mode.
enum class KeyOrder { onClose, onExport };

// The setting of that key (exact spelling), or nullptr.
const SnowballSetting* findSnowballSetting(std::string_view key);

// Reads the six keys of section "SetBT" into `inputs`, each missing key taking
// its default.
void readSnowballSettings(const stake::SettingsReader& reader, SnowballInputs& inputs);

// Writes the six keys to section "SetBT" in the order of `order`.
void writeSnowballSettings(stake::SettingsWriter& writer, const SnowballInputs& inputs,
                           KeyOrder order);

} // namespace snowballstake
