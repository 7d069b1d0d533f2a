#include "stake/wavestake/wave_dialog.h"

#include "stake/common/multiplier_text.h"
#include "stake/common/profile_file.h"
#include "stake/common/report_list.h"
#include "stake/common/rule_lists.h"
#include "stake/common/settings_file_dialog.h"
#include "stake/common/stake_rules.h"
#include "stake/wavestake/resource.h"
#include "stake/wavestake/wave_plan.h"
#include "stake/wavestake/wave_record.h"
#include "stake/wavestake/wave_settings.h"

#include "shell/app.h"
#include "shell/clipboard.h"
#include "shell/dialog.h"
#include "shell/field_exchange.h"
#include "shell/strconv.h"

#include <commctrl.h>
#include <commdlg.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace wavestake;
using stake::ProfileFile;
using stake::ReportList;

constexpr int kRowHeight = 24;
// The last period of a wave: black on light violet.
constexpr COLORREF kClosingTextColor = RGB(0, 0, 0);
constexpr COLORREF kClosingBackColor = RGB(185, 185, 255);

class WaveDialog final : public shell::MainDialog {
  public:
    WaveDialog() : MainDialog(IDD_WAVESTAKE) {}

  private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override;
    void onOK() override;
    void onCancel() override;

    bool exchange(shell::FieldExchange::Direction direction);
    bool readFields() { return exchange(shell::FieldExchange::Direction::fromControls); }
    void showFields() { exchange(shell::FieldExchange::Direction::toControls); }

    void compute();
    void handOff();
    void copyMultipliers(bool vertical);
    void showContextMenu();
    void importSettings();
    void exportSettings();
    std::vector<std::string> multiplierCells() const;

    WaveSettings settings_;
    ReportList plan_;
    ProfileFile settingsFile_;
};

BOOL WaveDialog::onInit() {
    plan_.attach(item(IDC_PLAN));
    ListView_SetExtendedListViewStyle(plan_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    plan_.setRowHeight(kRowHeight);
    plan_.setColumns(shell::widen(kWaveColumnLayout));
    plan_.setRowHeaderColumn(true);

    stake::fillRuleLists(hwnd(), IDC_STARS, IDC_MODE);

    settingsFile_.setPath(shell::widen(kSettingsFileName));
    readWaveSettings(settingsFile_, settings_);
    showFields();
    EnableWindow(item(IDC_HANDOFF), shell::hostLink().hostWindow() != 0);
    return TRUE;
}

bool WaveDialog::exchange(shell::FieldExchange::Direction direction) {
    shell::FieldExchange fields(hwnd(), direction);
    fields.number(IDC_WAVES, settings_.nBoshu, L"波数")
        .number(IDC_PROFIT, settings_.fLirun, L"利润")
        .number(IDC_ODDS, settings_.fPeilv, L"赔率")
        .number(IDC_PERIODS, settings_.nQishu, L"推波期数")
        .number(IDC_BETS, settings_.nZhushu, L"注数")
        .listIndex(IDC_STARS, settings_.nXingshu)
        .listIndex(IDC_MODE, settings_.nMode);
    return fields.succeeded();
}

void WaveDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED && code != 0)
        return;
    switch (id) {
    case IDC_COMPUTE:
        compute();
        break;
    case IDC_HANDOFF:
        handOff();
        break;
    case ID_COPY_MULTIPLIERS:
        copyMultipliers(false);
        break;
    case ID_COPY_MULTIPLIERS_VERTICAL:
        copyMultipliers(true);
        break;
    case IDC_IMPORT:
        importSettings();
        break;
    case IDC_EXPORT:
        exportSettings();
        break;
    default:
        break;
    }
}

std::optional<LRESULT> WaveDialog::onNotify(const NMHDR& header) {
    if (header.hwndFrom == plan_.hwnd() && header.code == NM_RCLICK) {
        showContextMenu();
        return 0;
    }
    return plan_.handleParentNotify(header);
}

// Enter ends the program without saving, unless a box held no number: then
// the user is still typing, and the dialog stays.
void WaveDialog::onOK() {
    if (readFields())
        end(IDOK);
}

void WaveDialog::onCancel() {
    readFields();
    writeWaveSettings(settingsFile_, settings_, KeyOrder::closing);
    end(IDCANCEL);
}

void WaveDialog::compute() {
    plan_.clearRows();
    readFields();
    const WavePlan plan = computeWavePlan(settings_);
    if (plan.message) {
        showMessage(shell::widen(*plan.message));
        return;
    }
    std::vector<std::vector<std::wstring>> rows;
    rows.reserve(plan.rows.size());
    for (const WaveRow& wave : plan.rows) {
        std::vector<std::wstring> cells;
        cells.reserve(wave.row.cells.size());
        for (const std::string& cell : wave.row.cells)
            cells.push_back(shell::widen(cell));
        rows.push_back(std::move(cells));
    }
    plan_.beginUpdate();
    const int first = plan_.appendRows(rows);
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        if (plan.rows[i].closesWave)
            plan_.setRowColors(first + static_cast<int>(i), kClosingTextColor, kClosingBackColor);
    }
    plan_.endUpdate();
}

std::vector<std::string> WaveDialog::multiplierCells() const {
    std::vector<std::string> cells;
    const int rows = plan_.rowCount();
    cells.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        cells.push_back(shell::toUtf8(plan_.cellText(row, kMultiplierColumn)));
    return cells;
}

void WaveDialog::copyMultipliers(bool vertical) {
    const std::vector<std::string> cells = multiplierCells();
    // Digits, signs, commas and line breaks: the same bytes in UTF-8 and code page 936.
    const std::string text =
        vertical ? stake::multipliersInColumn(cells) : stake::multipliersInRow(cells);
    if (shell::copyTextToClipboard(hwnd(), text))
        showMessage(L"已经成功复制到剪贴板!");
}

void WaveDialog::showContextMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, ID_COPY_MULTIPLIERS, L"复制倍数");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_COPY_MULTIPLIERS_VERTICAL, L"复制倍数(竖排)");
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
}

// Without a host the button stays disabled; a click that reaches it anyway
// does nothing.
void WaveDialog::handOff() {
    if (shell::hostLink().hostWindow() == 0)
        return;
    readFields();
    shell::hostLink().handOff(hwnd(), buildWaveRecord(settings_));
}

void WaveDialog::importSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::open);
    if (!path)
        return;
    ProfileFile chosen;
    chosen.setPath(*path);
    readWaveSettings(chosen, settings_);
    showFields();
    plan_.clearRows();
}

void WaveDialog::exportSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::save);
    if (!path)
        return;
    readFields();
    ProfileFile chosen;
    chosen.setPath(*path);
    writeWaveSettings(chosen, settings_, KeyOrder::exporting);
}

} // namespace

void runWaveDialog() {
    WaveDialog dialog;
    dialog.runModal(nullptr);
}
