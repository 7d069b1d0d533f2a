#include "stake/snowballstake/snowball_dialog.h"

#include "stake/common/calculator_dialog.h"
#include "stake/common/multiplier_text.h"
#include "stake/snowballstake/resource.h"
#include "stake/snowballstake/snowball_plan.h"
#include "stake/snowballstake/snowball_record.h"
#include "stake/snowballstake/snowball_settings.h"

#include "shell/strconv.h"

namespace {

using namespace snowballstake;
using stake::SettingsPlace;

constexpr int kMultiplierColumn = 1;

constexpr stake::CalculatorLayout kLayout{
    IDC_PLAN, IDC_STARS, IDC_MODE, IDC_HANDOFF, IDC_IMPORT, IDC_EXPORT,
    24,       kSnowballColumnSpec, false, true, kSettingsFileName};

class SnowballDialog final : public stake::CalculatorDialog {
  public:
    SnowballDialog() : CalculatorDialog(IDD_SNOWBALLSTAKE, kLayout) {
        bindRuleLists(inputs_.starIndex, inputs_.modeIndex);
        setPlanMenu({ID_COPY_MULTIPLIERS, L"复制倍数"},
                    {ID_COPY_MULTIPLIER_LINES, L"复制倍数(竖排)"});
    }

  private:
    void exchangeFields(shell::FieldExchange& fields) override {
        fields.number(IDC_ROLL_PERIODS, inputs_.rollPeriods, L"滚利期数")
            .number(IDC_BETS, inputs_.bets, L"注数")
            .number(IDC_ODDS, inputs_.odds, L"赔率")
            .number(IDC_START_MULTIPLIER, inputs_.startMultiplier, L"开始倍数");
    }
    void readSettings(const stake::SettingsReader& file, SettingsPlace) override {
        readSnowballSettings(file, inputs_);
    }
    void writeSettings(stake::SettingsWriter& file, SettingsPlace place) override {
        writeSnowballSettings(file, inputs_,
                              place == SettingsPlace::own ? KeyOrder::onClose : KeyOrder::onExport);
    }
    std::vector<std::uint8_t> handOffRecord() override { return buildSnowballRecord(inputs_); }
    void onToolCommand(int id) override;
    // Enter closes the window once the fields read, without saving them.
    void onOK() override {
        if (readFields())
            end(IDOK);
    }

    void compute();
    void copyMultipliers(bool oneLinePerRow);

    SnowballInputs inputs_;
};

void SnowballDialog::onToolCommand(int id) {
    if (id == IDC_COMPUTE)
        compute();
    else if (id == ID_COPY_MULTIPLIERS || id == ID_COPY_MULTIPLIER_LINES)
        copyMultipliers(id == ID_COPY_MULTIPLIER_LINES);
}

void SnowballDialog::compute() {
    plan().clearRows();
    readFields();
    const SnowballResult result = computePlan(inputs_);
    if (result.plan.message) {
        showMessage(shell::widen(*result.plan.message));
        return;
    }
    appendPlanRows(result.plan.rows);
    if (result.endNote)
        showMessage(shell::widen(*result.endNote));
}

void SnowballDialog::copyMultipliers(bool oneLinePerRow) {
    const std::vector<std::string> cells = columnCells(kMultiplierColumn);
    copyText(oneLinePerRow ? stake::multipliersInColumn(cells) : stake::multipliersInRow(cells));
}

} // namespace

void runSnowballDialog() {
    SnowballDialog dialog;
    dialog.runModal(nullptr);
}
