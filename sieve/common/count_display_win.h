// The large red count of every filter dialog: a subclass of the dialog's
// count static that keeps its position and size and paints only the text,
// in 12-point "Arial Black", centred on white.
#pragma once

#include "shell/handles_win.h"

#include <windows.h>

#include <string>

namespace sieve {

class CountDisplay {
  public:
    CountDisplay() = default;
    ~CountDisplay();
    CountDisplay(const CountDisplay&) = delete;
    CountDisplay& operator=(const CountDisplay&) = delete;

    // Binds to the static control; painting is ours from now on.
    void attach(HWND staticControl);
    // Stores the text (also as the static's window text, so that it can be
    // read back) and repaints the whole box.
    void setText(const std::wstring& text);
    void setCount(int count) { setText(std::to_wstring(count)); }
    const std::wstring& text() const { return text_; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    void paint();
    HFONT font();

    HWND window_ = nullptr;
    std::wstring text_;
    COLORREF textColor_ = RGB(255, 0, 0);
    int pointSize_ = 120; // tenths of a point
    shell::Font font_;
    int fontDpi_ = 0;
};

} // namespace sieve
