// Painting helpers the plan list and its header share.
#pragma once

#include <windows.h>

namespace stake {

// Sent to child windows after a per-monitor DPI change (Windows 10 1703 on);
// the Windows 7 headers do not name it.
inline constexpr UINT kDpiChangedAfterParent = 0x02E3;

inline void fillSolid(HDC dc, const RECT& rect, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// A one-pixel frame just inside `rect`: top and left in one colour, right
// and bottom in the other.
inline void drawEdge(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    fillSolid(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    fillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    fillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    fillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

// The device context's state, saved for the scope.
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

} // namespace stake
