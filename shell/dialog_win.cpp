#include "shell/dialog_win.h"

#include "shell/app_win.h"
#include "shell/handles_win.h"
#include "shell/shell_resources.h"

#include <windowsx.h>

namespace shell {

INT_PTR Dialog::runModal(HWND owner) {
    return DialogBoxParamW(instance(), MAKEINTRESOURCEW(templateId_), owner, &Dialog::procedure,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::showMessage(const std::wstring& text) const {
    shell::showMessage(hwnd_, text);
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self)
        return FALSE;
    // No exception may unwind through user32.
    try {
        return self->dispatch(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        beforeInit();
        return onInit();
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (id == IDOK) {
            onOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            onCancel();
            return TRUE;
        }
        onCommand(id, code, control);
        return TRUE;
    }
    case WM_NOTIFY:
        if (const auto result = onNotify(*reinterpret_cast<const NMHDR*>(lParam))) {
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *result);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        return onSysCommand(wParam) ? TRUE : FALSE;
    case WM_CONTEXTMENU:
        onContextMenu(reinterpret_cast<HWND>(wParam),
                      POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    case WM_PAINT:
        if (paintMinimised())
            return TRUE;
        break;
    case WM_QUERYDRAGICON:
        if (minimisedIcon_) {
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(minimisedIcon_));
            return TRUE;
        }
        break;
    default:
        break;
    }
    if (const auto result = onMessage(message, wParam, lParam))
        return *result;
    return FALSE;
}

bool Dialog::paintMinimised() {
    if (!minimisedIcon_ || !IsIconic(hwnd_))
        return false;
    const PaintDc paint(hwnd_);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.get(), x, y, minimisedIcon_);
    return true;
}

void MainDialog::beforeInit() {
    noteMainWindowOpened();
    if (traits_.aboutItem) {
        HMENU systemMenu = GetSystemMenu(hwnd(), FALSE);
        wchar_t text[256] = {};
        if (systemMenu && LoadStringW(instance(), IDS_ABOUTBOX, text, 256) > 0) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
        }
    }
    const auto icon = [](int widthMetric, int heightMetric) {
        return static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                             IMAGE_ICON, GetSystemMetrics(widthMetric),
                                             GetSystemMetrics(heightMetric), LR_SHARED));
    };
    minimisedIcon_ = icon(SM_CXICON, SM_CYICON);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(minimisedIcon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon(SM_CXSMICON, SM_CYSMICON)));
}

bool MainDialog::onSysCommand(WPARAM command) {
    if (traits_.aboutItem && (command & 0xFFF0) == IDM_ABOUTBOX) {
        Dialog about(IDD_ABOUTBOX);
        about.runModal(hwnd());
        return true;
    }
    return false;
}

} // namespace shell
