#include "stake/stakeladder/ladder_dialog.h"

#include "stake/common/profile_file.h"
#include "stake/common/report_list.h"
#include "stake/common/rule_lists.h"
#include "stake/common/settings_file_dialog.h"
#include "stake/common/stake_rules.h"
#include "stake/stakeladder/ladder_plan.h"
#include "stake/stakeladder/ladder_record.h"
#include "stake/stakeladder/ladder_settings.h"
#include "stake/stakeladder/resource.h"

#include "shell/app.h"
#include "shell/clipboard.h"
#include "shell/dialog.h"
#include "shell/field_exchange.h"
#include "shell/strconv.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using namespace stakeladder;
using stake::PlanResult;
using stake::PlanRow;
using stake::ProfileFile;
using stake::ReportList;

constexpr wchar_t kDefaultCustomText[] = L"1,2,4,8,16,32";
constexpr int kPeriodColumn = 0;
constexpr int kMultiplierColumn = 1;
constexpr int kRowHeight = 18;

class LadderDialog final : public shell::MainDialog {
  public:
    LadderDialog() : MainDialog(IDD_STAKELADDER) {}

  private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override;
    void onOK() override {} // Enter neither computes nor closes.
    void onCancel() override;

    bool exchange(shell::FieldExchange::Direction direction);
    bool readFields() { return exchange(shell::FieldExchange::Direction::fromControls); }
    void showFields() { exchange(shell::FieldExchange::Direction::toControls); }
    void applyProfitType();

    void compute();
    void handOff();
    void copyColumn(int column);
    void showContextMenu();
    void importSettings();
    void exportSettings();
    std::string columnText(int column) const;

    LadderInputs inputs_;
    std::wstring customText_ = kDefaultCustomText;
    ReportList plan_;
    ProfileFile settings_;
};

BOOL LadderDialog::onInit() {
    plan_.attach(item(IDC_PLAN));
    ListView_SetExtendedListViewStyle(plan_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    plan_.setRowHeight(kRowHeight);
    plan_.setColumns(shell::widen(kLadderColumnLayout));
    plan_.setRowHeaderColumn(true);

    stake::fillRuleLists(hwnd(), IDC_STARS, IDC_MODE);

    settings_.setPath(shell::widen(kSettingsFileName));
    readLadderSettings(settings_, inputs_);
    applyProfitType();
    showFields();
    return TRUE;
}

bool LadderDialog::exchange(shell::FieldExchange::Direction direction) {
    shell::FieldExchange fields(hwnd(), direction);
    fields.listIndex(IDC_MODE, inputs_.modeIndex)
        .number(IDC_AMOUNT, inputs_.profitAmount, L"利润金额")
        .number(IDC_ODDS, inputs_.odds, L"赔率")
        .number(IDC_PERIODS, inputs_.periods, L"倍投期数")
        .number(IDC_BETS, inputs_.bets, L"注数")
        .number(IDC_RATE, inputs_.ratePercent, L"利润率")
        .check(IDC_USE_CUSTOM, inputs_.useCustom)
        .number(IDC_START_MULTIPLIER, inputs_.startMultiplier, L"起始倍数")
        .text(IDC_CUSTOM, customText_)
        .radioGroup({IDC_RATE_TYPE, IDC_AMOUNT_TYPE}, inputs_.profitType)
        .listIndex(IDC_STARS, inputs_.starIndex);
    inputs_.customText = shell::toUtf8(customText_);
    return fields.succeeded();
}

// The rate boxes serve the rate mode and the amount box the amount mode; any
// profit type other than 1 is the rate mode.
void LadderDialog::applyProfitType() {
    const bool amountMode = inputs_.profitType == 1;
    EnableWindow(item(IDC_RATE), !amountMode);
    EnableWindow(item(IDC_START_MULTIPLIER), !amountMode);
    EnableWindow(item(IDC_AMOUNT), amountMode);
}

void LadderDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED && code != 0)
        return;
    switch (id) {
    case IDC_COMPUTE:
        compute();
        break;
    case IDC_HANDOFF:
        handOff();
        break;
    case IDC_COPY:
    case ID_COPY_MULTIPLIERS:
        copyColumn(kMultiplierColumn);
        break;
    case ID_COPY_PERIODS:
        copyColumn(kPeriodColumn);
        break;
    case IDC_USE_CUSTOM:
        readFields();
        EnableWindow(item(IDC_CUSTOM), IsDlgButtonChecked(hwnd(), IDC_USE_CUSTOM) == BST_CHECKED);
        break;
    case IDC_RATE_TYPE:
    case IDC_AMOUNT_TYPE:
        readFields();
        EnableWindow(item(IDC_RATE), id == IDC_RATE_TYPE);
        EnableWindow(item(IDC_START_MULTIPLIER), id == IDC_RATE_TYPE);
        EnableWindow(item(IDC_AMOUNT), id == IDC_AMOUNT_TYPE);
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

std::optional<LRESULT> LadderDialog::onNotify(const NMHDR& header) {
    if (header.hwndFrom == plan_.hwnd() && header.code == NM_RCLICK) {
        showContextMenu();
        return 0;
    }
    return plan_.handleParentNotify(header);
}

void LadderDialog::onCancel() {
    readFields();
    writeLadderSettings(settings_, inputs_);
    end(IDCANCEL);
}

void LadderDialog::compute() {
    readFields();
    const PlanResult plan = computePlan(inputs_);
    if (plan.message) {
        showMessage(shell::widen(*plan.message));
        return;
    }
    std::vector<std::vector<std::wstring>> rows;
    rows.reserve(plan.rows.size());
    for (const PlanRow& row : plan.rows) {
        std::vector<std::wstring> cells;
        cells.reserve(row.cells.size());
        for (const std::string& cell : row.cells)
            cells.push_back(shell::widen(cell));
        rows.push_back(std::move(cells));
    }
    plan_.clearRows();
    plan_.appendRows(rows);
}

std::string LadderDialog::columnText(int column) const {
    std::vector<std::string> cells;
    const int rows = plan_.rowCount();
    cells.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        cells.push_back(shell::toUtf8(plan_.cellText(row, column)));
    return multiplierText(cells);
}

void LadderDialog::handOff() {
    readFields();
    const auto record = buildLadderRecord(inputs_.modeIndex, columnText(kMultiplierColumn));
    shell::hostLink().handOff(hwnd(), record);
}

void LadderDialog::copyColumn(int column) {
    if (shell::copyTextToClipboard(hwnd(), columnText(column)))
        showMessage(L"已经成功复制到剪贴板!");
}

void LadderDialog::showContextMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, ID_COPY_MULTIPLIERS, L"复制");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_COPY_PERIODS, L"复制期数");
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
}

void LadderDialog::importSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::open);
    if (!path)
        return;
    ProfileFile chosen;
    chosen.setPath(*path);
    readLadderSettings(chosen, inputs_);
    showFields();
    // The enabled boxes follow the imported profit type, as they do at start-up.
    applyProfitType();
    plan_.clearRows();
}

void LadderDialog::exportSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::save);
    if (!path)
        return;
    readFields();
    ProfileFile chosen;
    chosen.setPath(*path);
    writeLadderSettings(chosen, inputs_);
}

} // namespace

void runLadderDialog() {
    LadderDialog dialog;
    dialog.runModal(nullptr);
}
