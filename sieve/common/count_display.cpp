#include "sieve/common/count_display.h"

#include "shell/dpi.h"

#include <commctrl.h>

namespace sieve {
namespace {

constexpr UINT_PTR kSubclassId = 0x5C0;

// GDI objects released on every path out of painting.
struct GdiObject {
    HGDIOBJ handle;
    ~GdiObject() {
        if (handle)
            DeleteObject(handle);
    }
};

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

// Drawn off screen and copied in one go, so that a count changing at every
// click does not flicker.
void CountDisplay::paint() {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(window_, &ps);
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    HDC dc = CreateCompatibleDC(target);
    GdiObject bitmap{CreateCompatibleBitmap(target, width, height)};
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap.handle);

    SetTextColor(dc, textColor_);
    SetBkMode(dc, TRANSPARENT);
    LOGFONTW face{};
    face.lfHeight = -MulDiv(pointSize_, shell::dpiOf(window_), 720);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(face.lfFaceName, L"Arial Black", LF_FACESIZE);
    GdiObject font{CreateFontIndirectW(&face)};
    HGDIOBJ oldFont = SelectObject(dc, font.handle);
    GdiObject white{CreateSolidBrush(RGB(255, 255, 255))};
    FillRect(dc, &client, static_cast<HBRUSH>(white.handle));
    if (!text_.empty())
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    EndPaint(window_, &ps);
}

} // namespace sieve
