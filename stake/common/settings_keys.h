// A calculator's settings as a table of keys bound to the fields of its
// inputs: integers read and written in decimal, reals read as text (a missing
// or empty value taking its default text) and written "%f". The tools keep
// their own tables, orders and sections; this is how a table is read, written
// and searched.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/stake_rules.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace stake {

// Which default a missing key takes: the one of the start-up or, where a tool
// has one, the one of an import.
enum class SettingsDefaults { startUp, import };

// A signed integer key.
template <class Inputs> struct IntKey {
    std::int32_t Inputs::*field;
    std::int32_t defaultValue;
    std::optional<std::int32_t> importDefault = std::nullopt; // when it differs
};

// An unsigned integer key, read and written in decimal through its 32-bit
// pattern as a signed integer (so that every value reads back unchanged).
template <class Inputs> struct UintKey {
    std::uint32_t Inputs::*field;
    std::uint32_t defaultValue;
    std::optional<std::uint32_t> importDefault = std::nullopt; // when it differs
};

// A decimal key; a missing or empty value reads as `defaultText`, and a text
// that is not a number as 0.
template <class Inputs> struct RealKey {
    float Inputs::*field;
    std::string_view defaultText;
};

template <class Inputs> struct SettingKey {
    std::string_view key;
    std::variant<IntKey<Inputs>, UintKey<Inputs>, RealKey<Inputs>> kind;
};

// A decimal value by the atof rule after an empty text has become the default
// text. A value that is not finite in single precision (such as "1e40") takes
// the default instead: nothing can be computed from an infinite odds or profit.
inline float readRealSetting(const SettingsReader& reader, std::string_view section,
                             std::string_view key, std::string_view defaultText) {
    std::string text = reader.readText(section, key);
    if (text.empty())
        text = defaultText;
    const float value = static_cast<float>(leadingReal(text));
    if (std::isfinite(value))
        return value;
    return static_cast<float>(leadingReal(defaultText));
}

template <class Inputs>
void readSetting(const SettingsReader& reader, std::string_view section,
                 const SettingKey<Inputs>& setting, Inputs& inputs,
                 SettingsDefaults defaults = SettingsDefaults::startUp) {
    const auto fallback = [defaults](const auto& key) {
        if (defaults == SettingsDefaults::import && key.importDefault)
            return *key.importDefault;
        return key.defaultValue;
    };
    if (const auto* integer = std::get_if<IntKey<Inputs>>(&setting.kind)) {
        inputs.*integer->field = reader.readInt(section, setting.key, fallback(*integer));
    } else if (const auto* natural = std::get_if<UintKey<Inputs>>(&setting.kind)) {
        inputs.*natural->field = static_cast<std::uint32_t>(
            reader.readInt(section, setting.key, static_cast<std::int32_t>(fallback(*natural))));
    } else if (const auto* real = std::get_if<RealKey<Inputs>>(&setting.kind)) {
        inputs.*real->field = readRealSetting(reader, section, setting.key, real->defaultText);
    }
}

template <class Inputs>
void writeSetting(SettingsWriter& writer, std::string_view section,
                  const SettingKey<Inputs>& setting, const Inputs& inputs) {
    if (const auto* integer = std::get_if<IntKey<Inputs>>(&setting.kind)) {
        writer.writeInt(section, setting.key, inputs.*integer->field);
    } else if (const auto* natural = std::get_if<UintKey<Inputs>>(&setting.kind)) {
        writer.writeInt(section, setting.key, static_cast<std::int32_t>(inputs.*natural->field));
    } else if (const auto* real = std::get_if<RealKey<Inputs>>(&setting.kind)) {
        writer.writeText(section, setting.key, formatFixed(inputs.*real->field, 6));
    }
}

// Reads every key of the table, in table order.
template <class Inputs, std::size_t N>
void readSettings(const SettingsReader& reader, std::string_view section,
                  const std::array<SettingKey<Inputs>, N>& table, Inputs& inputs,
                  SettingsDefaults defaults = SettingsDefaults::startUp) {
    for (const SettingKey<Inputs>& setting : table)
        readSetting(reader, section, setting, inputs, defaults);
}

// Writes every key of the table, in table order.
template <class Inputs, std::size_t N>
void writeSettings(SettingsWriter& writer, std::string_view section,
                   const std::array<SettingKey<Inputs>, N>& table, const Inputs& inputs) {
    for (const SettingKey<Inputs>& setting : table)
        writeSetting(writer, section, setting, inputs);
}

// Writes every key of the table in another order: `order` holds table
// positions.
template <class Inputs, std::size_t N>
void writeSettings(SettingsWriter& writer, std::string_view section,
                   const std::array<SettingKey<Inputs>, N>& table, const Inputs& inputs,
                   const std::array<std::size_t, N>& order) {
    for (const std::size_t position : order)
        writeSetting(writer, section, table[position], inputs);
}

// The entry of that key (exact spelling), or nullptr.
template <class Inputs, std::size_t N>
const SettingKey<Inputs>* findSetting(const std::array<SettingKey<Inputs>, N>& table,
                                      std::string_view key) {
    for (const SettingKey<Inputs>& setting : table) {
        if (setting.key == key)
            return &setting;
    }
    return nullptr;
}

} // namespace stake
