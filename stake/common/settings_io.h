// The settings-file operations the calculators need, apart from where the file
// lives: the dialogs implement them over the platform's profile functions,
// trendtools and the tests over ProfileText. Strings are UTF-8 (our section
// names, keys and values are ASCII).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace stake {

class SettingsReader {
  public:
    virtual ~SettingsReader() = default;

    // The key's value as an integer, or `defaultValue` when the key is missing
    // or its value is empty.
    virtual std::int32_t readInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) const = 0;

    // The key's value as text, empty when missing.
    virtual std::string readText(std::string_view section, std::string_view key) const = 0;
};

class SettingsWriter {
  public:
    virtual ~SettingsWriter() = default;

    // Writes `value` in decimal, with a minus sign when negative.
    virtual void writeInt(std::string_view section, std::string_view key, std::int32_t value) = 0;

    virtual void writeText(std::string_view section, std::string_view key,
                           std::string_view text) = 0;
};

} // namespace stake
