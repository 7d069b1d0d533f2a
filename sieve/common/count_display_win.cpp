#include "sieve/common/count_display_win.h"

#include "shell/dpi_win.h"

#include <commctrl.h>

namespace sieve {
namespace {

constexpr UINT_PTR kSubclassId = 0x5C0;

} // namespace

CountDisplay::~CountDisplay() {
    if (window_ && IsWindow(window_))
        RemoveWindowSubclass(window_, &CountDisplay::procedure, kSubclassId);
}

void CountDisplay::attach(HWND staticControl) {
    window_ = staticControl;
    SetWindowSubclass(window_, &CountDisplay::procedure, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

void CountDisplay::setText(const std::wstring& text) {
    text_ = text;
    if (!window_)
        return;
    SetWindowTextW(window_, text_.c_str());
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK CountDisplay::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    switch (message) {
    case WM_PAINT:
        reinterpret_cast<CountDisplay*>(self)->paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // painting covers the whole box
    case WM_SETTEXT:
        // The static would draw the new text itself, in black, at once; only
        // store it, and let our own painting show it.
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &CountDisplay::procedure, kSubclassId);
        reinterpret_cast<CountDisplay*>(self)->window_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The font for the window's present DPI, made again only when that changes.
HFONT CountDisplay::font() {
    const int dpi = shell::dpiOf(window_);
    if (!font_ || fontDpi_ != dpi) {
        LOGFONTW face{};
        face.lfHeight = -MulDiv(pointSize_, dpi, 720);
        face.lfWeight = FW_NORMAL;
        face.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(face.lfFaceName, L"Arial Black", LF_FACESIZE);
        font_.reset(CreateFontIndirectW(&face));
        fontDpi_ = dpi;
    }
    return font_.get();
}

// Drawn off screen and copied in one go, so that a count changing at every
// click does not flicker.
void CountDisplay::paint() {
    const shell::PaintDc target(window_);
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    const shell::MemoryDc dc(CreateCompatibleDC(target.get()));
    const shell::Bitmap bitmap(CreateCompatibleBitmap(target.get(), width, height));
    const shell::Selection bitmapSelection(dc.get(), bitmap.get());

    SetTextColor(dc.get(), textColor_);
    SetBkMode(dc.get(), TRANSPARENT);
    const shell::Selection fontSelection(dc.get(), font());
    FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!text_.empty())
        DrawTextW(dc.get(), text_.c_str(), static_cast<int>(text_.size()), &client,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    BitBlt(target.get(), 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
}

} // namespace sieve
