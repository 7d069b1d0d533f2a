// The report list in a real list control, as the calculators' dialogs use it:
// columns, rows, texts as another process reads them through the control,
// colours, notifications and the pixels a user sees. Needs a display.
#include "stake/common/report_list_win.h"

#include "shell/dpi_win.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using stake::kKeepColor;
using stake::ReportList;

ReportList* notifiedList = nullptr;

// The dialog's part: every WM_NOTIFY goes to the list first.
LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && notifiedList)
        if (const auto result = notifiedList->handleParentNotify(*reinterpret_cast<NMHDR*>(lParam)))
            return *result;
    return DefWindowProcW(window, message, wParam, lParam);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

class ReportListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &parentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ReportListTestParent";
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassW(&windowClass); // fails harmlessly from the second test on
        parent_ = CreateWindowExW(0, windowClass.lpszClassName, L"report list", WS_OVERLAPPEDWINDOW,
                                  20, 20, 600, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
        // What the calculators' templates ask for.
        list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SHOWSELALWAYS,
                                10, 10, 560, 340, parent_, reinterpret_cast<HMENU>(1000),
                                windowClass.hInstance, nullptr);
        notifiedList = &report_;
        ASSERT_TRUE(report_.attach(list_));
        ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        notifiedList = nullptr;
        pumpMessages();
    }

    int scaled(int pixelsAt96) const { return shell::scaledForDpi(pixelsAt96, shell::dpiOf(list_)); }
    // A cell's text as another process reads it: through the control.
    std::wstring controlText(int row, int column) const {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    COLORREF pixel(HWND window, int x, int y) const {
        HDC dc = GetDC(window);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }
    RECT cell(int row, int column) const {
        RECT rect{};
        ListView_GetSubItemRect(list_, row, column, LVIR_BOUNDS, &rect);
        return rect;
    }

    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    ReportList report_;
};

TEST_F(ReportListTest, ColumnsRowsAndTextsThroughTheControl) {
    // Left-aligned columns, widths scaled to the list's DPI.
    ASSERT_TRUE(report_.setColumns(L"期数,40;当前倍数,80;当前成本,80;"));
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list_)), 3);
    EXPECT_EQ(ListView_GetColumnWidth(list_, 1), scaled(80));
    wchar_t name[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = name;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list_, 1, &column));
    EXPECT_EQ(std::wstring(name), L"当前倍数");
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);

    EXPECT_EQ(report_.appendRow({L"1", L"2", L"4.000"}), 0);
    EXPECT_EQ(report_.appendRow({L"2", L"4"}), 1); // a missing text is empty
    EXPECT_EQ(controlText(0, 2), L"4.000");
    EXPECT_EQ(controlText(1, 1), L"4");
    EXPECT_EQ(report_.cellText(1, 2), L"");
    EXPECT_EQ(report_.cellText(5, 0), L"");
    // setCellText refuses cells outside the list; the control's setter reaches the rows.
    EXPECT_TRUE(report_.setCellText(0, 1, L"17"));
    for (const auto& [row, column] : std::initializer_list<std::pair<int, int>>{{2, 0}, {0, 3}, {-1, 0}})
        EXPECT_FALSE(report_.setCellText(row, column, L"x"));
    wchar_t text[] = L"33";
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text;
    EXPECT_TRUE(SendMessageW(list_, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(report_.cellText(0, 1), L"17");
    EXPECT_EQ(report_.cellText(1, 1), L"33");

    // A whole plan in one batch, then one row more.
    std::vector<std::vector<std::wstring>> rows;
    for (int i = 3; i <= 10000; ++i)
        rows.push_back({std::to_wstring(i), std::to_wstring(i * 2), L"2.000"});
    EXPECT_EQ(report_.appendRows(rows), 2);
    EXPECT_EQ(report_.appendRows({{L"10001", L"1"}}), 10000);
    EXPECT_EQ(ListView_GetItemCount(list_), 10001);
    EXPECT_EQ(controlText(9999, 1), L"20000");
    report_.clearRows();
    EXPECT_EQ(ListView_GetItemCount(list_), 0);

    // Header clicks are swallowed, right clicks passed on.
    NMLISTVIEW click{};
    click.hdr = {list_, 1000, static_cast<UINT>(LVN_COLUMNCLICK)};
    EXPECT_EQ(report_.handleParentNotify(click.hdr), std::optional<LRESULT>(0));
    click.hdr.code = static_cast<UINT>(NM_RCLICK);
    EXPECT_FALSE(report_.handleParentNotify(click.hdr).has_value());
}

TEST_F(ReportListTest, ColoursInTheModelAndOnTheScreen) {
    ASSERT_TRUE(report_.setColumns(L"期数,40;当前倍数,80;当前成本,80;"));
    report_.setRowHeight(18);
    EXPECT_FALSE(report_.setRowHeaderColumn(true));
    for (const wchar_t* n : {L"1", L"2", L"3"})
        report_.appendRow({n, n, L"2.000"});
    // kKeepColor keeps one colour of the row; rows outside the list are ignored.
    report_.setRowColors(0, RGB(200, 0, 0), kKeepColor);
    report_.setRowColors(0, kKeepColor, RGB(185, 185, 255));
    report_.setRowColors(3, RGB(1, 2, 3), RGB(1, 2, 3));
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(report_.cellStyle(0, column).backColor, RGB(185, 185, 255));
        EXPECT_EQ(report_.cellStyle(0, column).textColor, RGB(200, 0, 0));
        EXPECT_EQ(report_.cellStyle(1, column).textColor, GetSysColor(COLOR_WINDOWFRAME));
    }
    EXPECT_TRUE(report_.setCellText(0, 1, L"17"));
    EXPECT_EQ(report_.cellStyle(0, 1).backColor, RGB(185, 185, 255)) << "new text, same colours";

    ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(parent_); // the selection shows without the focus too
    ShowWindow(parent_, SW_SHOWNORMAL);
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages();
    EXPECT_GE(cell(0, 1).bottom - cell(0, 1).top, scaled(18));
    // The row-header cell: its face inside a light edge, a dark edge when selected.
    EXPECT_EQ(pixel(list_, cell(0, 0).left + 3, cell(0, 0).top + 3), RGB(100, 100, 10));
    EXPECT_EQ(pixel(list_, cell(0, 0).left + 1, cell(0, 0).top + 4), RGB(255, 230, 255));
    EXPECT_EQ(pixel(list_, cell(2, 0).left + 1, cell(2, 0).top + 4), RGB(10, 0, 10));
    const auto inside = [&](int row, int column) {
        return pixel(list_, cell(row, column).left + 3, (cell(row, column).top + cell(row, column).bottom) / 2);
    };
    EXPECT_EQ(inside(0, 2), RGB(185, 185, 255));
    EXPECT_EQ(inside(1, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(inside(2, 1), GetSysColor(COLOR_HIGHLIGHT));
    // The header: raised items, and the space after the last column as one more item.
    const HWND header = ListView_GetHeader(list_);
    RECT first{}, last{};
    Header_GetItemRect(header, 0, &first);
    Header_GetItemRect(header, 2, &last);
    const int middle = (first.top + first.bottom) / 2;
    EXPECT_EQ(pixel(header, first.left, middle), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(header, first.left + 2, middle), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(header, first.right - 1, middle), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(header, last.right, middle), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(header, last.right + 10, middle), GetSysColor(COLOR_BTNFACE));
}

} // namespace
