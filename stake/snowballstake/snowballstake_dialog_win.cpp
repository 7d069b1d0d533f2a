#include "stake/snowballstake/snowballstake_dialog_win.h"

#include "stake/common/calculator_dialog_win.h"
#include "stake/snowballstake/resource.h"
#include "stake/snowballstake/snowballstake_plan.h"
#include "stake/snowballstake/snowballstake_record.h"
#include "stake/snowballstake/snowballstake_settings.h"

#include "shell/strconv_win.h"

namespace {

using namespace snowballstake;
using stake::SettingsPlace;

constexpr int kMultiplierColumn = 1;

constexpr stake::CalculatorLayout kLayout{
    .plan = IDC_PLAN, .stars = IDC_STARS, .mode = IDC_MODE, .handOff = IDC_HANDOFF,
    .importButton = IDC_IMPORT, .exportButton = IDC_EXPORT,
    .columns = kSnowballColumnLayout, .settingsFile = kSettingsFileName, .enterCloses = true};

class SnowballDialog final : public stake::CalculatorDialog {
  public:
    SnowballDialog() : CalculatorDialog(IDD_SNOWBALLSTAKE, kLayout) {
        bindRuleLists(inputs_.starIndex, inputs_.modeIndex);
        setMultiplierMenu(ID_COPY_MULTIPLIERS, ID_COPY_MULTIPLIER_LINES, kMultiplierColumn);
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
    void onToolCommand(int id) override {
        if (id == IDC_COMPUTE)
            compute();
    }

    void compute();

    SnowballInputs inputs_;
};

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

} // namespace

void runSnowballDialog() {
    SnowballDialog dialog;
    dialog.runModal(nullptr);
}
