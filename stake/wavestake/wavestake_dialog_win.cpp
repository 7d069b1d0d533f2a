#include "stake/wavestake/wavestake_dialog_win.h"

#include "stake/common/calculator_dialog_win.h"
#include "stake/wavestake/resource.h"
#include "stake/wavestake/wavestake_plan.h"
#include "stake/wavestake/wavestake_record.h"
#include "stake/wavestake/wavestake_settings.h"

#include "shell/strconv_win.h"

namespace {

using namespace wavestake;
using stake::SettingsPlace;

// The last period of a wave: black on light violet.
constexpr COLORREF kClosingTextColor = RGB(0, 0, 0);
constexpr COLORREF kClosingBackColor = RGB(185, 185, 255);

constexpr stake::CalculatorLayout kLayout{
    .plan = IDC_PLAN, .stars = IDC_STARS, .mode = IDC_MODE, .handOff = IDC_HANDOFF,
    .importButton = IDC_IMPORT, .exportButton = IDC_EXPORT,
    .columns = kWaveColumnLayout, .rowHeaderColumn = true, .settingsFile = kSettingsFileName,
    .enterCloses = true};

class WaveDialog final : public stake::CalculatorDialog {
  public:
    WaveDialog() : CalculatorDialog(IDD_WAVESTAKE, kLayout) {
        bindRuleLists(settings_.nXingshu, settings_.nMode);
        setMultiplierMenu(ID_COPY_MULTIPLIERS, ID_COPY_MULTIPLIERS_VERTICAL, kMultiplierColumn);
    }

  private:
    void exchangeFields(shell::FieldExchange& fields) override {
        fields.number(IDC_WAVES, settings_.nBoshu, L"波数")
            .number(IDC_PROFIT, settings_.fLirun, L"利润")
            .number(IDC_ODDS, settings_.fPeilv, L"赔率")
            .number(IDC_PERIODS, settings_.nQishu, L"推波期数")
            .number(IDC_BETS, settings_.nZhushu, L"注数");
    }
    void readSettings(const stake::SettingsReader& file, SettingsPlace) override {
        readWaveSettings(file, settings_);
    }
    void writeSettings(stake::SettingsWriter& file, SettingsPlace place) override {
        writeWaveSettings(file, settings_,
                          place == SettingsPlace::own ? KeyOrder::closing : KeyOrder::exporting);
    }
    std::vector<std::uint8_t> handOffRecord() override { return buildWaveRecord(settings_); }
    void onToolCommand(int id) override {
        if (id == IDC_COMPUTE)
            compute();
    }

    void compute();

    WaveSettings settings_;
};

void WaveDialog::compute() {
    plan().clearRows();
    readFields();
    const WavePlan result = computeWavePlan(settings_);
    if (result.message) {
        showMessage(shell::widen(*result.message));
        return;
    }
    std::vector<std::vector<std::wstring>> rows;
    rows.reserve(result.rows.size());
    for (const WaveRow& wave : result.rows)
        rows.push_back(stake::wideCells(wave.row));
    plan().beginUpdate();
    const int first = plan().appendRows(rows);
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        if (result.rows[i].closesWave)
            plan().setRowColors(first + static_cast<int>(i), kClosingTextColor, kClosingBackColor);
    }
    plan().endUpdate();
}

} // namespace

void runWaveDialog() {
    WaveDialog dialog;
    dialog.runModal(nullptr);
}
