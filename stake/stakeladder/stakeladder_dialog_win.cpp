#include "stake/stakeladder/stakeladder_dialog_win.h"

#include "stake/common/calculator_dialog_win.h"
#include "stake/stakeladder/stakeladder_plan.h"
#include "stake/stakeladder/stakeladder_record.h"
#include "stake/stakeladder/stakeladder_settings.h"
#include "stake/stakeladder/resource.h"

#include "shell/strconv_win.h"

namespace {

using namespace stakeladder;
using stake::SettingsPlace;

constexpr wchar_t kDefaultCustomText[] = L"1,2,4,8,16,32";
constexpr int kPeriodColumn = 0;
constexpr int kMultiplierColumn = 1;

// 传送 hands off whatever the list shows, with or without a host.
constexpr stake::CalculatorLayout kLayout{
    .plan = IDC_PLAN, .stars = IDC_STARS, .mode = IDC_MODE, .handOff = IDC_HANDOFF,
    .importButton = IDC_IMPORT, .exportButton = IDC_EXPORT,
    .rowHeight = 18, .columns = kLadderColumnLayout, .rowHeaderColumn = true,
    .handOffNeedsHost = false, .settingsFile = kSettingsFileName};

class LadderDialog final : public stake::CalculatorDialog {
  public:
    LadderDialog() : CalculatorDialog(IDD_STAKELADDER, kLayout) {
        setPlanMenu({ID_COPY_MULTIPLIERS, L"复制", [this] { return columnText(kMultiplierColumn); }},
                    {ID_COPY_PERIODS, L"复制期数", [this] { return columnText(kPeriodColumn); }});
    }

  private:
    void exchangeFields(shell::FieldExchange& fields) override {
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
    }
    void readSettings(const stake::SettingsReader& file, SettingsPlace) override {
        readLadderSettings(file, inputs_);
    }
    void writeSettings(stake::SettingsWriter& file, SettingsPlace) override {
        writeLadderSettings(file, inputs_);
    }
    std::vector<std::uint8_t> handOffRecord() override {
        return buildLadderRecord(inputs_.modeIndex, columnText(kMultiplierColumn));
    }
    // The enabled boxes follow the profit type read, at start-up and on import.
    void onSettingsShown() override { applyProfitType(); }
    void onToolCommand(int id) override;

    void applyProfitType();
    void compute();
    std::string columnText(int column) const { return multiplierText(columnCells(column)); }

    LadderInputs inputs_;
    std::wstring customText_ = kDefaultCustomText;
};

// The rate boxes serve the rate mode and the amount box the amount mode; any
// profit type other than 1 is the rate mode.
void LadderDialog::applyProfitType() {
    const bool amountMode = inputs_.profitType == 1;
    EnableWindow(item(IDC_RATE), !amountMode);
    EnableWindow(item(IDC_START_MULTIPLIER), !amountMode);
    EnableWindow(item(IDC_AMOUNT), amountMode);
}

void LadderDialog::onToolCommand(int id) {
    switch (id) {
    case IDC_COMPUTE:
        compute();
        break;
    case IDC_COPY:
        copyText(columnText(kMultiplierColumn));
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
    default:
        break;
    }
}

void LadderDialog::compute() {
    readFields();
    const stake::PlanResult result = computePlan(inputs_);
    if (result.message) {
        showMessage(shell::widen(*result.message));
        return;
    }
    plan().clearRows();
    appendPlanRows(result.rows);
}

} // namespace

void runLadderDialog() {
    LadderDialog dialog;
    dialog.runModal(nullptr);
}
