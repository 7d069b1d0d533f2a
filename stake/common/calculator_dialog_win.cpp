#include "stake/common/calculator_dialog_win.h"

#include "stake/common/multiplier_text.h"
#include "stake/common/rule_lists_win.h"
#include "stake/common/settings_file_dialog_win.h"

#include "shell/app_win.h"
#include "shell/clipboard_win.h"
#include "shell/strconv_win.h"

#include <commctrl.h>

#include <utility>

namespace stake {

std::vector<std::wstring> wideCells(const PlanRow& row) {
    std::vector<std::wstring> cells;
    cells.reserve(row.cells.size());
    for (const std::string& cell : row.cells)
        cells.push_back(shell::widen(cell));
    return cells;
}

BOOL CalculatorDialog::onInit() {
    plan_.attach(item(layout_.plan));
    ListView_SetExtendedListViewStyle(plan_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    plan_.setRowHeight(layout_.rowHeight);
    plan_.setColumns(shell::widen(layout_.columns));
    if (layout_.rowHeaderColumn)
        plan_.setRowHeaderColumn(true);

    fillRuleLists(hwnd(), layout_.stars, layout_.mode);

    settings_.setPath(shell::widen(layout_.settingsFile));
    readSettings(settings_, SettingsPlace::own);
    showFields();
    onSettingsShown();
    if (layout_.handOffNeedsHost)
        EnableWindow(item(layout_.handOff), shell::hostLink().hostWindow() != 0);
    return TRUE;
}

bool CalculatorDialog::exchange(shell::FieldExchange::Direction direction) {
    shell::FieldExchange fields(hwnd(), direction);
    exchangeFields(fields);
    if (starIndex_ && modeIndex_)
        fields.listIndex(layout_.stars, *starIndex_).listIndex(layout_.mode, *modeIndex_);
    return fields.succeeded();
}

void CalculatorDialog::onCommand(int id, int code, HWND) {
    // Menu commands come with code 0, which is also BN_CLICKED.
    if (code != BN_CLICKED)
        return;
    for (const MenuItem& copy : menu_) {
        if (id == copy.command) {
            copyText(copy.copied());
            return;
        }
    }
    if (id == layout_.handOff)
        handOff();
    else if (id == layout_.importButton)
        importSettings();
    else if (id == layout_.exportButton)
        exportSettings();
    else
        onToolCommand(id);
}

std::optional<LRESULT> CalculatorDialog::onNotify(const NMHDR& header) {
    if (header.hwndFrom == plan_.hwnd() && header.code == NM_RCLICK && !menu_.empty()) {
        showPlanMenu();
        return 0;
    }
    return plan_.handleParentNotify(header);
}

void CalculatorDialog::onOK() {
    // A box that holds no number keeps the window open: the user is still
    // typing.
    if (layout_.enterCloses && readFields())
        end(IDOK);
}

void CalculatorDialog::onCancel() {
    readFields();
    writeSettings(settings_, SettingsPlace::own);
    end(IDCANCEL);
}

int CalculatorDialog::appendPlanRows(const std::vector<PlanRow>& rows) {
    std::vector<std::vector<std::wstring>> texts;
    texts.reserve(rows.size());
    for (const PlanRow& row : rows)
        texts.push_back(wideCells(row));
    return plan_.appendRows(texts);
}

std::vector<std::string> CalculatorDialog::columnCells(int column) const {
    std::vector<std::string> cells;
    const int rows = plan_.rowCount();
    cells.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        cells.push_back(shell::toUtf8(plan_.cellText(row, column)));
    return cells;
}

void CalculatorDialog::copyText(const std::string& text) {
    if (shell::copyTextToClipboard(hwnd(), text))
        showMessage(L"已经成功复制到剪贴板!");
    else
        shell::showCopyFailure(hwnd());
}

void CalculatorDialog::setPlanMenu(MenuItem first, MenuItem second) {
    menu_ = {std::move(first), std::move(second)};
}

void CalculatorDialog::setMultiplierMenu(int inRowCommand, int inColumnCommand, int column) {
    // Digits, signs, commas and line breaks: the same bytes in UTF-8 and code page 936.
    setPlanMenu({inRowCommand, L"复制倍数",
                 [this, column] { return multipliersInRow(columnCells(column)); }},
                {inColumnCommand, L"复制倍数(竖排)",
                 [this, column] { return multipliersInColumn(columnCells(column)); }});
}

void CalculatorDialog::showPlanMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(menu_[0].command), menu_[0].text);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(menu_[1].command), menu_[1].text);
    POINT cursor{};
    GetCursorPos(&cursor);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       cursor.x, cursor.y, 0, hwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        onCommand(chosen, 0, nullptr);
}

void CalculatorDialog::handOff() {
    if (layout_.handOffNeedsHost && shell::hostLink().hostWindow() == 0)
        return;
    readFields();
    shell::hostLink().handOff(hwnd(), handOffRecord());
}

void CalculatorDialog::importSettings() {
    const auto path = chooseSettingsFile(hwnd(), SettingsFileDialog::open);
    if (!path)
        return;
    ProfileFile chosen;
    chosen.setPath(*path);
    readSettings(chosen, SettingsPlace::chosen);
    showFields();
    onSettingsShown();
    plan_.clearRows();
}

void CalculatorDialog::exportSettings() {
    const auto path = chooseSettingsFile(hwnd(), SettingsFileDialog::save);
    if (!path)
        return;
    readFields();
    ProfileFile chosen;
    chosen.setPath(*path);
    writeSettings(chosen, SettingsPlace::chosen);
    if (chosen.writeFailed())
        shell::showWriteFailure(hwnd(), *path);
}

} // namespace stake
