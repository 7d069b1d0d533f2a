// A settings file read the way the platform's private-profile functions read it
// (GetPrivateProfileStringW with a 260-character buffer and an empty default,
// GetPrivateProfileIntW), so that trendtools and the tests see exactly what a
// dialog sees. Bytes are taken as they are: a file of ASCII text, or UTF-8 behind
// a byte-order mark, reads the same as on the platform.
#pragma once

#include "stake/common/settings_io.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stake {

class ProfileText final : public SettingsReader {
  public:
    // The longest text readText returns: the dialogs read into 260 characters.
    static constexpr std::size_t kTextLimit = 259;
    // The longest text readInt converts: the platform reads integers into 30.
    static constexpr std::size_t kIntTextLimit = 29;

    ProfileText() = default;
    explicit ProfileText(std::string_view text);

    // Section and key are found without regard to ASCII case, after trimming
    // white space around the requested names; the first section of that name
    // and the first key of that name in it win. A value in matching single or
    // double quotes loses them. Missing keys and keys without '=' read as empty.
    std::string readText(std::string_view section, std::string_view key) const override;

    // The value read as readText does into a 30-character buffer, then converted
    // like RtlUnicodeStringToInteger in base 0 (see profileInteger); an empty
    // value gives `defaultValue`.
    std::int32_t readInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const override;

  private:
    struct Key {
        std::string name;
        std::optional<std::string> value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };

    const Key* findKey(std::string_view section, std::string_view key) const;
    std::string readValue(std::string_view section, std::string_view key,
                          std::size_t bufferLength) const;

    std::vector<Section> sections_;
};

// An integer text as the platform converts it for GetPrivateProfileInt: leading
// characters up to the space skipped, an optional sign, the prefixes "0x", "0o"
// and "0b" (lower case only) for bases 16, 8 and 2, else decimal; reading stops
// at the first character that is not a digit of the base, the value accumulates
// modulo 2^32 and is negated for '-'.
std::int32_t profileInteger(std::string_view text);

// The whole file, or nothing when it cannot be read.
std::optional<ProfileText> readProfileFile(const std::filesystem::path& path);

} // namespace stake
