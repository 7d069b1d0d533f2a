#include "stake/common/report_list_win.h"

#include "stake/common/column_format.h"
#include "stake/common/report_paint_win.h"

#include "shell/dpi_win.h"
#include "shell/strconv_win.h"

#include <algorithm>

namespace stake {
namespace {

constexpr UINT_PTR kListSubclassId = 0x5250'4C31;

// The row-header cell of the first column.
constexpr COLORREF kRowHeaderFace = RGB(100, 100, 10);
constexpr COLORREF kRowHeaderLight = RGB(255, 230, 255);
constexpr COLORREF kRowHeaderDark = RGB(10, 0, 10);
constexpr COLORREF kRowHeaderText = RGB(255, 255, 255);

// Inset in pixels at 96 DPI.
constexpr int kCellTextInset = 5;

// Columns are left-aligned (setColumns).
constexpr UINT kCellTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;

} // namespace

ReportList::~ReportList() {
    release();
}

bool ReportList::attach(HWND listControl) {
    if (!listControl || hwnd_)
        return false;
    if (!SetWindowSubclass(listControl, &ReportList::subclassProc, kListSubclassId,
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = listControl;
    dpi_ = shell::dpiOf(hwnd_);
    defaultTextColor_ = GetSysColor(COLOR_WINDOWFRAME);
    defaultBackColor_ = GetSysColor(COLOR_WINDOW);
    selectedTextColor_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
    selectedBackColor_ = GetSysColor(COLOR_HIGHLIGHT);
    if (HWND header = ListView_GetHeader(hwnd_))
        header_.attach(header);
    return true;
}

void ReportList::release() {
    if (!hwnd_)
        return;
    RemoveWindowSubclass(hwnd_, &ReportList::subclassProc, kListSubclassId);
    // Without LVS_SHAREIMAGELISTS the control destroys its image lists itself.
    if (rowHeightImages_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_SHAREIMAGELISTS))
        ImageList_Destroy(rowHeightImages_);
    rowHeightImages_ = nullptr;
    header_.detach();
    rows_.clear();
    rows_.shrink_to_fit();
    hwnd_ = nullptr;
}

bool ReportList::setColumns(std::wstring_view columnLayout) {
    if (!hwnd_)
        return false;
    for (const ColumnLayout& column : parseColumnLayout(shell::toUtf8(columnLayout))) {
        std::wstring name = shell::widen(column.name);
        LVCOLUMNW entry{};
        entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        entry.fmt = LVCFMT_LEFT;
        entry.cx = shell::scaledForDpi(column.width, dpi_);
        entry.pszText = name.data();
        entry.iSubItem = columnCount_;
        if (ListView_InsertColumn(hwnd_, columnCount_, &entry) < 0)
            return false;
        ++columnCount_;
    }
    // Some list controls create their header only with the first column.
    if (!header_.hwnd())
        header_.attach(ListView_GetHeader(hwnd_));
    return true;
}

ReportList::Row ReportList::newRow(const std::vector<std::wstring>& texts) const {
    Row row(static_cast<std::size_t>(columnCount_));
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i < texts.size())
            row[i].text = texts[i];
        row[i].style = CellStyle{defaultTextColor_, defaultBackColor_};
    }
    return row;
}

int ReportList::appendRow(const std::vector<std::wstring>& texts) {
    rows_.push_back(newRow(texts));
    const int row = rowCount() - 1;
    if (updateDepth_ == 0) {
        syncItemCount(false);
        repaintRow(row);
    }
    return row;
}

int ReportList::appendRows(const std::vector<std::vector<std::wstring>>& rows) {
    const int first = rowCount();
    beginUpdate();
    try {
        rows_.reserve(rows_.size() + rows.size());
        for (const auto& texts : rows)
            rows_.push_back(newRow(texts));
    } catch (...) {
        endUpdate();
        throw;
    }
    endUpdate();
    return first;
}

void ReportList::endUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    syncItemCount(true);
    if (hwnd_)
        UpdateWindow(hwnd_);
}

void ReportList::clearRows() {
    rows_.clear();
    if (hwnd_)
        ListView_DeleteAllItems(hwnd_);
}

void ReportList::syncItemCount(bool invalidateAll) {
    if (!hwnd_)
        return;
    const DWORD flags = LVSICF_NOSCROLL | (invalidateAll ? 0 : LVSICF_NOINVALIDATEALL);
    ListView_SetItemCountEx(hwnd_, rowCount(), flags);
}

void ReportList::repaintRow(int row) {
    if (!hwnd_ || updateDepth_ > 0)
        return;
    ListView_RedrawItems(hwnd_, row, row);
    UpdateWindow(hwnd_);
}

ReportList::Cell* ReportList::cellAt(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount_)
        return nullptr;
    Row& cells = rows_[static_cast<std::size_t>(row)];
    // Rows appended before a later setColumns() grow on first use.
    if (static_cast<std::size_t>(column) >= cells.size())
        cells.resize(static_cast<std::size_t>(columnCount_),
                     Cell{{}, CellStyle{defaultTextColor_, defaultBackColor_}});
    return &cells[static_cast<std::size_t>(column)];
}

const ReportList::Cell* ReportList::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0)
        return nullptr;
    const Row& cells = rows_[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(column) >= cells.size())
        return nullptr;
    return &cells[static_cast<std::size_t>(column)];
}

void ReportList::setRowColors(int row, COLORREF textColor, COLORREF backColor) {
    if (row < 0 || row >= rowCount())
        return;
    for (int column = 0; column < columnCount_; ++column) {
        Cell* cell = cellAt(row, column);
        if (textColor != kKeepColor)
            cell->style.textColor = textColor;
        if (backColor != kKeepColor)
            cell->style.backColor = backColor;
    }
    repaintRow(row);
}

bool ReportList::setCellText(int row, int column, std::wstring_view text) {
    Cell* cell = cellAt(row, column);
    if (!cell)
        return false;
    cell->text.assign(text);
    repaintRow(row);
    return true;
}

bool ReportList::setRowHeaderColumn(bool on) {
    const bool previous = rowHeaderColumn_;
    rowHeaderColumn_ = on;
    if (hwnd_ && updateDepth_ == 0) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
    }
    return previous;
}

void ReportList::setRowHeight(int pixelsAt96) {
    rowHeightAt96_ = pixelsAt96;
    applyRowHeight();
}

// A report-view row is as high as the small images, so an empty image list
// of the wanted size sets the row height.
void ReportList::applyRowHeight() {
    if (!hwnd_ || rowHeightAt96_ <= 0)
        return;
    const int side = shell::scaledForDpi(rowHeightAt96_, dpi_);
    HIMAGELIST images = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 0, 1);
    if (!images)
        return;
    HIMAGELIST previous = ListView_SetImageList(hwnd_, images, LVSIL_SMALL);
    if (previous && previous == rowHeightImages_)
        ImageList_Destroy(previous);
    rowHeightImages_ = images;
}

std::wstring ReportList::cellText(int row, int column) const {
    const Cell* cell = cellAt(row, column);
    return cell ? cell->text : std::wstring();
}

CellStyle ReportList::cellStyle(int row, int column) const {
    if (const Cell* cell = cellAt(row, column))
        return cell->style;
    return CellStyle{defaultTextColor_, defaultBackColor_};
}

void ReportList::changeDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    const int columns = header_.hwnd() ? Header_GetItemCount(header_.hwnd()) : columnCount_;
    for (int column = 0; column < columns; ++column) {
        const int width = ListView_GetColumnWidth(hwnd_, column);
        ListView_SetColumnWidth(hwnd_, column, MulDiv(width, dpi, dpi_));
    }
    dpi_ = dpi;
    applyRowHeight();
}

LRESULT CALLBACK ReportList::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    // No exception may unwind through user32.
    try {
        return reinterpret_cast<ReportList*>(self)->handle(message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

LRESULT ReportList::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = hwnd_;
    switch (message) {
    case LVM_DELETEALLITEMS:
        rows_.clear();
        break;
    case LVM_SETITEMTEXTW: {
        // The rows live here: the control's own text setter goes to them.
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (!item || !item->pszText || item->pszText == LPSTR_TEXTCALLBACKW)
            return FALSE;
        return setCellText(static_cast<int>(wParam), item->iSubItem, item->pszText) ? TRUE : FALSE;
    }
    case kDpiChangedAfterParent:
        changeDpi(shell::dpiOf(window));
        break;
    case WM_NCDESTROY:
        release();
        return DefSubclassProc(window, message, wParam, lParam);
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

std::optional<LRESULT> ReportList::handleParentNotify(const NMHDR& header) {
    if (!hwnd_ || header.hwndFrom != hwnd_)
        return std::nullopt;
    // The control hands out writable structures behind a const NMHDR.
    auto& writable = const_cast<NMHDR&>(header);
    try {
        switch (header.code) {
        case NM_CUSTOMDRAW:
            return customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(writable));
        case LVN_GETDISPINFOW:
            return answerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(writable));
        case LVN_ODFINDITEMW:
            return findItem(reinterpret_cast<const NMLVFINDITEMW&>(header));
        case LVN_COLUMNCLICK:
            // The plan keeps its order: a header click does nothing.
            return 0;
        case LVN_ITEMCHANGED:
            invalidateChangedRows(reinterpret_cast<const NMLISTVIEW&>(header));
            return std::nullopt;
        case LVN_ODSTATECHANGED: {
            const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
            invalidateRows(change.iFrom, change.iTo);
            return std::nullopt;
        }
        default:
            return std::nullopt;
        }
    } catch (...) {
        return std::nullopt;
    }
}

// The control invalidates only part of a row whose selection changes, which
// would leave the row-header cell's left edge in its previous look: the
// whole row is painted again.
void ReportList::invalidateChangedRows(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE) ||
        !((change.uNewState ^ change.uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)))
        return;
    if (change.iItem < 0)
        InvalidateRect(hwnd_, nullptr, FALSE);
    else
        invalidateRows(change.iItem, change.iItem);
}

void ReportList::invalidateRows(int first, int last) {
    RECT top;
    RECT bottom;
    if (!ListView_GetItemRect(hwnd_, first, &top, LVIR_BOUNDS) ||
        !ListView_GetItemRect(hwnd_, last, &bottom, LVIR_BOUNDS))
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const RECT rows{client.left, top.top, client.right, bottom.bottom};
    InvalidateRect(hwnd_, &rows, FALSE);
}

LRESULT ReportList::customDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        paintRow(draw.nmcd.hdc, static_cast<int>(draw.nmcd.dwItemSpec));
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void ReportList::paintRow(HDC dc, int row) const {
    if (row < 0 || row >= rowCount())
        return;
    const int columns = header_.hwnd() ? Header_GetItemCount(header_.hwnd()) : columnCount_;
    // Selection colours whether or not the list has the focus.
    const bool selected = (ListView_GetItemState(hwnd_, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const std::wstring noText;

    SavedDcState state(dc);
    SetBkMode(dc, TRANSPARENT);
    for (int column = 0; column < columns; ++column) {
        RECT rect;
        if (!ListView_GetSubItemRect(hwnd_, row, column, LVIR_BOUNDS, &rect))
            continue;
        // Column 0's bounds are the whole row.
        RECT next;
        if (column == 0 && columns > 1 &&
            ListView_GetSubItemRect(hwnd_, row, 1, LVIR_BOUNDS, &next))
            rect.right = next.left;

        const Cell* cell = cellAt(row, column);
        const std::wstring& text = cell ? cell->text : noText;
        if (column == 0 && rowHeaderColumn_) {
            paintRowHeaderCell(dc, rect, text, selected);
            continue;
        }
        const CellStyle style =
            cell ? cell->style : CellStyle{defaultTextColor_, defaultBackColor_};
        fillSolid(dc, rect, selected ? selectedBackColor_ : style.backColor);
        if (text.empty())
            continue;

        RECT textRect = rect;
        textRect.left += shell::scaledForDpi(kCellTextInset, dpi_);
        SetTextColor(dc, selected ? selectedTextColor_ : style.textColor);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, kCellTextFormat);
    }
}

void ReportList::paintRowHeaderCell(HDC dc, RECT rect, const std::wstring& text,
                                    bool selected) const {
    InflateRect(&rect, -1, -1);
    fillSolid(dc, rect, kRowHeaderFace);
    // Raised, or sunken while the row is selected.
    if (selected)
        drawEdge(dc, rect, kRowHeaderDark, kRowHeaderLight);
    else
        drawEdge(dc, rect, kRowHeaderLight, kRowHeaderDark);
    SetTextColor(dc, kRowHeaderText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT ReportList::answerDisplayInfo(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    const Cell* cell = cellAt(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::size_t length =
            cell ? std::min(cell->text.size(), static_cast<std::size_t>(item.cchTextMax - 1)) : 0;
        if (length > 0)
            std::copy_n(cell->text.data(), length, item.pszText);
        item.pszText[length] = L'\0';
    }
    // The small images only set the row height: no cell shows one.
    if (item.mask & LVIF_IMAGE)
        item.iImage = -1;
    return 0;
}

// Typing in the list jumps to the next row whose first cell starts with the
// typed text, as in a list that holds its own items.
LRESULT ReportList::findItem(const NMLVFINDITEMW& find) const {
    const LVFINDINFOW& info = find.lvfi;
    if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz || rowCount() == 0)
        return -1;
    const std::wstring_view wanted(info.psz);
    const bool partial = (info.flags & LVFI_PARTIAL) != 0;
    const int count = rowCount();
    const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
    const int steps = (info.flags & LVFI_WRAP) ? count : count - start;
    for (int step = 0; step < steps; ++step) {
        const int row = (start + step) % count;
        const Cell* cell = cellAt(row, 0);
        if (!cell)
            continue;
        const std::wstring& text = cell->text;
        const std::size_t compared = partial ? wanted.size() : text.size();
        if (text.size() < wanted.size() || (!partial && text.size() != wanted.size()))
            continue;
        if (CompareStringOrdinal(text.data(), static_cast<int>(compared), wanted.data(),
                                 static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

} // namespace stake
