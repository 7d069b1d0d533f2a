// The report list in a real list control: columns, rows and colours as the
// dialogs use them, texts as another process reads them, and the pixels a
// user sees. Needs a display (Xvfb under Wine).
#include "stake/common/report_list_win.h"

#include "shell/dpi_win.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// MSVC links the common controls 6 manifest from here; the MinGW build needs
// a manifest resource for that on Windows itself (Wine has it built in).
#ifdef _MSC_VER
// clang-format off
#pragma comment(linker, "\"/manifestdependency:type='win32' name='Microsoft.Windows.Common-Controls' version='6.0.0.0' processorArchitecture='*' publicKeyToken='6595b64144ccf1df' language='*'\"")
// clang-format on
#endif

namespace {

using stake::kKeepColor;
using stake::ReportList;

constexpr wchar_t kParentClass[] = L"ReportListTestParent";
constexpr COLORREF kRowHeaderFace = RGB(100, 100, 10);

ReportList* notifiedList = nullptr;

// The dialog's part: every WM_NOTIFY goes to the list first.
LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && notifiedList) {
        if (const auto result =
                notifiedList->handleParentNotify(*reinterpret_cast<const NMHDR*>(lParam)))
            return *result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class ReportListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &parentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kParentClass;
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassW(&windowClass); // fails harmlessly from the second test on

        parent_ = CreateWindowExW(0, kParentClass, L"report list test", WS_OVERLAPPEDWINDOW, 20, 20,
                                  600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        // What the calculators' templates ask for.
        list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                                    LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                                10, 10, 560, 340, parent_, reinterpret_cast<HMENU>(1000),
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(list_, nullptr);
        notifiedList = &report_;
        ASSERT_TRUE(report_.attach(list_));
        ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    }

    void TearDown() override {
        if (parent_)
            DestroyWindow(parent_);
        notifiedList = nullptr;
        pumpMessages();
    }

    int scaled(int pixelsAt96) const {
        return shell::scaledForDpi(pixelsAt96, shell::dpiOf(list_));
    }

    // The text of a cell as another process reads it: through the control.
    std::wstring controlText(int row, int column) const {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return buffer;
    }

    void showAndPaint() {
        ShowWindow(parent_, SW_SHOWNORMAL);
        UpdateWindow(parent_);
        pumpMessages();
        RedrawWindow(list_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(50);
        pumpMessages();
    }

    COLORREF pixel(HWND window, POINT point) const {
        HDC dc = GetDC(window);
        const COLORREF color = GetPixel(dc, point.x, point.y);
        ReleaseDC(window, dc);
        return color;
    }

    // A point inside a cell, clear of its text.
    POINT cellPoint(int row, int column) const {
        RECT rect{};
        ListView_GetSubItemRect(list_, row, column, LVIR_BOUNDS, &rect);
        return POINT{rect.left + 3, (rect.top + rect.bottom) / 2};
    }

    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    ReportList report_;
};

TEST_F(ReportListTest, ColumnLayoutWithAndWithoutLastSemicolon) {
    for (const wchar_t* columnLayout : {L"期数,40;当前倍数,80;", L"期数,40;当前倍数,80"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(columnLayout)));
        ReportList other;
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                    WS_CHILD | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                                    300, 200, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(other.attach(list));
        EXPECT_TRUE(other.setColumns(columnLayout));
        EXPECT_EQ(other.columnCount(), 2);
        HWND header = ListView_GetHeader(list);
        EXPECT_EQ(Header_GetItemCount(header), 2);
        EXPECT_EQ(ListView_GetColumnWidth(list, 0), scaled(40));
        EXPECT_EQ(ListView_GetColumnWidth(list, 1), scaled(80));

        wchar_t name[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = name;
        column.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(list, 1, &column));
        EXPECT_EQ(std::wstring(name), L"当前倍数");
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        DestroyWindow(list);
    }
}

TEST_F(ReportListTest, AppendedRowsAreReadBackFromTheModelAndTheControl) {
    ASSERT_TRUE(report_.setColumns(L"期数,40;当前倍数,80;当前成本,80;"));
    EXPECT_EQ(report_.appendRow({L"1", L"2", L"4.000"}), 0);
    EXPECT_EQ(report_.appendRow({L"2", L"4"}), 1); // a missing text is empty

    EXPECT_EQ(report_.rowCount(), 2);
    EXPECT_EQ(ListView_GetItemCount(list_), 2);
    EXPECT_EQ(report_.cellText(0, 2), L"4.000");
    EXPECT_EQ(report_.cellText(1, 2), L"");
    EXPECT_EQ(report_.cellText(5, 0), L"");
    EXPECT_EQ(controlText(0, 0), L"1");
    EXPECT_EQ(controlText(0, 1), L"2");
    EXPECT_EQ(controlText(1, 1), L"4");

    report_.clearRows();
    EXPECT_EQ(report_.rowCount(), 0);
    EXPECT_EQ(ListView_GetItemCount(list_), 0);
}

TEST_F(ReportListTest, SetCellTextKeepsColoursAndRefusesCellsOutsideTheList) {
    ASSERT_TRUE(report_.setColumns(L"序号,40;倍数,100;"));
    report_.appendRow({L"1", L"3"});
    report_.setRowColors(0, RGB(0, 0, 0), RGB(185, 185, 255));

    EXPECT_TRUE(report_.setCellText(0, 1, L"17"));
    EXPECT_EQ(report_.cellText(0, 1), L"17");
    EXPECT_EQ(report_.cellStyle(0, 1).backColor, RGB(185, 185, 255));

    EXPECT_FALSE(report_.setCellText(1, 0, L"x"));
    EXPECT_FALSE(report_.setCellText(0, 2, L"x"));
    EXPECT_FALSE(report_.setCellText(-1, 0, L"x"));
    EXPECT_EQ(report_.rowCount(), 1);

    // The control's own text setter reaches the rows too.
    wchar_t text[] = L"33";
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text;
    EXPECT_TRUE(SendMessageW(list_, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(report_.cellText(0, 1), L"33");
}

TEST_F(ReportListTest, RowColoursWithMinusOneTextColourChangeOnlyBackgrounds) {
    ASSERT_TRUE(report_.setColumns(L"序号,40;倍数,100;成本,100;"));
    report_.appendRow({L"1", L"1", L"2.000"});
    report_.appendRow({L"2", L"2", L"4.000"});
    report_.setRowColors(0, RGB(200, 0, 0), kKeepColor);

    report_.setRowColors(0, kKeepColor, RGB(185, 185, 255));
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(report_.cellStyle(0, column).backColor, RGB(185, 185, 255))
            << "column " << column;
        EXPECT_EQ(report_.cellStyle(0, column).textColor, RGB(200, 0, 0)) << "column " << column;
        EXPECT_EQ(report_.cellStyle(1, column).textColor, GetSysColor(COLOR_WINDOWFRAME))
            << "column " << column;
    }

    // Outside the list: ignored.
    report_.setRowColors(3, RGB(1, 2, 3), RGB(1, 2, 3));
    EXPECT_EQ(report_.rowCount(), 2);
    EXPECT_EQ(report_.cellStyle(0, 2).backColor, RGB(185, 185, 255));
}

TEST_F(ReportListTest, TenThousandRowsInOneBatch) {
    ASSERT_TRUE(report_.setColumns(L"期数,40;当前倍数,80;当前成本,80;累计成本,100;"));
    std::vector<std::vector<std::wstring>> rows;
    for (int i = 1; i <= 10000; ++i)
        rows.push_back({std::to_wstring(i), std::to_wstring(i * 2), L"2.000", L"4.000"});
    showAndPaint();

    const DWORD started = GetTickCount();
    EXPECT_EQ(report_.appendRows(rows), 0);
    pumpMessages();
    const DWORD elapsed = GetTickCount() - started;

    EXPECT_EQ(report_.rowCount(), 10000);
    EXPECT_EQ(ListView_GetItemCount(list_), 10000);
    EXPECT_EQ(controlText(9999, 0), L"10000");
    EXPECT_EQ(controlText(9999, 1), L"20000");
    EXPECT_EQ(controlText(4999, 3), L"4.000");
    EXPECT_LT(elapsed, 2000u) << "a 10000-row plan should fill at once";

    EXPECT_EQ(report_.appendRows({{L"10001", L"1"}}), 10000);
    EXPECT_EQ(ListView_GetItemCount(list_), 10001);
}

TEST_F(ReportListTest, ColumnHeaderClicksAreSwallowedAndRightClicksPassed) {
    ASSERT_TRUE(report_.setColumns(L"期数,40;"));
    NMLISTVIEW click{};
    click.hdr = {list_, 1000, static_cast<UINT>(LVN_COLUMNCLICK)};
    const auto result = report_.handleParentNotify(click.hdr);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 0);

    NMITEMACTIVATE rightClick{};
    rightClick.hdr = {list_, 1000, static_cast<UINT>(NM_RCLICK)};
    EXPECT_FALSE(report_.handleParentNotify(rightClick.hdr).has_value());
}

TEST_F(ReportListTest, PaintsRowHeaderCellsCellColoursSelectionAndHeader) {
    ASSERT_TRUE(report_.setColumns(L"期数,40;当前倍数,80;当前成本,80;"));
    report_.setRowHeight(18);
    EXPECT_FALSE(report_.setRowHeaderColumn(true));
    report_.appendRow({L"1", L"1", L"2.000"});
    report_.appendRow({L"2", L"2", L"4.000"});
    report_.appendRow({L"3", L"4", L"8.000"});
    report_.setRowColors(0, RGB(0, 0, 0), RGB(185, 185, 255));
    ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(parent_); // the selection shows without the focus too
    showAndPaint();

    RECT row{};
    ASSERT_TRUE(ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS));
    EXPECT_GE(row.bottom - row.top, scaled(18)) << "rows at least 18 pixels high";

    // The row-header cell: its face inside the one-pixel margin and edge.
    RECT headerCell{};
    ListView_GetSubItemRect(list_, 0, 0, LVIR_BOUNDS, &headerCell);
    EXPECT_EQ(pixel(list_, POINT{headerCell.left + 3, headerCell.top + 3}), kRowHeaderFace);
    EXPECT_EQ(pixel(list_, POINT{headerCell.left + 1, headerCell.top + 4}), RGB(255, 230, 255))
        << "light left edge of a row that is not selected";

    EXPECT_EQ(pixel(list_, cellPoint(0, 2)), RGB(185, 185, 255));
    EXPECT_EQ(pixel(list_, cellPoint(1, 1)), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(list_, cellPoint(2, 1)), GetSysColor(COLOR_HIGHLIGHT));

    RECT selectedHeaderCell{};
    ListView_GetSubItemRect(list_, 2, 0, LVIR_BOUNDS, &selectedHeaderCell);
    EXPECT_EQ(pixel(list_, POINT{selectedHeaderCell.left + 1, selectedHeaderCell.top + 4}),
              RGB(10, 0, 10))
        << "dark left edge: a selected row's header cell is sunken";

    // The header: raised items on the button face, and the space after the
    // last column drawn as one more item.
    HWND header = ListView_GetHeader(list_);
    RECT first{};
    Header_GetItemRect(header, 0, &first);
    const int middle = (first.top + first.bottom) / 2;
    EXPECT_EQ(pixel(header, POINT{first.left, middle}), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(header, POINT{first.left + 2, middle}), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(header, POINT{first.right - 1, middle}), GetSysColor(COLOR_BTNSHADOW));
    RECT last{};
    Header_GetItemRect(header, 2, &last);
    EXPECT_EQ(pixel(header, POINT{last.right, middle}), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(header, POINT{last.right + 10, middle}), GetSysColor(COLOR_BTNFACE));
}

} // namespace
