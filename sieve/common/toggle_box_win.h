// The coloured tile that stands for a criterion box in the four- and
// five-digit filters: a plain child window that paints itself, flips between
// ticked and unticked on every release of the left button, shows its state
// by its fill and then tells its parent with WM_COMMAND BN_CLICKED, as a
// check box does. It knows nothing of the filter: the dialog reads and sets
// the state with BM_GETCHECK and BM_SETCHECK and enables or disables the
// tile.
#pragma once

#include <windows.h>

#include <string>

namespace sieve {

class ToggleBox {
  public:
    ToggleBox() = default;
    ~ToggleBox();
    ToggleBox(const ToggleBox&) = delete;
    ToggleBox& operator=(const ToggleBox&) = delete;

    // Creates the visible child window with a tab stop at `pixels` of the
    // parent's client area.
    bool create(HWND parent, int id, const std::wstring& caption, const RECT& pixels, bool enabled);

    HWND hwnd() const { return window_; }

    static constexpr const wchar_t* kClassName = L"TrendToggleBox";

  private:
    // Stores the state and repaints the whole tile.
    void setTicked(int value);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND window_ = nullptr;
    int ticked_ = 0;
    COLORREF tickedColor_ = RGB(255, 0, 0);
    COLORREF untickedColor_ = RGB(200, 200, 200);
    COLORREF disabledTickedColor_ = RGB(255, 100, 100);
    HCURSOR handCursor_ = nullptr;
};

} // namespace sieve
