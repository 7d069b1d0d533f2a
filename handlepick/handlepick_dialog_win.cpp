#include "handlepick/handlepick_dialog_win.h"

#include "handlepick/handlepick_rules.h"
#include "handlepick/resource.h"

#include "shell/app_win.h"
#include "shell/clipboard_win.h"
#include "shell/dialog_win.h"
#include "shell/dpi_win.h"
#include "shell/field_exchange_win.h"
#include "shell/handles_win.h"
#include "shell/strconv_win.h"
#include "shell/window_text_win.h"

#include <commctrl.h>

#include <iterator>
#include <optional>
#include <string>

namespace {

using namespace handlepick;

constexpr UINT_PTR kOutlineTimer = 1;
// Takes the outline away again; a timer rather than a pause, so that the
// picker keeps answering while the button is held.
constexpr UINT_PTR kEraseTimer = 2;
constexpr UINT kOutlinePeriodMs = 600;
constexpr UINT kOutlineShownMs = 400;
constexpr COLORREF kOutlineColour = RGB(125, 0, 125);
constexpr int kOutlineWidth = 3; // pixels at 96 DPI
constexpr int kIconSize = 32;    // pixels at 96 DPI
// A window that has not answered a text request by then is taken as silent,
// so that a hung program cannot freeze the picker.
constexpr UINT kTextAnswerMs = 1000;
constexpr wchar_t kCopied[] = L"已复制到粘贴板!";

HWND toHandle(WindowId window) {
    return reinterpret_cast<HWND>(window);
}
WindowId toId(HWND window) {
    return reinterpret_cast<WindowId>(window);
}

class ScreenWindows final : public WindowTree {
  public:
    WindowId windowAt(ScreenPoint point) const override {
        return toId(WindowFromPoint(POINT{point.x, point.y}));
    }
    WindowId firstChild(WindowId window) const override {
        return toId(GetWindow(toHandle(window), GW_CHILD));
    }
    WindowId nextSibling(WindowId window) const override {
        return toId(GetWindow(toHandle(window), GW_HWNDNEXT));
    }
    std::optional<ScreenRect> windowRect(WindowId window) const override {
        RECT rect;
        if (!GetWindowRect(toHandle(window), &rect))
            return std::nullopt;
        return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
    }
};

class OtherWindowText final : public WindowTextSource {
  public:
    std::optional<long long> textLength(WindowId window) const override {
        DWORD_PTR answer = 0;
        if (!ask(window, WM_GETTEXTLENGTH, 0, 0, answer))
            return std::nullopt;
        return static_cast<long long>(static_cast<LRESULT>(answer));
    }
    std::optional<std::wstring> text(WindowId window, std::size_t capacity) const override {
        // Zero-filled, so whatever the window writes or leaves out, the
        // text ends inside the buffer.
        std::wstring buffer(capacity, L'\0');
        DWORD_PTR answer = 0;
        if (!ask(window, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer.data()), answer))
            return std::nullopt;
        if (!buffer.empty())
            buffer.pop_back();
        return buffer;
    }
    std::wstring caption(WindowId window) const override {
        wchar_t caption[kCaptionLimit + 1] = {};
        GetWindowTextW(toHandle(window), caption, static_cast<int>(std::size(caption)));
        return caption;
    }

  private:
    static bool ask(WindowId window, UINT message, WPARAM wParam, LPARAM lParam,
                    DWORD_PTR& answer) {
        return SendMessageTimeoutW(toHandle(window), message, wParam, lParam,
                                   SMTO_BLOCK | SMTO_ABORTIFHUNG, kTextAnswerMs, &answer) != 0;
    }
};

shell::Icon loadIcon(int id, int dpi) {
    const int size = shell::scaledForDpi(kIconSize, dpi);
    return shell::Icon(static_cast<HICON>(
        LoadImageW(shell::instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

// The outline of a window on the whole screen, drawn so that drawing it a
// second time restores what was there.
void drawOutline(const RECT& rect, int penWidth) {
    const shell::WindowDc screen(GetDesktopWindow(), shell::WindowDc::Area::whole);
    if (!screen)
        return;
    const int oldMode = SetROP2(screen.get(), R2_NOTXORPEN);
    {
        const shell::Pen pen(CreatePen(PS_SOLID, penWidth, kOutlineColour));
        const shell::Selection outlinePen(screen.get(), pen.get());
        const shell::Selection noFill(screen.get(), GetStockObject(NULL_BRUSH));
        Rectangle(screen.get(), rect.left, rect.top, rect.right, rect.bottom);
    }
    SetROP2(screen.get(), oldMode);
}

WindowId windowUnderCursor() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return windowUnder(ScreenWindows{}, ScreenPoint{cursor.x, cursor.y});
}

// The pointer icon: pressing the left button on it starts a drag that ends
// where the button is released, wherever that is.
class PickerIcon {
  public:
    class Listener {
      public:
        virtual void dragStarted() = 0;
        // `released` is false when another window took the mouse away.
        virtual void dragEnded(bool released) = 0;

      protected:
        ~Listener() = default;
    };

    PickerIcon() = default;
    ~PickerIcon() { detach(); }
    PickerIcon(const PickerIcon&) = delete;
    PickerIcon& operator=(const PickerIcon&) = delete;

    void attach(HWND picture, Listener& listener, int dpi) {
        picture_ = picture;
        listener_ = &listener;
        restIcon_ = loadIcon(IDI_PICKER, dpi);
        dragIcon_ = loadIcon(IDI_PICKER_EMPTY, dpi);
        dragCursor_ =
            static_cast<HCURSOR>(LoadImageW(shell::instance(), MAKEINTRESOURCEW(IDC_PICKER_CURSOR),
                                            IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        showIcon(restIcon_.get());
        SetWindowSubclass(picture_, &PickerIcon::procedure, 0, reinterpret_cast<DWORD_PTR>(this));
    }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
        auto* icon = reinterpret_cast<PickerIcon*>(self);
        // No exception may unwind through user32.
        try {
            if (icon->handle(message))
                return 0;
        } catch (...) {
            return 0;
        }
        if (message == WM_NCDESTROY)
            icon->detach();
        return DefSubclassProc(window, message, wParam, lParam);
    }

    bool handle(UINT message) {
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: // a quick second press starts a drag too
            SetCapture(picture_);
            SetCursor(dragCursor_);
            showIcon(dragIcon_.get());
            dragging_ = true;
            listener_->dragStarted();
            return true;
        case WM_MOUSEMOVE:
            if (dragging_)
                SetCursor(dragCursor_);
            return dragging_;
        case WM_LBUTTONUP:
            if (!dragging_)
                return false;
            endDrag();
            ReleaseCapture();
            listener_->dragEnded(true);
            return true;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a system key, a window that
            // popped up): the release will never come here.
            if (!dragging_)
                return false;
            endDrag();
            listener_->dragEnded(false);
            return true;
        default:
            return false;
        }
    }

    void endDrag() {
        dragging_ = false;
        showIcon(restIcon_.get());
    }
    void showIcon(HICON icon) const {
        SendMessageW(picture_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    void detach() {
        if (picture_)
            RemoveWindowSubclass(picture_, &PickerIcon::procedure, 0);
        picture_ = nullptr;
    }

    HWND picture_ = nullptr;
    Listener* listener_ = nullptr;
    shell::Icon restIcon_;
    shell::Icon dragIcon_;
    HCURSOR dragCursor_ = nullptr;
    bool dragging_ = false;
};

class HandlePickDialog final : public shell::MainDialog, private PickerIcon::Listener {
  public:
    HandlePickDialog() : MainDialog(IDD_HANDLEPICK) {}

  private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onOK() override {} // Enter neither picks nor closes.
    void onCancel() override;
    std::optional<INT_PTR> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void dragStarted() override;
    void dragEnded(bool released) override;

    void exchangeChecks(shell::FieldExchange::Direction direction);
    void applyTopmost(bool topmost) const;
    void outline();
    void eraseOutline();
    void stopOutline();
    void pick();
    void copyHandle();

    PickerIcon picker_;
    WindowId pickedWindow_ = 0;
    bool alwaysOnTop_ = true;
    bool autoCopy_ = true;
    bool hexHandle_ = false;
    std::optional<RECT> shownOutline_;
};

BOOL HandlePickDialog::onInit() {
    picker_.attach(item(IDC_PICKER), *this, shell::dpiOf(hwnd()));
    exchangeChecks(shell::FieldExchange::Direction::toControls);
    applyTopmost(true);
    return TRUE;
}

void HandlePickDialog::exchangeChecks(shell::FieldExchange::Direction direction) {
    shell::FieldExchange(hwnd(), direction)
        .check(IDX_ALWAYS_ON_TOP, alwaysOnTop_)
        .check(IDX_AUTO_COPY, autoCopy_)
        .check(IDX_HEX_HANDLE, hexHandle_);
}

void HandlePickDialog::applyTopmost(bool topmost) const {
    SetWindowPos(hwnd(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void HandlePickDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDX_ALWAYS_ON_TOP:
        exchangeChecks(shell::FieldExchange::Direction::fromControls);
        applyTopmost(alwaysOnTop_);
        break;
    case IDX_AUTO_COPY:
    case IDX_HEX_HANDLE:
        exchangeChecks(shell::FieldExchange::Direction::fromControls);
        break;
    case IDC_COPY:
        copyHandle();
        break;
    default:
        break;
    }
}

std::optional<INT_PTR> HandlePickDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_TIMER)
        return std::nullopt;
    if (wParam == kOutlineTimer) {
        outline();
        return TRUE;
    }
    if (wParam == kEraseTimer) {
        KillTimer(hwnd(), kEraseTimer);
        eraseOutline();
        return TRUE;
    }
    return std::nullopt;
}

void HandlePickDialog::dragStarted() {
    SetTimer(hwnd(), kOutlineTimer, kOutlinePeriodMs, nullptr);
}

void HandlePickDialog::dragEnded(bool released) {
    stopOutline();
    if (released)
        pick();
}

// Esc during a drag must not leave an outline on the screen.
void HandlePickDialog::onCancel() {
    stopOutline();
    end(IDCANCEL);
}

void HandlePickDialog::stopOutline() {
    KillTimer(hwnd(), kOutlineTimer);
    KillTimer(hwnd(), kEraseTimer);
    eraseOutline();
}

void HandlePickDialog::outline() {
    eraseOutline();
    pickedWindow_ = windowUnderCursor();
    RECT rect;
    if (!GetWindowRect(toHandle(pickedWindow_), &rect))
        return;
    const ScreenRect edge = outlineRect(ScreenRect{rect.left, rect.top, rect.right, rect.bottom});
    rect = RECT{edge.left, edge.top, edge.right, edge.bottom};
    drawOutline(rect, shell::scaledForDpi(kOutlineWidth, shell::dpiOf(hwnd())));
    shownOutline_ = rect;
    SetTimer(hwnd(), kEraseTimer, kOutlineShownMs, nullptr);
}

void HandlePickDialog::eraseOutline() {
    if (!shownOutline_)
        return;
    drawOutline(*shownOutline_, shell::scaledForDpi(kOutlineWidth, shell::dpiOf(hwnd())));
    shownOutline_.reset();
}

void HandlePickDialog::pick() {
    pickedWindow_ = windowUnderCursor();
    const std::string handle = handleText(pickedWindow_, hexHandle_);
    SetDlgItemTextW(hwnd(), IDC_HANDLE, shell::widen(handle).c_str());
    if (autoCopy_)
        shell::copyTextToClipboard(hwnd(), handle);
    SetDlgItemTextW(hwnd(), IDC_WINDOW_TEXT, windowText(OtherWindowText{}, pickedWindow_).c_str());
}

void HandlePickDialog::copyHandle() {
    if (shell::copyTextToClipboard(hwnd(),
                                   shell::toCodePage936(shell::windowText(item(IDC_HANDLE)))))
        showMessage(kCopied);
    else
        shell::showCopyFailure(hwnd());
}

} // namespace

void runHandlePickDialog() {
    HandlePickDialog dialog;
    dialog.runModal(nullptr);
}
