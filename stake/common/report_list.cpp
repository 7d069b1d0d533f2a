#include "stake/common/report_list.h"

#include "shell/dpi.h"
#include "shell/strconv.h"
#include "stake/common/column_format.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace stake {
namespace {

constexpr UINT_PTR kListSubclassId = 0x5250'4C31;
constexpr UINT_PTR kHeaderSubclassId = 0x5250'4831;
// Sent to child windows after a per-monitor DPI change (Windows 10 1703 on);
// the Windows 7 headers do not name it.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The row-header cell of the first column.
constexpr COLORREF kRowHeaderFace = RGB(100, 100, 10);
constexpr COLORREF kRowHeaderLight = RGB(255, 230, 255);
constexpr COLORREF kRowHeaderDark = RGB(10, 0, 10);
constexpr COLORREF kRowHeaderText = RGB(255, 255, 255);

// Insets in pixels at 96 DPI.
constexpr int kCellTextInset = 5;
constexpr int kCellImageTextInset = 30;
constexpr int kCellImageOffset = 2;
constexpr int kHeaderTextInset = 5;

constexpr UINT kCellTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr UINT kHeaderTextFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

// List-view column formats and header item formats share their alignment bits.
UINT textAlignment(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return DT_RIGHT;
    case LVCFMT_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

void fillSolid(HDC dc, const RECT& rect, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// A one-pixel frame just inside `rect`: top and left in one colour, right
// and bottom in the other.
void drawEdge(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    fillSolid(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    fillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    fillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    fillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

class SavedDcState {
  public:
    explicit SavedDcState(HDC dc) : dc_(dc), state_(SaveDC(dc)) {}
    ~SavedDcState() {
        if (state_)
            RestoreDC(dc_, state_);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

  private:
    HDC dc_;
    int state_;
};

// A bitmap of the target's format selected into a memory DC.
class MemoryCanvas {
  public:
    MemoryCanvas(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)) {
        if (dc_ && bitmap_)
            previous_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryCanvas() {
        if (previous_)
            SelectObject(dc_, previous_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    explicit operator bool() const { return previous_ != nullptr; }
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_ = nullptr;
};

void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    const HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

int CALLBACK onFontFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM wanted) {
    const auto* name = reinterpret_cast<const wchar_t*>(wanted);
    // Zero stops the enumeration: the family is there.
    return lstrcmpiW(font->lfFaceName, name) == 0 ? 0 : 1;
}

bool isFontFamilyInstalled(const wchar_t* name) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, name, LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    const int result =
        EnumFontFamiliesExW(screen, &query, &onFontFamily, reinterpret_cast<LPARAM>(name), 0);
    ReleaseDC(nullptr, screen);
    return result == 0;
}

BYTE screenCharset() {
    HDC screen = GetDC(nullptr);
    const int charset = GetTextCharset(screen);
    ReleaseDC(nullptr, screen);
    return charset == DEFAULT_CHARSET || charset < 0 ? DEFAULT_CHARSET : static_cast<BYTE>(charset);
}

bool readNonClientMetrics(int dpi, NONCLIENTMETRICSW& metrics) {
    metrics = {};
    metrics.cbSize = sizeof(metrics);
    // Windows 10 1607 on gives the metrics of the window's own monitor.
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    if (forDpi &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
        return true;
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE;
}

// The menu font's size, weight and slant with the screen's character set;
// western menu fonts give way to Tahoma, or MS Sans Serif where Tahoma is
// missing.
UniqueFont createHeaderFont(int dpi) {
    NONCLIENTMETRICSW metrics;
    if (!readNonClientMetrics(dpi, metrics))
        return nullptr;
    const LOGFONTW& menu = metrics.lfMenuFont;
    LOGFONTW font{};
    font.lfHeight = menu.lfHeight;
    font.lfWeight = menu.lfWeight;
    font.lfItalic = menu.lfItalic;
    font.lfCharSet = screenCharset();
    lstrcpynW(font.lfFaceName, menu.lfFaceName, LF_FACESIZE);
    if (menu.lfCharSet == ANSI_CHARSET || menu.lfCharSet == DEFAULT_CHARSET ||
        menu.lfCharSet == SYMBOL_CHARSET) {
        const wchar_t* face = isFontFamilyInstalled(L"Tahoma") ? L"Tahoma" : L"MS Sans Serif";
        lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    }
    return UniqueFont(CreateFontIndirectW(&font));
}

} // namespace

// ---------------------------------------------------------------------------
// ReportHeader

ReportHeader::~ReportHeader() {
    detach();
}

bool ReportHeader::attach(HWND header) {
    if (!header || hwnd_)
        return false;
    if (!SetWindowSubclass(header, &ReportHeader::subclassProc, kHeaderSubclassId,
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = header;
    dpi_ = shell::dpiOf(header);
    readSystemLook();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

void ReportHeader::detach() {
    if (!hwnd_)
        return;
    RemoveWindowSubclass(hwnd_, &ReportHeader::subclassProc, kHeaderSubclassId);
    hwnd_ = nullptr;
    pressed_ = false;
    columnUnderMouse_ = -1;
}

void ReportHeader::readSystemLook() {
    colors_.shadow = GetSysColor(COLOR_BTNSHADOW);
    colors_.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    colors_.text = GetSysColor(COLOR_BTNTEXT);
    font_ = createHeaderFont(dpi_);
}

LRESULT CALLBACK ReportHeader::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    // No exception may unwind through user32.
    try {
        return reinterpret_cast<ReportHeader*>(self)->handle(message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

LRESULT ReportHeader::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = hwnd_;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paintInfo;
        if (HDC dc = BeginPaint(window, &paintInfo)) {
            paint(dc);
            EndPaint(window, &paintInfo);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        trackMouse(lParam);
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_LBUTTONUP:
        pressed_ = false;
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_CAPTURECHANGED:
        // A button released outside the header, or the capture taken away.
        if (pressed_ && reinterpret_cast<HWND>(lParam) != window) {
            pressed_ = false;
            InvalidateRect(window, nullptr, FALSE);
        }
        break;
    case WM_MOUSEMOVE: {
        const int before = columnUnderMouse_;
        trackMouse(lParam);
        if (pressed_ && before != columnUnderMouse_)
            InvalidateRect(window, nullptr, FALSE);
        break;
    }
    case WM_SETCURSOR:
        if (hideResizeCursor()) {
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case kDpiChangedAfterParent:
        dpi_ = shell::dpiOf(window);
        font_ = createHeaderFont(dpi_);
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        detach();
        return DefSubclassProc(window, message, wParam, lParam);
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ReportHeader::trackMouse(LPARAM lParam) {
    HDHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SendMessageW(hwnd_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const bool onItem = (hit.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0;
    columnUnderMouse_ = onItem ? hit.iItem : -1;
}

bool ReportHeader::hideResizeCursor() const {
    if (lockedColumns_ <= 0)
        return false;
    HDHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(hwnd_, &hit.pt);
    SendMessageW(hwnd_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0 && isLocked(hit.iItem);
}

void ReportHeader::paint(HDC target) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    // Drawn off-screen and copied in one step, so the header never flickers.
    MemoryCanvas canvas(target, width, height);
    HDC dc = canvas ? canvas.dc() : target;
    SavedDcState state(dc);

    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colors_.text);
    const HFONT font =
        font_ ? font_.get() : reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (font)
        SelectObject(dc, font);

    const int count = Header_GetItemCount(hwnd_);
    LONG rightmost = client.left;
    for (int order = 0; order < count; ++order) {
        const int index = Header_OrderToIndex(hwnd_, order);
        RECT rect;
        if (!Header_GetItemRect(hwnd_, index, &rect))
            continue;
        rightmost = std::max(rightmost, rect.right);
        drawItem(dc, index, rect, pressed_ && index == columnUnderMouse_);
    }
    // The space right of the last column looks like one more, empty, item.
    if (rightmost < client.right)
        drawEdge(dc, {rightmost, client.top, client.right, client.bottom}, colors_.highlight,
                 colors_.shadow);

    if (canvas)
        BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void ReportHeader::drawItem(HDC dc, int index, RECT rect, bool sunken) const {
    if (sunken)
        drawEdge(dc, rect, colors_.shadow, colors_.shadow);
    else
        drawEdge(dc, rect, colors_.highlight, colors_.shadow);

    wchar_t text[260] = {};
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_TEXT | HDI_IMAGE | HDI_BITMAP;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    if (!Header_GetItem(hwnd_, index, &item))
        return;

    SavedDcState state(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    RECT content = rect;
    if (sunken)
        OffsetRect(&content, 1, 1);
    const int inset = shell::scaledForDpi(kHeaderTextInset, dpi_);
    const int contentHeight = content.bottom - content.top;
    RECT textRect{content.left + inset, content.top, content.right - inset, content.bottom};

    HIMAGELIST images = Header_GetImageList(hwnd_);
    if ((item.fmt & HDF_IMAGE) && images && item.iImage >= 0) {
        int imageWidth = 0;
        int imageHeight = 0;
        ImageList_GetIconSize(images, &imageWidth, &imageHeight);
        ImageList_Draw(images, item.iImage, dc, content.left + 1,
                       content.top + (contentHeight - imageHeight) / 2, ILD_TRANSPARENT);
        textRect.left = std::max<LONG>(textRect.left, content.left + 1 + imageWidth + inset);
    }
    BITMAP bitmap{};
    if ((item.fmt & HDF_BITMAP) && item.hbm && GetObjectW(item.hbm, sizeof(bitmap), &bitmap)) {
        const int y = content.top + (contentHeight - bitmap.bmHeight) / 2;
        if (item.fmt & HDF_BITMAP_ON_RIGHT) {
            const int x = textRect.right - bitmap.bmWidth;
            drawBitmap(dc, item.hbm, x, y, bitmap.bmWidth, bitmap.bmHeight);
            textRect.right = x - inset;
        } else {
            drawBitmap(dc, item.hbm, textRect.left, y, bitmap.bmWidth, bitmap.bmHeight);
            textRect.left += bitmap.bmWidth + inset;
        }
    }
    if (text[0] != L'\0')
        DrawTextW(dc, text, -1, &textRect, kHeaderTextFormat | textAlignment(item.fmt));
}

// ---------------------------------------------------------------------------
// ReportList

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
        row[i].style = CellStyle{defaultTextColor_, defaultBackColor_, -1};
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
                     Cell{{}, CellStyle{defaultTextColor_, defaultBackColor_, -1}});
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

void ReportList::setCellColors(int row, int column, COLORREF textColor, COLORREF backColor) {
    Cell* cell = cellAt(row, column);
    if (!cell)
        return;
    if (textColor != kKeepColor)
        cell->style.textColor = textColor;
    if (backColor != kKeepColor)
        cell->style.backColor = backColor;
    repaintRow(row);
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

void ReportList::setCellImage(int row, int column, int image) {
    if (Cell* cell = cellAt(row, column)) {
        cell->style.image = image;
        repaintRow(row);
    }
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
    return CellStyle{defaultTextColor_, defaultBackColor_, -1};
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
    case WM_NOTIFY: {
        // The header reports to the list, its parent, not to the dialog.
        const auto* notify = reinterpret_cast<const NMHDR*>(lParam);
        if (notify && notify->hwndFrom == header_.hwnd()) {
            if (const auto result = handleHeaderNotify(*notify))
                return *result;
        }
        break;
    }
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

std::optional<LRESULT> ReportList::handleHeaderNotify(const NMHDR& notify) {
    switch (notify.code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        // TRUE refuses the drag.
        if (header_.isLocked(reinterpret_cast<const NMHEADERW&>(notify).iItem))
            return TRUE;
        return std::nullopt;
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        // A double click on the divider would fit the column to its texts.
        if (header_.isLocked(reinterpret_cast<const NMHEADERW&>(notify).iItem))
            return 0;
        return std::nullopt;
    default:
        return std::nullopt;
    }
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
        default:
            return std::nullopt;
        }
    } catch (...) {
        return std::nullopt;
    }
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
    HIMAGELIST images = ListView_GetImageList(hwnd_, LVSIL_SMALL);
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
            cell ? cell->style : CellStyle{defaultTextColor_, defaultBackColor_, -1};
        fillSolid(dc, rect, selected ? selectedBackColor_ : style.backColor);
        if (text.empty())
            continue;

        RECT textRect = rect;
        if (style.image >= 0 && images) {
            const int offset = shell::scaledForDpi(kCellImageOffset, dpi_);
            ImageList_Draw(images, style.image, dc, rect.left + offset, rect.top + offset,
                           ILD_TRANSPARENT);
            textRect.left += shell::scaledForDpi(kCellImageTextInset, dpi_);
        } else {
            textRect.left += shell::scaledForDpi(kCellTextInset, dpi_);
        }
        LVCOLUMNW format{};
        format.mask = LVCF_FMT;
        ListView_GetColumn(hwnd_, column, &format);
        SetTextColor(dc, selected ? selectedTextColor_ : style.textColor);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  kCellTextFormat | textAlignment(format.fmt));
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
    if (item.mask & LVIF_IMAGE)
        item.iImage = cell ? cell->style.image : -1;
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
