// The column header of the calculators' plan list: drawn off-screen in one
// step, raised items, the pressed column sunken, and the space right of the
// last column drawn as one more, empty, item. ReportList attaches it.
#pragma once

#include "shell/handles_win.h"

#include <windows.h>

namespace stake {

class ReportHeader {
  public:
    ReportHeader() = default;
    ~ReportHeader();
    ReportHeader(const ReportHeader&) = delete;
    ReportHeader& operator=(const ReportHeader&) = delete;

    bool attach(HWND header);
    void detach();
    HWND hwnd() const { return hwnd_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC target) const;
    void drawItem(HDC dc, int index, RECT rect, bool sunken) const;
    void trackMouse(LPARAM lParam);
    void readSystemLook();

    // Read once, when the header is taken over; the face is the system brush.
    struct Colors {
        COLORREF shadow = 0;
        COLORREF highlight = 0;
        COLORREF text = 0;
    };

    HWND hwnd_ = nullptr;
    bool pressed_ = false;
    int columnUnderMouse_ = -1;
    int dpi_ = 96;
    Colors colors_;
    // Made for the header's DPI, again when that changes.
    shell::Font font_;
};

} // namespace stake
