// The main window the four calculators share: the plan list with its
// right-click menu, the star-count and unit-mode lists, the tool's own
// settings file (read at start, written on close), 导入配置 and 导出配置, the
// hand-off to the host and the clipboard copies. A tool adds its fields, its
// commands and what it computes.
#pragma once

#include "stake/common/plan_row.h"
#include "stake/common/profile_file_win.h"
#include "stake/common/report_list_win.h"

#include "shell/dialog_win.h"
#include "shell/field_exchange_win.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace stake {

// The template's controls and the list's look, one set per tool.
struct CalculatorLayout {
    int plan = 0;       // the plan list
    int stars = 0;      // 星数
    int mode = 0;       // the unit-amount mode
    int handOff = 0;    // hand-off to the host
    int importButton = 0;
    int exportButton = 0;
    int rowHeight = 24; // pixels at 96 DPI
    std::string_view columns;
    bool rowHeaderColumn = false;
    // Without a host the hand-off button is disabled at start and a click
    // that reaches it does nothing; otherwise it hands off whatever there is.
    bool handOffNeedsHost = true;
    std::string_view settingsFile;
    // Enter closes the window (without saving) once the fields read;
    // otherwise it neither computes nor closes.
    bool enterCloses = false;
};

// Which file settings go to or come from: the tool's own (read at start,
// written on close) or one the user chose (导入配置, 导出配置).
enum class SettingsPlace { own, chosen };

class CalculatorDialog : public shell::MainDialog {
  protected:
    CalculatorDialog(int templateId, const CalculatorLayout& layout)
        : MainDialog(templateId), layout_(layout) {}

    // The tool's fields in one fixed order, either way; the star-count and
    // mode lists follow them where the tool has bound them.
    virtual void exchangeFields(shell::FieldExchange& fields) = 0;
    void bindRuleLists(std::int32_t& starIndex, std::int32_t& modeIndex) {
        starIndex_ = &starIndex;
        modeIndex_ = &modeIndex;
    }
    virtual void readSettings(const SettingsReader& file, SettingsPlace place) = 0;
    virtual void writeSettings(SettingsWriter& file, SettingsPlace place) = 0;
    // The record 传送 hands to the host, built from the fields as just read.
    virtual std::vector<std::uint8_t> handOffRecord() = 0;
    // After settings were read and shown, at start and on import.
    virtual void onSettingsShown() {}
    // A button or menu command that is not one of the shared ones.
    virtual void onToolCommand(int /*id*/) {}

    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override;
    void onOK() override;
    // Esc and the close box: the fields are read and saved, then the window
    // closes.
    void onCancel() override;

    // False, with the prompt shown, when a box holds no number of its field.
    bool readFields() { return exchange(shell::FieldExchange::Direction::fromControls); }
    void showFields() { exchange(shell::FieldExchange::Direction::toControls); }

    ReportList& plan() { return plan_; }
    const ReportList& plan() const { return plan_; }
    // The plan rows, their texts widened, appended in one step; returns the
    // index of the first.
    int appendPlanRows(const std::vector<PlanRow>& rows);
    // The texts of one column from top to bottom, in UTF-8.
    std::vector<std::string> columnCells(int column) const;
    // Copies digits and separators (the same bytes in UTF-8 and code page
    // 936) and says whether that worked.
    void copyText(const std::string& text);

    // The plan list's right-click menu: two copies with a separator between
    // them, each putting its text on the clipboard; none for a tool without
    // one.
    struct MenuItem {
        int command = 0;
        const wchar_t* text = nullptr;
        std::function<std::string()> copied;
    };
    void setPlanMenu(MenuItem first, MenuItem second);
    // 复制倍数 (the column's multipliers in a row) and 复制倍数(竖排) (one a line).
    void setMultiplierMenu(int inRowCommand, int inColumnCommand, int column);

  private:
    bool exchange(shell::FieldExchange::Direction direction);
    void showPlanMenu();
    void handOff();
    void importSettings();
    void exportSettings();

    CalculatorLayout layout_;
    std::int32_t* starIndex_ = nullptr;
    std::int32_t* modeIndex_ = nullptr;
    std::vector<MenuItem> menu_;
    ReportList plan_;
    ProfileFile settings_;
};

// A plan row's texts as the list shows them.
std::vector<std::wstring> wideCells(const PlanRow& row);

} // namespace stake
