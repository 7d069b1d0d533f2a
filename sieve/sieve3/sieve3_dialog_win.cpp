#include "sieve/sieve3/sieve3_dialog_win.h"

#include "shell/app_win.h"
#include "shell/handles_win.h"
#include "sieve/common/filter_dialog_win.h"
#include "sieve/sieve3/resource.h"
#include "sieve/sieve3/sieve3_engine.h"

#include <commdlg.h>

#include <array>
#include <string>

namespace {

// The first box of each group, in the engine's group order.
constexpr std::array<int, sieve3::kGroupCount> kGroupFirstIds = {
    IDX_HUNDREDS, IDX_TENS,    IDX_UNITS,     IDX_ROUTE, IDX_SUM,      IDX_TAIL,    IDX_SPAN,
    IDX_BIGSMALL, IDX_ODDEVEN, IDX_PRIMECOMP, IDX_FORM,  IDX_SMALLEST, IDX_LARGEST,
};

constexpr sieve::FilterDialogIds kIds{
    IDD_SIEVE3,
    kGroupFirstIds,
    IDX_MUST_DIGIT,
    IDX_HIT,
    {IDX_MUST_ON, IDX_DISTINCT, IDC_NUMBERS, IDC_RESET, IDC_LOAD_BASE, IDC_HANDOFF, IDC_COUNT,
     IDC_SHOW, IDC_COPY},
};

// The host's custom three-digit text indicators, under the parent of the
// program's folder.
constexpr wchar_t kIndicatorFolder[] = L"文本指标\\三星文本\\自定义指标";
// "*.txt|*.txt|*.*|*.*||" in the form the file dialogs take.
constexpr wchar_t kIndicatorFilter[] = L"*.txt\0*.txt\0*.*\0*.*\0";

// The program's folder cut at its last backslash, keeping that backslash;
// a program at the root of a drive has no parent and uses its own folder.
std::wstring indicatorFolder() {
    std::wstring folder = shell::programPath();
    folder.resize(folder.find_last_of(L'\\') == std::wstring::npos ? 0
                                                                   : folder.find_last_of(L'\\'));
    const std::size_t parentEnd = folder.find_last_of(L'\\');
    if (parentEnd != std::wstring::npos)
        folder.resize(parentEnd + 1);
    else
        folder += L'\\';
    return folder + kIndicatorFolder;
}

// Creates every missing folder of an absolute path.
void createFolderPath(const std::wstring& folder) {
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    const shell::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = 0;
        if (!WriteFile(file.get(), bytes.data() + written,
                       static_cast<DWORD>(bytes.size() - written), &chunk, nullptr) ||
            chunk == 0)
            return false;
        written += chunk;
    }
    return true;
}

class Sieve3Dialog final : public sieve::FilterDialog {
  public:
    Sieve3Dialog() : FilterDialog(sieve3::kDesign, kIds, {.resetClearsDistinct = true}) {}

  private:
    bool onToolCommand(int id) override {
        if (id != IDC_SAVE_INDICATOR)
            return false;
        saveIndicatorFile();
        return true;
    }
    void saveIndicatorFile();
};

// Saves the number list as a custom text indicator of the host: the bare
// list, no header, no line break, no terminating zero.
void Sieve3Dialog::saveIndicatorFile() {
    const std::string list = numbers().numberList();
    const std::wstring folder = indicatorFolder();
    // The save dialog opens in the folder only when it exists.
    createFolderPath(folder);

    std::wstring path(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = kIndicatorFilter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog))
        return;
    path.resize(path.find(L'\0'));
    if (!writeBytes(path, list))
        shell::showWriteFailure(hwnd(), path);
}

} // namespace

void runSieve3Dialog() {
    Sieve3Dialog dialog;
    dialog.runModal(nullptr);
}
