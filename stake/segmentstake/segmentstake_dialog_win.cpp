#include "stake/segmentstake/segmentstake_dialog_win.h"

#include "stake/common/calculator_dialog_win.h"
#include "stake/segmentstake/resource.h"
#include "stake/segmentstake/segmentstake_plan.h"
#include "stake/segmentstake/segmentstake_record.h"
#include "stake/segmentstake/segmentstake_settings.h"

#include "shell/strconv_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using namespace segmentstake;
using stake::ReportList;
using stake::SettingsPlace;

// The plan's view of the dialog's report list.
class ReportPlanList final : public PlanList {
  public:
    explicit ReportPlanList(ReportList& list) : list_(list) {}

    int rowCount() const override { return list_.rowCount(); }
    void clearRows() override { list_.clearRows(); }
    void appendRow(const PlanRow& row) override {
        const int index = list_.appendRow(stake::wideCells(row));
        // A row that shows in part counts as shown.
        ListView_EnsureVisible(list_.hwnd(), index, TRUE);
    }
    void setCellText(int row, int column, std::string_view text) override {
        list_.setCellText(row, column, shell::widen(text));
    }
    void setRowColors(int row, RowColors colors) override {
        list_.setRowColors(row, colors.text, colors.back);
    }

  private:
    ReportList& list_;
};

constexpr stake::CalculatorLayout kLayout{
    .plan = IDC_PLAN, .stars = IDC_STARS, .mode = IDC_MODE, .handOff = IDC_HANDOFF,
    .importButton = IDC_IMPORT, .exportButton = IDC_EXPORT,
    .columns = kSegmentColumnLayout, .settingsFile = kSettingsFileName};

class SegmentDialog final : public stake::CalculatorDialog {
  public:
    SegmentDialog() : CalculatorDialog(IDD_SEGMENTSTAKE, kLayout) {
        bindRuleLists(inputs_.starIndex, inputs_.modeIndex);
    }

  private:
    void exchangeFields(shell::FieldExchange& fields) override {
        fields.number(IDC_MAX_MULTIPLIER, inputs_.maxMultiplier, L"最大倍数")
            .number(IDC_BETS, inputs_.bets, L"注数")
            .number(IDC_ODDS, inputs_.odds, L"赔率")
            .number(IDC_TARGET, inputs_.targetProfit, L"目标盈利")
            .number(IDC_HIT_PERIODS, inputs_.hitPeriods, L"中出期数");
    }
    // The marks of the plan, its cumulative values and the state of 中 and 挂
    // stay as they are on import: a mark then replays them with the imported
    // inputs.
    void readSettings(const stake::SettingsReader& file, SettingsPlace place) override {
        readSegmentSettings(file, inputs_,
                            place == SettingsPlace::own ? SettingsDefaults::startUp
                                                        : SettingsDefaults::import);
    }
    void writeSettings(stake::SettingsWriter& file, SettingsPlace) override {
        writeSegmentSettings(file, inputs_);
    }
    std::vector<std::uint8_t> handOffRecord() override { return buildSegmentRecord(inputs_); }
    void onToolCommand(int id) override;

    void start();
    void mark(bool hit);
    void show(const StepResult& result);

    SegmentInputs inputs_;
    SegmentPlan tracker_;
};

void SegmentDialog::onToolCommand(int id) {
    if (id == IDC_START)
        start();
    else if (id == IDC_HIT || id == IDC_MISS)
        mark(id == IDC_HIT);
}

void SegmentDialog::show(const StepResult& result) {
    EnableWindow(item(IDC_HIT), result.marksOpen);
    EnableWindow(item(IDC_MISS), result.marksOpen);
    if (result.status)
        SetDlgItemTextW(hwnd(), IDC_STATUS, shell::widen(*result.status).c_str());
    if (result.message)
        showMessage(shell::widen(*result.message));
}

void SegmentDialog::start() {
    plan().clearRows();
    readFields();
    ReportPlanList list(plan());
    show(tracker_.start(inputs_, list));
}

// 中 and 挂 work with the fields as last read; they do not read the controls.
void SegmentDialog::mark(bool hit) {
    // A click that reached a disabled button (a message posted to it) is
    // not a mark.
    if (!tracker_.marksOpen())
        return;
    ReportPlanList list(plan());
    show(hit ? tracker_.markHit(inputs_, list) : tracker_.markMiss(inputs_, list));
}

} // namespace

void runSegmentDialog() {
    SegmentDialog dialog;
    dialog.runModal(nullptr);
}
