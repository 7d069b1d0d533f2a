// A calculator's settings as a table of keys bound to the fields of its
// inputs: integers read and written in decimal, reals read as text (a missing
// or empty value taking its default text) and written "%f". The tools keep
// their own tables, orders and sections; this is how one key is handled.
#pragma once

#include "stake/common/settings_io.h"
#include "stake/common/stake_rules.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace stake {

// A signed integer key.
template <class Inputs> struct IntKey {
    std::int32_t Inputs::*field;
    std::int32_t defaultValue;
};

// A decimal key; a missing or empty value reads as `defaultText`.
template <class Inputs> struct RealKey {
    float Inputs::*field;
    std::string_view defaultText;
};

template <class Inputs> struct SettingKey {
    std::string_view key;
    std::variant<IntKey<Inputs>, RealKey<Inputs>> kind;
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
                 const SettingKey<Inputs>& setting, Inputs& inputs) {
    if (const auto* integer = std::get_if<IntKey<Inputs>>(&setting.kind)) {
        inputs.*integer->field = reader.readInt(section, setting.key, integer->defaultValue);
    } else if (const auto* real = std::get_if<RealKey<Inputs>>(&setting.kind)) {
        inputs.*real->field = readRealSetting(reader, section, setting.key, real->defaultText);
    }
}

template <class Inputs>
void writeSetting(SettingsWriter& writer, std::string_view section,
                  const SettingKey<Inputs>& setting, const Inputs& inputs) {
    if (const auto* integer = std::get_if<IntKey<Inputs>>(&setting.kind)) {
        writer.writeInt(section, setting.key, inputs.*integer->field);
    } else if (const auto* real = std::get_if<RealKey<Inputs>>(&setting.kind)) {
        writer.writeText(section, setting.key, formatFixed(inputs.*real->field, 6));
    }
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
