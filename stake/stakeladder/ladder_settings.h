// stakeladder's settings: the nine keys of section "SetBT", kept in
// "setbt.ini" beside the program and in exported copies of the same form.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/stakeladder/ladder_plan.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>

namespace stakeladder {

inline constexpr std::string_view kSettingsFileName = "setbt.ini";
inline constexpr std::string_view kSettingsSection = "SetBT";

// A signed integer key, written in decimal.
struct IntSetting {
    std::int32_t LadderInputs::*field;
    std::int32_t defaultValue;
};

// An unsigned integer key, written in decimal through its 32-bit pattern as a
// signed integer (so that every value reads back unchanged).
struct UintSetting {
    std::uint32_t LadderInputs::*field;
    std::uint32_t defaultValue;
};

// A decimal key, written "%f"; a missing or empty value reads as its default
// text, and a text that is not a number as 0.
struct RealSetting {
    float LadderInputs::*field;
    std::string_view defaultText;
};

struct LadderSetting {
    std::string_view key;
    std::variant<IntSetting, UintSetting, RealSetting> kind;
};

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
