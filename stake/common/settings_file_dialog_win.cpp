#include "stake/common/settings_file_dialog_win.h"

#include <commdlg.h>

namespace stake {
namespace {

// "*.ini|*.ini|*.txt|*.txt|*.*|*.*||" in the form the file dialogs take.
constexpr wchar_t kSettingsFilter[] = L"*.ini\0*.ini\0*.txt\0*.txt\0*.*\0*.*\0";
constexpr wchar_t kSettingsExtension[] = L"ini";

} // namespace

std::optional<std::wstring> chooseSettingsFile(HWND owner, SettingsFileDialog kind) {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kSettingsFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = kSettingsExtension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (kind == SettingsFileDialog::open) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
        if (!GetOpenFileNameW(&dialog))
            return std::nullopt;
    } else {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        if (!GetSaveFileNameW(&dialog))
            return std::nullopt;
    }
    return std::wstring(path);
}

} // namespace stake
