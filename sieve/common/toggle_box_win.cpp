#include "sieve/common/toggle_box_win.h"

#include "shell/app_win.h"
#include "shell/handles_win.h"

namespace sieve {
namespace {

// The raised frame's pens, one pixel wide at every DPI, shared by all tiles.
HPEN lightPen() {
    static const shell::Pen pen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    return pen.get();
}
HPEN darkPen() {
    static const shell::Pen pen(CreatePen(PS_SOLID, 1, RGB(100, 100, 100)));
    return pen.get();
}

} // namespace

ToggleBox::~ToggleBox() {
    if (window_ && IsWindow(window_))
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

bool ToggleBox::create(HWND parent, int id, const std::wstring& caption, const RECT& pixels,
                       bool enabled) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        // No CS_DBLCLKS: a double click is two presses and two releases,
        // so it flips the tile twice.
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = &ToggleBox::procedure;
        windowClass.hInstance = shell::instance();
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered)
        return false;
    handCursor_ = LoadCursorW(nullptr, IDC_HAND);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (!enabled)
        style |= WS_DISABLED;
    window_ =
        CreateWindowExW(WS_EX_NOPARENTNOTIFY, kClassName, caption.c_str(), style, pixels.left,
                        pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), shell::instance(), this);
    return window_ != nullptr;
}

void ToggleBox::setTicked(int value) {
    ticked_ = value != 0 ? 1 : 0;
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK ToggleBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<ToggleBox*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ToggleBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ToggleBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool enabled = IsWindowEnabled(window_) != FALSE;
    switch (message) {
    case WM_LBUTTONDOWN:
        if (enabled)
            InvalidateRect(window_, nullptr, FALSE);
        break;
    case WM_LBUTTONUP:
        if (enabled) {
            ticked_ = 1 - ticked_;
            InvalidateRect(window_, nullptr, FALSE);
            // The parent hears of the click once the tile has flipped.
            SendMessageW(GetParent(window_), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window_));
        }
        break;
    case BM_GETCHECK:
        return ticked_ != 0 ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        setTicked(wParam == BST_CHECKED ? 1 : 0);
        return 0;
    case WM_SETCURSOR:
        if (enabled) {
            SetCursor(handCursor_);
            return TRUE;
        }
        break;
    case WM_ENABLE: {
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        InvalidateRect(window_, nullptr, FALSE);
        return result;
    }
    case WM_ERASEBKGND:
        return 1; // painting covers the whole tile
    case WM_PAINT:
        paint();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void ToggleBox::paint() {
    const shell::PaintDc paintDc(window_);
    const HDC dc = paintDc.get();
    RECT client;
    GetClientRect(window_, &client);
    const bool enabled = IsWindowEnabled(window_) != FALSE;

    const auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
    const shell::Selection fontSelection(dc, font ? static_cast<HGDIOBJ>(font) : nullptr);

    const COLORREF fill = ticked_ == 0 ? untickedColor_
                          : enabled    ? tickedColor_
                                       : disabledTickedColor_;
    SetBkColor(dc, fill);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

    // The raised one-pixel frame.
    {
        const shell::Selection penSelection(dc, lightPen());
        MoveToEx(dc, client.left, client.bottom - 1, nullptr);
        LineTo(dc, client.left, client.top);
        LineTo(dc, client.right - 1, client.top);
        SelectObject(dc, darkPen());
        LineTo(dc, client.right - 1, client.bottom - 1);
        LineTo(dc, client.left - 1, client.bottom - 1);
    }

    wchar_t caption[32] = {};
    GetWindowTextW(window_, caption, 32);
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX;
    if (enabled) {
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTextW(dc, caption, -1, &client, format);
    } else {
        // Engraved: dark, then light one pixel right and down.
        SetTextColor(dc, RGB(100, 100, 100));
        DrawTextW(dc, caption, -1, &client, format);
        RECT shifted = client;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, RGB(200, 200, 200));
        DrawTextW(dc, caption, -1, &shifted, format);
    }
}

} // namespace sieve
