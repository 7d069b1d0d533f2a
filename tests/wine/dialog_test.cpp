// Dialogs in this process: the start-up of a tool around its main dialog, and the report list
// in a real list control as the calculators use it: columns, rows, texts as another process
// reads them through the control, colours, notifications and the pixels a user sees.
#include "shell/app_win.h"
#include "shell/dialog_win.h"
#include "shell/dpi_win.h"
#include "stake/common/report_list_win.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

namespace {

struct ClosingAtOnce final : shell::MainDialog {
    using MainDialog::MainDialog;
    BOOL onInit() override { end(IDOK); return TRUE; }
};

// The texts of the boxes titled with the program's name, each answered with OK as it shows.
std::wstring seen;
LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    const HWND box = reinterpret_cast<HWND>(wParam);
    wchar_t title[64] = {}, text[512] = {};
    GetWindowTextW(box, title, 64);
    if (code == HCBT_ACTIVATE && !lstrcmpW(title, L"dialog_tests")) {
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        seen += text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A main dialog that opens and closes (template 102) ends the tool with 0; one that cannot be
// created (no template 4711) is told in a box titled with the program's name, and ends it with 1.
TEST(ToolStart, EndsWithItsCodeAndTellsTheUserWhenTheWindowCannotBeCreated) {
    const HHOOK hook = SetWindowsHookExW(WH_CBT, &answerBoxes, nullptr, GetCurrentThreadId());
    for (const auto& [templateId, exitCode, message] :
         {std::tuple{102, 0, L""}, std::tuple{4711, 1, L"无法创建程序窗口。"}}) {
        seen.clear();
        const int code = shell::startTool(GetModuleHandleW(nullptr), {.readsCommandLine = false},
                                          [&] { ClosingAtOnce(templateId).runModal(nullptr); });
        EXPECT_EQ(code, exitCode) << templateId;
        EXPECT_EQ(seen, message) << templateId;
    }
    UnhookWindowsHookEx(hook);
}

stake::ReportList* notifiedList = nullptr;

// The dialog's part: every WM_NOTIFY goes to the list first.
INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    const auto result = message == WM_NOTIFY && notifiedList
                            ? notifiedList->handleParentNotify(*reinterpret_cast<NMHDR*>(lParam))
                            : std::nullopt;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result.value_or(0));
    return result.has_value();
}

TEST(ReportList, ColumnsRowsTextsColoursAndClicksThroughTheControl) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND dialog = CreateDialogW(nullptr, MAKEINTRESOURCEW(103), nullptr, &dialogProc);
    const HWND list = GetDlgItem(dialog, 1000);
    stake::ReportList report;
    notifiedList = &report;
    ASSERT_TRUE(report.attach(list));
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    // A cell's text as another process reads it: through the control.
    const auto controlText = [&](int row, int column) {
        wchar_t buffer[256] = {};
        ListView_GetItemText(list, row, column, buffer, 256);
        return std::wstring(buffer);
    };

    // Left-aligned columns, widths scaled to the list's DPI.
    ASSERT_TRUE(report.setColumns(L"期数,40;当前倍数,80;当前成本,80;"));
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), shell::scaledForDpi(80, shell::dpiOf(list)));
    wchar_t name[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT, column.pszText = name, column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list, 2, &column));
    EXPECT_EQ(std::wstring(name), L"当前成本");
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);

    // Rows, a missing text empty; setCellText refuses cells outside the list,
    // the control's setter reaches the rows; new text keeps the colours.
    report.setRowHeight(18);
    EXPECT_FALSE(report.setRowHeaderColumn(true));
    EXPECT_EQ(report.appendRow({L"1", L"1", L"2.000"}), 0);
    EXPECT_EQ(report.appendRow({L"2", L"4"}), 1);
    EXPECT_EQ(report.appendRow({L"3", L"3", L"2.000"}), 2);
    // kKeepColor keeps one colour of the row; rows outside the list are ignored.
    report.setRowColors(0, RGB(200, 0, 0), stake::kKeepColor);
    report.setRowColors(0, stake::kKeepColor, RGB(185, 185, 255));
    report.setRowColors(3, RGB(1, 2, 3), RGB(1, 2, 3));
    EXPECT_TRUE(report.setCellText(0, 1, L"17"));
    for (const auto& [row, column] : {std::pair{3, 0}, {0, 3}, {-1, 0}})
        EXPECT_FALSE(report.setCellText(row, column, L"x"));
    ListView_SetItemText(list, 1, 1, const_cast<wchar_t*>(L"33"));
    EXPECT_EQ(controlText(0, 1), L"17");
    EXPECT_EQ(controlText(1, 1), L"33");
    EXPECT_EQ(report.cellText(1, 2), L"");
    EXPECT_EQ(report.cellText(5, 0), L"");
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(report.cellStyle(0, c).backColor == RGB(185, 185, 255) &&
                    report.cellStyle(0, c).textColor == RGB(200, 0, 0) &&
                    report.cellStyle(1, c).textColor == GetSysColor(COLOR_WINDOWFRAME)) << c;

    // On the screen, the third row selected, shown without the focus too.
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetFocus(nullptr);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // The colour at (dx, dy) from a cell's top left (row -1: a header item's); dy < 0: mid-height.
    const HWND header = ListView_GetHeader(list);
    const auto pixel = [&](int row, int column, int dx, int dy) {
        const HWND window = row < 0 ? header : list;
        RECT at{};
        (row < 0 ? Header_GetItemRect(header, column, &at)
                 : ListView_GetSubItemRect(list, row, column, LVIR_BOUNDS, &at));
        const HDC dc = GetDC(window);
        const int y = dy < 0 ? (at.top + at.bottom) / 2 : at.top + dy;
        const COLORREF color = GetPixel(dc, at.left + dx, y);
        ReleaseDC(window, dc);
        return color;
    };
    RECT row{};
    ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
    EXPECT_GE(row.bottom - row.top, shell::scaledForDpi(18, shell::dpiOf(list)));
    // The row-header cell: its face inside a light edge, a dark edge when selected.
    EXPECT_EQ(pixel(0, 0, 3, 3), RGB(100, 100, 10));
    EXPECT_EQ(pixel(0, 0, 1, 4), RGB(255, 230, 255));
    EXPECT_EQ(pixel(2, 0, 1, 4), RGB(10, 0, 10));
    EXPECT_EQ(pixel(0, 2, 3, -1), RGB(185, 185, 255));
    EXPECT_EQ(pixel(1, 1, 3, -1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(2, 1, 3, -1), GetSysColor(COLOR_HIGHLIGHT));
    // The header: raised items, and the space after the last column as one more item.
    const int first = ListView_GetColumnWidth(list, 0), last = ListView_GetColumnWidth(list, 2);
    EXPECT_EQ(pixel(-1, 0, 0, -1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(-1, 0, 2, -1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(-1, 0, first - 1, -1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(-1, 2, last, -1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(-1, 2, last + 10, -1), GetSysColor(COLOR_BTNFACE));

    // A whole plan in one batch, then one row more; then none.
    std::vector<std::vector<std::wstring>> rows;
    for (int i = 4; i <= 10000; ++i)
        rows.push_back({std::to_wstring(i), std::to_wstring(i * 2)});
    EXPECT_EQ(report.appendRows(rows), 3);
    EXPECT_EQ(report.appendRows({{L"10001", L"1"}}), 10000);
    EXPECT_EQ(ListView_GetItemCount(list), 10001);
    EXPECT_EQ(controlText(9999, 1), L"20000");
    report.clearRows();
    EXPECT_EQ(ListView_GetItemCount(list), 0);

    // Header clicks are swallowed, right clicks passed on.
    NMHDR click{list, 1000, static_cast<UINT>(LVN_COLUMNCLICK)};
    EXPECT_EQ(report.handleParentNotify(click), std::optional<LRESULT>(0));
    click.code = static_cast<UINT>(NM_RCLICK);
    EXPECT_FALSE(report.handleParentNotify(click).has_value());
    DestroyWindow(dialog);
}

} // namespace
