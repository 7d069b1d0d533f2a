// stakeladder's settings: the nine keys of section "SetBT", kept in
// "setbt.ini" beside the program and in exported copies of the same form.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/settings_keys.h"
#include "stake/stakeladder/stakeladder_plan.h"

#include <array>
#include <string_view>

namespace stakeladder {

inline constexpr std::string_view kSettingsFileName = "setbt.ini";
inline constexpr std::string_view kSettingsSection = "SetBT";

using LadderSetting = stake::SettingKey<LadderInputs>;
using IntSetting = stake::IntKey<LadderInputs>;
using UintSetting = stake::UintKey<LadderInputs>;
using RealSetting = stake::RealKey<LadderInputs>;

// The keys in the order in which they are read and written.
inline constexpr std::array<LadderSetting, 9> kLadderSettings{{
    {"nModel", IntSetting{&LadderInputs::modeIndex, 3}},
    {"nLirunLv", UintSetting{&LadderInputs::ratePercent, 1}},
    {"nLirunType", IntSetting{&LadderInputs::profitType, 0}},
    {"nQishu", IntSetting{&LadderInputs::periods, 5}},
    {"nStartBeishu", UintSetting{&LadderInputs::startMultiplier, 1}},
    {"nXingshu", IntSetting{&LadderInputs::starIndex, 2}},
    {"nZhushu", IntSetting{&LadderInputs::bets, 500}},
    {"fLirun", RealSetting{&LadderInputs::profitAmount, "100"}},
    {"fPeilv", RealSetting{&LadderInputs::odds, "1956"}},
}};

// The setting of that key (exact spelling), or nullptr.
const LadderSetting* findLadderSetting(std::string_view key);

// Reads the nine keys of section "SetBT" into `inputs`, each missing key taking
// its default. useCustom and customText are not settings and stay as they are.
void readLadderSettings(const stake::SettingsReader& reader, LadderInputs& inputs);

// Writes the nine keys to section "SetBT" in table order.
void writeLadderSettings(stake::SettingsWriter& writer, const LadderInputs& inputs);

} // namespace stakeladder
