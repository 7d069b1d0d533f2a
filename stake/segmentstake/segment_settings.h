// segmentstake's settings: the seven keys of section "SetFD", kept in
// "setgl.ini" beside the program (a file it shares with snowballstake, whose
// section it leaves alone) and in exported copies of the same form.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/segmentstake/segment_plan.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>

namespace segmentstake {

inline constexpr std::string_view kSettingsFileName = "setgl.ini";
inline constexpr std::string_view kSettingsSection = "SetFD";

// Which defaults a missing key takes: those of the start-up or those of an
// import, which differ for "nQishu" (50 against 5).
enum class SettingsDefaults { startUp, import };

// A signed integer key, written in decimal.
struct IntSetting {
    std::int32_t SegmentInputs::*field;
    std::int32_t startUpDefault;
    std::int32_t importDefault;
};

// An unsigned integer key, written in decimal through its 32-bit pattern as a
// signed integer (so that every value reads back unchanged).
struct UintSetting {
    std::uint32_t SegmentInputs::*field;
    std::uint32_t startUpDefault;
    std::uint32_t importDefault;
};

// A decimal key, written "%f"; a missing or empty value reads as its default
// text, and a text that is not a number as 0.
struct RealSetting {
    float SegmentInputs::*field;
    std::string_view defaultText;
};

struct SegmentSetting {
    std::string_view key;
    std::variant<IntSetting, UintSetting, RealSetting> kind;
};

// The keys in the order in which they are read and written.
inline constexpr std::array<SegmentSetting, 7> kSegmentSettings{{
    {"nQishu", UintSetting{&SegmentInputs::maxMultiplier, 50, 5}},
    {"nMode", IntSetting{&SegmentInputs::modeIndex, 2, 2}},
    {"nXingshu", IntSetting{&SegmentInputs::starIndex, 2, 2}},
    {"nZhushu", UintSetting{&SegmentInputs::bets, 488, 488}},
    {"nPeilv", UintSetting{&SegmentInputs::odds, 1956, 1956}},
    {"nZhong", UintSetting{&SegmentInputs::hitPeriods, 5, 5}},
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
