// The calculators' plan table: a report-view list control that paints every
// cell itself (own text and back colour per row, an optional row-header
// first column) under a header that is painted by the program too
// (ReportHeader).
//
// The list control comes from the dialog template: SysListView32 with
// LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS (LVS_SINGLESEL where a tool
// wants one selected row). The rows live here, not in the control, so a plan
// of thousands of rows fills at once. Plain Win32 reflects no notification:
// the dialog forwards its WM_NOTIFY to handleParentNotify() and returns the
// result through DWLP_MSGRESULT when there is one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "stake/common/report_header_win.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stake {

// A colour argument that leaves the colour as it is.
inline constexpr COLORREF kKeepColor = static_cast<COLORREF>(-1);

struct CellStyle {
    COLORREF textColor = 0;
    COLORREF backColor = 0;
};

class ReportList {
  public:
    ReportList() = default;
    ~ReportList();
    ReportList(const ReportList&) = delete;
    ReportList& operator=(const ReportList&) = delete;

    // Takes over the template's list control and its header. Call once from
    // the dialog's initialisation.
    bool attach(HWND listControl);
    HWND hwnd() const { return hwnd_; }

    // Appends one left-aligned column per "name,width;" entry. Widths are
    // pixels at 96 DPI and scaled to the list's DPI. False as soon as the
    // control refuses a column; the columns inserted so far stay.
    bool setColumns(std::wstring_view columnLayout);
    int columnCount() const { return columnCount_; }

    // One text per column, the first for column 0; default colours.
    // The new row is painted at once. Returns its index.
    int appendRow(const std::vector<std::wstring>& texts);
    // A whole plan at once: one item-count change and one repaint. Returns
    // the index of the first appended row.
    int appendRows(const std::vector<std::vector<std::wstring>>& rows);
    // Between beginUpdate() and the matching endUpdate() nothing is painted
    // and the control's row count is left behind; endUpdate() catches up.
    void beginUpdate() { ++updateDepth_; }
    void endUpdate();
    void clearRows();

    // kKeepColor leaves a colour unchanged; a row or column outside the list
    // is ignored. The cell is repainted at once.
    void setRowColors(int row, COLORREF textColor, COLORREF backColor);
    // False, changing nothing, for a row or column outside the list.
    bool setCellText(int row, int column, std::wstring_view text);
    // Returns the previous value and repaints the whole list.
    bool setRowHeaderColumn(bool on);
    bool rowHeaderColumn() const { return rowHeaderColumn_; }
    // Rows as high as an empty square small-image list of this many pixels
    // at 96 DPI (18 in the doubling calculator, 24 in the others).
    void setRowHeight(int pixelsAt96);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    std::wstring cellText(int row, int column) const;
    // The cell's own colours (what it shows while its row is not selected).
    CellStyle cellStyle(int row, int column) const;

    // The dialog's WM_NOTIFY. Answers the list's custom draw, its requests
    // for texts (LVN_GETDISPINFOW, LVN_ODFINDITEMW) and swallows column
    // clicks; anything else, NM_RCLICK included, is nullopt.
    std::optional<LRESULT> handleParentNotify(const NMHDR& header);

  private:
    struct Cell {
        std::wstring text;
        CellStyle style;
    };
    using Row = std::vector<Cell>;

    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void invalidateChangedRows(const NMLISTVIEW& change);
    void invalidateRows(int first, int last);
    LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;
    void paintRow(HDC dc, int row) const;
    void paintRowHeaderCell(HDC dc, RECT rect, const std::wstring& text, bool selected) const;
    LRESULT answerDisplayInfo(NMLVDISPINFOW& info) const;
    LRESULT findItem(const NMLVFINDITEMW& find) const;
    Cell* cellAt(int row, int column);
    const Cell* cellAt(int row, int column) const;
    Row newRow(const std::vector<std::wstring>& texts) const;
    void syncItemCount(bool invalidateAll);
    void repaintRow(int row);
    void changeDpi(int dpi);
    void applyRowHeight();
    void release();

    HWND hwnd_ = nullptr;
    ReportHeader header_;
    std::vector<Row> rows_;
    int columnCount_ = 0;
    bool rowHeaderColumn_ = false;
    int updateDepth_ = 0;
    int dpi_ = 96;
    int rowHeightAt96_ = 0;
    HIMAGELIST rowHeightImages_ = nullptr;
    COLORREF defaultTextColor_ = 0;
    COLORREF defaultBackColor_ = 0;
    COLORREF selectedTextColor_ = 0;
    COLORREF selectedBackColor_ = 0;
};

} // namespace stake
