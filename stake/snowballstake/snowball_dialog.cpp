#include "stake/snowballstake/snowball_dialog.h"

#include "stake/common/multiplier_text.h"
#include "stake/common/profile_file.h"
#include "stake/common/report_list.h"
#include "stake/common/rule_lists.h"
#include "stake/common/settings_file_dialog.h"
#include "stake/common/stake_rules.h"
#include "stake/snowballstake/resource.h"
#include "stake/snowballstake/snowball_plan.h"
#include "stake/snowballstake/snowball_record.h"
#include "stake/snowballstake/snowball_settings.h"

#include "shell/app.h"
#include "shell/clipboard.h"
#include "shell/dialog.h"
#include "shell/field_exchange.h"
#include "shell/strconv.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

namespace {

using namespace snowballstake;
using stake::PlanRow;
using stake::ProfileFile;
using stake::ReportList;

constexpr int kMultiplierColumn = 1;
constexpr int kRowHeight = 24;

class SnowballDialog final : public shell::MainDialog {
  public:
    SnowballDialog() : MainDialog(IDD_SNOWBALLSTAKE) {}

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
    void copyMultipliers(bool oneLinePerRow);
    void showContextMenu();
    void importSettings();
    void exportSettings();

    SnowballInputs inputs_;
    ReportList plan_;
    ProfileFile settings_;
};

BOOL SnowballDialog::onInit() {
    plan_.attach(item(IDC_PLAN));
    ListView_SetExtendedListViewStyle(plan_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    plan_.setRowHeight(kRowHeight);
    plan_.setColumns(shell::widen(kSnowballColumnLayout));

    stake::fillRuleLists(hwnd(), IDC_STARS, IDC_MODE);

    settings_.setPath(shell::widen(kSettingsFileName));
    readSnowballSettings(settings_, inputs_);
    showFields();
    EnableWindow(item(IDC_HANDOFF), shell::hostLink().hostWindow() != 0);
    return TRUE;
}

bool SnowballDialog::exchange(shell::FieldExchange::Direction direction) {
    shell::FieldExchange fields(hwnd(), direction);
    fields.number(IDC_ROLL_PERIODS, inputs_.rollPeriods, L"滚利期数")
        .number(IDC_BETS, inputs_.bets, L"注数")
        .number(IDC_ODDS, inputs_.odds, L"赔率")
        .number(IDC_START_MULTIPLIER, inputs_.startMultiplier, L"开始倍数")
        .listIndex(IDC_STARS, inputs_.starIndex)
        .listIndex(IDC_MODE, inputs_.modeIndex);
    return fields.succeeded();
}

void SnowballDialog::onCommand(int id, int code, HWND) {
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
    case ID_COPY_MULTIPLIER_LINES:
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

std::optional<LRESULT> SnowballDialog::onNotify(const NMHDR& header) {
    if (header.hwndFrom == plan_.hwnd() && header.code == NM_RCLICK) {
        showContextMenu();
        return 0;
    }
    return plan_.handleParentNotify(header);
}

// Enter closes the window once the fields read, without saving them.
void SnowballDialog::onOK() {
    if (readFields())
        end(IDOK);
}

void SnowballDialog::onCancel() {
    readFields();
    writeSnowballSettings(settings_, inputs_, KeyOrder::onClose);
    end(IDCANCEL);
}

void SnowballDialog::compute() {
    plan_.clearRows();
    readFields();
    const SnowballResult result = computePlan(inputs_);
    if (result.plan.message) {
        showMessage(shell::widen(*result.plan.message));
        return;
    }
    std::vector<std::vector<std::wstring>> rows;
    rows.reserve(result.plan.rows.size());
    for (const PlanRow& row : result.plan.rows) {
        std::vector<std::wstring> cells;
        cells.reserve(row.cells.size());
        for (const std::string& cell : row.cells)
            cells.push_back(shell::widen(cell));
        rows.push_back(std::move(cells));
    }
    plan_.appendRows(rows);
    if (result.endNote)
        showMessage(shell::widen(*result.endNote));
}

void SnowballDialog::handOff() {
    if (shell::hostLink().hostWindow() == 0)
        return;
    readFields();
    shell::hostLink().handOff(hwnd(), buildSnowballRecord(inputs_));
}

void SnowballDialog::copyMultipliers(bool oneLinePerRow) {
    std::vector<std::string> cells;
    const int rows = plan_.rowCount();
    cells.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        cells.push_back(shell::toUtf8(plan_.cellText(row, kMultiplierColumn)));
    // Digits, signs and line breaks: the same bytes in UTF-8 and code page 936.
    const std::string text =
        oneLinePerRow ? stake::multipliersInColumn(cells) : stake::multipliersInRow(cells);
    if (shell::copyTextToClipboard(hwnd(), text))
        showMessage(L"已经成功复制到剪贴板!");
}

void SnowballDialog::showContextMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, ID_COPY_MULTIPLIERS, L"复制倍数");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_COPY_MULTIPLIER_LINES, L"复制倍数(竖排)");
    POINT cursor{};
    GetCursorPos(&cursor);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       cursor.x, cursor.y, 0, hwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        onCommand(chosen, 0, nullptr);
}

void SnowballDialog::importSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::open);
    if (!path)
        return;
    ProfileFile chosen;
    chosen.setPath(*path);
    readSnowballSettings(chosen, inputs_);
    showFields();
    plan_.clearRows();
}

void SnowballDialog::exportSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::save);
    if (!path)
        return;
    readFields();
    ProfileFile chosen;
    chosen.setPath(*path);
    writeSnowballSettings(chosen, inputs_, KeyOrder::onExport);
}

} // namespace

void runSnowballDialog() {
    SnowballDialog dialog;
    dialog.runModal(nullptr);
}
