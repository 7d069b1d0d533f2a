#include "stake/segmentstake/segment_dialog.h"

#include "stake/common/profile_file.h"
#include "stake/common/report_list.h"
#include "stake/common/rule_lists.h"
#include "stake/common/settings_file_dialog.h"
#include "stake/common/stake_rules.h"
#include "stake/segmentstake/resource.h"
#include "stake/segmentstake/segment_plan.h"
#include "stake/segmentstake/segment_record.h"
#include "stake/segmentstake/segment_settings.h"

#include "shell/app.h"
#include "shell/dialog.h"
#include "shell/field_exchange.h"
#include "shell/strconv.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

namespace {

using namespace segmentstake;
using stake::ProfileFile;
using stake::ReportList;

constexpr int kRowHeight = 24;

// The plan's view of the dialog's report list.
class ReportPlanList final : public PlanList {
  public:
    explicit ReportPlanList(ReportList& list) : list_(list) {}

    int rowCount() const override { return list_.rowCount(); }
    void clearRows() override { list_.clearRows(); }
    void appendRow(const PlanRow& row) override {
        std::vector<std::wstring> cells;
        cells.reserve(row.cells.size());
        for (const std::string& cell : row.cells)
            cells.push_back(shell::widen(cell));
        const int index = list_.appendRow(cells);
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

class SegmentDialog final : public shell::MainDialog {
  public:
    SegmentDialog() : MainDialog(IDD_SEGMENTSTAKE) {}

  private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override {
        return plan_.handleParentNotify(header);
    }
    void onOK() override {} // Enter neither computes nor closes.
    void onCancel() override;

    bool exchange(shell::FieldExchange::Direction direction);
    bool readFields() { return exchange(shell::FieldExchange::Direction::fromControls); }
    void showFields() { exchange(shell::FieldExchange::Direction::toControls); }

    void start();
    void mark(bool hit);
    void show(const StepResult& result);
    void handOff();
    void importSettings();
    void exportSettings();

    SegmentInputs inputs_;
    SegmentPlan tracker_;
    ReportList plan_;
    ProfileFile settings_;
};

BOOL SegmentDialog::onInit() {
    plan_.attach(item(IDC_PLAN));
    ListView_SetExtendedListViewStyle(plan_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    plan_.setRowHeight(kRowHeight);
    plan_.setColumns(shell::widen(kSegmentColumnLayout));

    stake::fillRuleLists(hwnd(), IDC_STARS, IDC_MODE);

    settings_.setPath(shell::widen(kSettingsFileName));
    readSegmentSettings(settings_, inputs_, SettingsDefaults::startUp);
    showFields();
    EnableWindow(item(IDC_HANDOFF), shell::hostLink().hostWindow() != 0);
    return TRUE;
}

bool SegmentDialog::exchange(shell::FieldExchange::Direction direction) {
    shell::FieldExchange fields(hwnd(), direction);
    fields.number(IDC_MAX_MULTIPLIER, inputs_.maxMultiplier, L"最大倍数")
        .number(IDC_BETS, inputs_.bets, L"注数")
        .number(IDC_ODDS, inputs_.odds, L"赔率")
        .number(IDC_TARGET, inputs_.targetProfit, L"目标盈利")
        .number(IDC_HIT_PERIODS, inputs_.hitPeriods, L"中出期数")
        .listIndex(IDC_STARS, inputs_.starIndex)
        .listIndex(IDC_MODE, inputs_.modeIndex);
    return fields.succeeded();
}

void SegmentDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_START:
        start();
        break;
    case IDC_HIT:
        mark(true);
        break;
    case IDC_MISS:
        mark(false);
        break;
    case IDC_HANDOFF:
        handOff();
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

void SegmentDialog::onCancel() {
    readFields();
    writeSegmentSettings(settings_, inputs_);
    end(IDCANCEL);
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
    plan_.clearRows();
    readFields();
    ReportPlanList list(plan_);
    show(tracker_.start(inputs_, list));
}

// 中 and 挂 work with the fields as last read; they do not read the controls.
void SegmentDialog::mark(bool hit) {
    // A click that reached a disabled button (a message posted to it) is
    // not a mark.
    if (!tracker_.marksOpen())
        return;
    ReportPlanList list(plan_);
    show(hit ? tracker_.markHit(inputs_, list) : tracker_.markMiss(inputs_, list));
}

void SegmentDialog::handOff() {
    if (shell::hostLink().hostWindow() == 0)
        return;
    readFields();
    const auto record = buildSegmentRecord(inputs_);
    shell::hostLink().handOff(hwnd(), record);
}

// The marks of the plan, its cumulative values and the state of 中 and 挂
// stay as they are: a mark then replays them with the imported inputs.
void SegmentDialog::importSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::open);
    if (!path)
        return;
    ProfileFile chosen;
    chosen.setPath(*path);
    readSegmentSettings(chosen, inputs_, SettingsDefaults::import);
    showFields();
    plan_.clearRows();
}

void SegmentDialog::exportSettings() {
    const auto path = stake::chooseSettingsFile(hwnd(), stake::SettingsFileDialog::save);
    if (!path)
        return;
    readFields();
    ProfileFile chosen;
    chosen.setPath(*path);
    writeSegmentSettings(chosen, inputs_);
}

} // namespace

void runSegmentDialog() {
    SegmentDialog dialog;
    dialog.runModal(nullptr);
}
