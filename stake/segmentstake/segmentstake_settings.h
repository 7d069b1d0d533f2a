// segmentstake's settings: the seven keys of section "SetFD", kept in
// "setgl.ini" beside the program (a file it shares with snowballstake, whose
// section it leaves alone) and in exported copies of the same form.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/settings_keys.h"
#include "stake/segmentstake/segmentstake_plan.h"

#include <array>
#include <string_view>

namespace segmentstake {

inline constexpr std::string_view kSettingsFileName = "setgl.ini";
inline constexpr std::string_view kSettingsSection = "SetFD";

// Which defaults a missing key takes: those of the start-up or those of an
// import, which differ for "nQishu" (50 against 5).
using SettingsDefaults = stake::SettingsDefaults;

using SegmentSetting = stake::SettingKey<SegmentInputs>;
using IntSetting = stake::IntKey<SegmentInputs>;
using UintSetting = stake::UintKey<SegmentInputs>;
using RealSetting = stake::RealKey<SegmentInputs>;

// The keys in the order in which they are read and written.
inline constexpr std::array<SegmentSetting, 7> kSegmentSettings{{
    {"nQishu", UintSetting{&SegmentInputs::maxMultiplier, 50, 5}},
    {"nMode", IntSetting{&SegmentInputs::modeIndex, 2}},
    {"nXingshu", IntSetting{&SegmentInputs::starIndex, 2}},
    {"nZhushu", UintSetting{&SegmentInputs::bets, 488}},
    {"nPeilv", UintSetting{&SegmentInputs::odds, 1956}},
    {"nZhong", UintSetting{&SegmentInputs::hitPeriods, 5}},
    {"fYingli", RealSetting{&SegmentInputs::targetProfit, "50"}},
}};

// The setting of that key (exact spelling), or nullptr.
const SegmentSetting* findSegmentSetting(std::string_view key);

// Reads the seven keys of section "SetFD" into `inputs`, each missing key
// taking the default of `defaults`.
void readSegmentSettings(const stake::SettingsReader& reader, SegmentInputs& inputs,
                         SettingsDefaults defaults = SettingsDefaults::startUp);

// Writes the seven keys to section "SetFD" in table order.
void writeSegmentSettings(stake::SettingsWriter& writer, const SegmentInputs& inputs);

} // namespace segmentstake
