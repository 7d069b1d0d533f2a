// The calculators' settings file: INI text read and written through the
// Windows private-profile functions. A name with a backslash is used as it is
// (the files the user exports and imports). A bare name is the tool's own
// settings file, which lives beside the program unless that place cannot be
// written:
//
// At setPath, the file read from and written to is
//   1. the file beside the program, when it can be written: it exists and
//      opens for writing, or it is missing and the program's folder takes a
//      new file;
//   2. otherwise the per-user copy %APPDATA%\TrendTools\<name>, when it exists;
//   3. otherwise the file beside the program, as it is (read-only, or missing
//      in a folder that takes no file: every key then reads its default).
// When a write to the file beside the program fails, for whatever reason
// (access denied, read-only, the name taken by a folder), that write and
// every later one go to the per-user copy instead. Its folder is created, and
// a copy that does not exist yet starts as a copy of that file, so that
// a section another tool keeps in the same file (segmentstake and
// snowballstake share "setgl.ini") moves along with it. The next start then
// reads the per-user copy by rule 2 for as long as the program's folder stays
// unwritable. A write that fails in the per-user copy too is lost; the
// tool's own settings file reports none of this, an export tells the user
// through writeFailed().
#pragma once

#include "stake/common/settings_io.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace stake {

class ProfileFile final : public SettingsReader, public SettingsWriter {
  public:
    // The folder of the per-user copies, under %APPDATA%.
    static constexpr wchar_t kUserFolderName[] = L"TrendTools";

    void setPath(const std::wstring& name);
    const std::wstring& path() const { return path_; }

    std::int32_t readInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const override;
    // At most 259 characters; empty when the key or the file is missing.
    std::string readText(std::string_view section, std::string_view key) const override;
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override;
    void writeText(std::string_view section, std::string_view key, std::string_view text) override;
    // Whether a write since setPath() was lost, in the per-user copy too.
    bool writeFailed() const { return writeFailed_; }

  private:
    bool moveToUserCopy();

    std::wstring path_;
    // The per-user copy a failed write moves to; empty for a file named by
    // its full path, and once the move has been made.
    std::wstring userCopy_;
    bool writeFailed_ = false;
};

} // namespace stake
