// handlepick (外接句柄) driven with the real pointer: xdotool drags the pointer
// icon onto another program's windows (Wine's virtual desktop sits at the X
// root's origin, so their screen rectangles are where xdotool goes).
#include "harness.h"

#include "handlepick/resource.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace {

using namespace gui;

constexpr char kUntouched[] = "picker-test: not copied";
// The windows picked are those of sieve3 started without a host: its
// button 重置, and 出图, disabled.
constexpr int kReset = 1001, kHandOff = 1003;

std::string handleText(HWND window, const char* format = "%d") {
    char text[16];
    std::snprintf(text, sizeof text, format,
                  static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}
POINT centre(HWND window) {
    const RECT r = screenRect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class HandlepickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tool_ = Process::startCopy(L"handlepick.exe", folder_);
        ASSERT_NE(dialog_ = waitForMainDialog(tool_.id()), nullptr) << "the dialog did not show";
    }
    void TearDown() override { runX11Command({"xdotool", "mouseup", "1"}); }

    // Another tool's dialog to pick from (started once), at the bottom right
    // of the screen, clear of the picker, or across its left edge.
    HWND placeTarget(bool acrossTheLeftEdge = false) {
        if (!target_)
            target_ = Process::startCopy(L"sieve3.exe", folder_);
        const HWND target = waitForMainDialog(target_.id());
        RECT screen, window = screenRect(target);
        GetWindowRect(GetDesktopWindow(), &screen);
        const LONG width = window.right - window.left, height = window.bottom - window.top;
        SetWindowPos(target, nullptr, acrossTheLeftEdge ? -width / 8 : screen.right - width,
                     screen.bottom - height, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(target, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return target;
    }
    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    bool shows(HWND window, const char* format = "%d") const {
        return waitUntil([&] { return text(IDC_HANDLE) == handleText(window, format); });
    }
    // The button pressed on the icon, the pointer moved to `to` by way of
    // a point halfway, and released there for a drop.
    void drag(POINT to, bool drop = true) const {
        const POINT from = centre(control(dialog_, IDC_PICKER));
        std::ostringstream line;
        line << "xdotool mousemove " << from.x << ' ' << from.y
             << " mousedown 1 sleep 0.1 mousemove " << (from.x + to.x) / 2 << ' '
             << (from.y + to.y) / 2 << " sleep 0.1 mousemove " << to.x << ' ' << to.y
             << " sleep 0.1" << (drop ? " mouseup 1" : "");
        std::istringstream words(line.str());
        ASSERT_TRUE(runX11Command({std::istream_iterator<std::string>(words), {}}));
    }
    bool topmost() const { return (GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    TempFolder folder_{L"handlepick"};
    Process tool_, target_;
    HWND dialog_ = nullptr;
};

// A drop on a button shows its handle and text and copies the handle; with
// 十六进制 ticked and 自动复制 unticked, a disabled button is found below its
// parent, in hexadecimal, and the clipboard keeps its text; a hung window
// shows the caption the system keeps for it, and the picker still answers.
TEST_F(HandlepickTest, PickByDraggingClicks) {
    const HWND target = placeTarget();
    const HWND reset = control(target, kReset), handOff = control(target, kHandOff);
    ASSERT_TRUE(setClipboardText(kUntouched));
    drag(centre(reset));
    EXPECT_TRUE(shows(reset)) << text(IDC_HANDLE);
    EXPECT_EQ(text(IDC_WINDOW_TEXT), "重置");
    EXPECT_EQ(clipboardText(), handleText(reset));

    ASSERT_TRUE(setClipboardText(kUntouched));
    setCheckBox(dialog_, IDX_HEX_HANDLE, true);
    setCheckBox(dialog_, IDX_AUTO_COPY, false);
    ASSERT_TRUE(flush(dialog_));
    ASSERT_EQ(WindowFromPoint(centre(handOff)), target) << "the system's own answer is the parent";
    drag(centre(handOff));
    EXPECT_TRUE(shows(handOff, "%X")) << text(IDC_HANDLE);
    EXPECT_EQ(text(IDC_WINDOW_TEXT), "出图");
    EXPECT_EQ(clipboardText(), kUntouched);

    const HANDLE thread =
        OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(target, nullptr));
    ASSERT_NE(SuspendThread(thread), static_cast<DWORD>(-1)) << "sieve3 could not be stopped";
    drag(centre(reset));
    EXPECT_TRUE(shows(reset, "%X")) << text(IDC_HANDLE);
    EXPECT_TRUE(flush(dialog_)) << "the picker stopped answering";
    EXPECT_EQ(text(IDC_WINDOW_TEXT), "重置");
    ResumeThread(thread);
    CloseHandle(thread);
}

// While the icon is dragged, the window under the pointer flashes an
// outline, cut at the screen's edge; nothing stays behind.
TEST_F(HandlepickTest, OutlineWhileDraggingClicks) {
    for (const bool acrossTheLeftEdge : {false, true}) {
        const HWND target = placeTarget(acrossTheLeftEdge);
        const RECT window = screenRect(target);
        const POINT edge =
            window.left < 0 ? POINT{0, centre(target).y} : POINT{centre(target).x, window.top};
        const auto now = [&] { return screenPixel(edge.x, edge.y); };
        const COLORREF before = now();
        // What the not-XOR pen of the outline, RGB(125, 0, 125), makes of it.
        const COLORREF outlined = RGB(255 - (125 ^ GetRValue(before)), 255 - GetGValue(before),
                                      255 - (125 ^ GetBValue(before)));
        drag({window.right - 200, window.top + 8}, false); // on the caption
        EXPECT_TRUE(waitUntil([&] { return now() == outlined; })) << "no outline";
        EXPECT_TRUE(waitUntil([&] { return now() == before; })) << "the outline stays";
        ASSERT_TRUE(runX11Command({"xdotool", "mouseup", "1"}));
        EXPECT_TRUE(shows(target));
        EXPECT_EQ(now(), before) << "the outline was left on the screen";
    }
}

TEST_F(HandlepickTest, AlwaysOnTopSwitchesInPlace) {
    EXPECT_TRUE(topmost() && isChecked(dialog_, IDX_ALWAYS_ON_TOP));
    EXPECT_TRUE(isChecked(dialog_, IDX_AUTO_COPY) && !isChecked(dialog_, IDX_HEX_HANDLE));
    const RECT place = screenRect(dialog_);
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, false);
    EXPECT_TRUE(waitUntil([&] { return !topmost(); })) << "still topmost";
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, true);
    EXPECT_TRUE(waitUntil([&] { return topmost(); })) << "not topmost again";
    const RECT now = screenRect(dialog_);
    EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved";
}

// 复制 copies the handle box as the user edited it, in code page 936; while
// another program holds the clipboard, it says that it could not.
TEST_F(HandlepickTest, CopyBytes) {
    const std::wstring edited = wide("句柄 12345");
    ASSERT_TRUE(setControlText(dialog_, IDC_HANDLE, edited));
    for (const bool held : {false, true}) {
        ASSERT_TRUE(setClipboardText(kUntouched));
        std::optional<ClipboardHold> hold;
        if (held)
            hold.emplace();
        clickButton(dialog_, IDC_COPY);
        const auto box = answerMessageBox(dialog_);
        hold.reset();
        ASSERT_TRUE(box) << "复制 showed no message";
        EXPECT_EQ(utf8(box->title), "handlepick");
        EXPECT_EQ(utf8(box->text), held ? kCopyFailedText : "已复制到粘贴板!");
        EXPECT_EQ(clipboardText(), held ? kUntouched : codePage936(edited));
    }
}

} // namespace
