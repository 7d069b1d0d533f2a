#include "stake/common/report_header_win.h"

#include "stake/common/report_paint_win.h"

#include "shell/dpi_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace stake {
namespace {

constexpr UINT_PTR kHeaderSubclassId = 0x5250'4831;
// Inset in pixels at 96 DPI.
constexpr int kHeaderTextInset = 5;
constexpr UINT kHeaderTextFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

// Header item formats and list-view column formats share their alignment bits.
UINT textAlignment(int format) {
    switch (format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        return DT_RIGHT;
    case HDF_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

// A bitmap of the target's format selected into a memory DC.
class MemoryCanvas {
  public:
    MemoryCanvas(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)),
          selection_(dc_.get(), bitmap_.get()) {}

    explicit operator bool() const { return dc_ && bitmap_; }
    HDC dc() const { return dc_.get(); }

  private:
    shell::MemoryDc dc_;
    shell::Bitmap bitmap_;
    // Declared last: the bitmap is selected out before either goes.
    shell::Selection selection_;
};

int CALLBACK onFontFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM wanted) {
    const auto* name = reinterpret_cast<const wchar_t*>(wanted);
    // Zero stops the enumeration: the family is there.
    return lstrcmpiW(font->lfFaceName, name) == 0 ? 0 : 1;
}

bool isFontFamilyInstalled(const wchar_t* name) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, name, LF_FACESIZE);
    const shell::WindowDc screen(nullptr);
    return EnumFontFamiliesExW(screen.get(), &query, &onFontFamily,
                               reinterpret_cast<LPARAM>(name), 0) == 0;
}

BYTE screenCharset() {
    const shell::WindowDc screen(nullptr);
    const int charset = GetTextCharset(screen.get());
    return charset == DEFAULT_CHARSET || charset < 0 ? DEFAULT_CHARSET : static_cast<BYTE>(charset);
}

// The menu font's size, weight and slant with the screen's character set;
// western menu fonts give way to Tahoma, or MS Sans Serif where Tahoma is
// missing.
shell::Font createHeaderFont(int dpi) {
    NONCLIENTMETRICSW metrics;
    if (!shell::readNonClientMetrics(dpi, metrics))
        return {};
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
    return shell::Font(CreateFontIndirectW(&font));
}

} // namespace

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
        const shell::PaintDc dc(window);
        if (dc.get())
            paint(dc.get());
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
    item.mask = HDI_FORMAT | HDI_TEXT;
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
    RECT textRect{content.left + inset, content.top, content.right - inset, content.bottom};

    if (text[0] != L'\0')
        DrawTextW(dc, text, -1, &textRect, kHeaderTextFormat | textAlignment(item.fmt));
}

} // namespace stake
