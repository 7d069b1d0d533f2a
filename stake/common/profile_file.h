// The calculators' settings file: INI text read and written through the
// Windows private-profile functions. A bare file name lies in the program's
// directory; a name with a backslash is used as it is.
#pragma once

#include "stake/common/settings_io.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace stake {

class ProfileFile final : public SettingsReader, public SettingsWriter {
  public:
    void setPath(const std::wstring& name);
    const std::wstring& path() const { return path_; }

    std::int32_t readInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const override;
    // At most 259 characters; empty when the key or the file is missing.
    std::string readText(std::string_view section, std::string_view key) const override;
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override;
    void writeText(std::string_view section, std::string_view key, std::string_view text) override;

  private:
    std::wstring path_;
};

} // namespace stake
