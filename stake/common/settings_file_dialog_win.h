// The common file dialog through which the calculators export and import
// their settings: filter "*.ini|*.ini|*.txt|*.txt|*.*|*.*||", default
// extension "ini".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace stake {

enum class SettingsFileDialog { open, save };

// The file the user picks, or nothing on Cancel. Opening requires an existing
// file; saving asks before it overwrites one.
std::optional<std::wstring> chooseSettingsFile(HWND owner, SettingsFileDialog kind);

} // namespace stake
