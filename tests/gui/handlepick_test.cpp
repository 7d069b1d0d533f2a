// handlepick (外接句柄) driven with the real pointer: xdotool presses the left
// button on the pointer icon, drags it and releases it over a window of the
// test's own, whose place on the screen is where xdotool goes (Wine's virtual
// desktop sits at the X root's origin).
#include "harness.h"

#include "handlepick/resource.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

using namespace gui;
using namespace std::chrono_literals;

constexpr char kButtonText[] = "目标按钮";
constexpr char kDisabledText[] = "停用的输入框";
constexpr char kUntouched[] = "picker-test: not copied";

std::string handleText(HWND window, bool hex = false) {
    const auto low = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
    char text[16];
    std::snprintf(text, sizeof text, hex ? "%X" : "%d", low);
    return text;
}
POINT centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
COLORREF pixel(POINT p) { return screenPixel(p.x, p.y); }
// What the not-XOR pen of the outline, RGB(125, 0, 125), leaves on a colour.
COLORREF outlined(COLORREF under) {
    return RGB(255 - (125 ^ GetRValue(under)), 255 - GetGValue(under), 255 - (125 ^ GetBValue(under)));
}

// A window of the test with a button and, below it, a disabled edit box, run
// by a thread of its own; a hung one never takes a message once shown.
class TargetWindow {
  public:
    TargetWindow(RECT place, bool hung) {
        std::promise<void> shown;
        thread_ = std::thread([&, hung] {
            thread_id_ = GetCurrentThreadId();
            window_ = CreateWindowExW(0, L"#32770", L"拾取目标窗口", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                      place.left, place.top, place.right - place.left,
                                      place.bottom - place.top, nullptr, nullptr, nullptr, nullptr);
            button_ = CreateWindowExW(0, L"BUTTON", wide(kButtonText).c_str(), WS_CHILD | WS_VISIBLE,
                                      20, 20, 200, 50, window_, nullptr, nullptr, nullptr);
            disabled_ = CreateWindowExW(0, L"EDIT", wide(kDisabledText).c_str(),
                                        WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_BORDER, 20, 100,
                                        200, 40, window_, nullptr, nullptr, nullptr);
            UpdateWindow(window_);
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue exists now
            shown.set_value();
            if (hung)
                release_.get_future().wait();
            while (GetMessageW(&message, nullptr, 0, 0) > 0)
                DispatchMessageW(&message);
            DestroyWindow(window_);
        });
        shown.get_future().wait();
    }
    ~TargetWindow() {
        PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        release_.set_value();
        thread_.join();
    }
    HWND window_ = nullptr, button_ = nullptr, disabled_ = nullptr;

  private:
    std::promise<void> release_;
    std::thread thread_;
    DWORD thread_id_ = 0;
};

class HandlepickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tool_ = Process::startCopy(L"handlepick.exe", folder_);
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }
    void TearDown() override { runX11Command({"xdotool", "mouseup", "1"}); }

    // Right of and below the picker, which opens at the top left.
    RECT beside() const {
        const int left = MulDiv(700, windowDpi(dialog_), 96), top = MulDiv(300, windowDpi(dialog_), 96);
        return RECT{left, top, left + 420, top + 260};
    }
    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    POINT icon() const { return centre(screenRect(control(dialog_, IDC_PICKER))); }
    // The centre of the icon is the red centre of the crosshair at rest; the
    // empty frame shows while it is dragged.
    bool iconAtRest() const {
        const COLORREF p = pixel(icon());
        return GetRValue(p) > 150 && GetGValue(p) < 80 && GetBValue(p) < 80;
    }
    static bool moveTo(POINT p) {
        return runX11Command({"xdotool", "mousemove", std::to_string(p.x), std::to_string(p.y), "sleep", "0.1"});
    }
    // The button pressed on the icon and the pointer moved on to `point`.
    void pressAndMove(POINT point) {
        const POINT from = icon();
        ASSERT_TRUE(moveTo(from));
        ASSERT_TRUE(runX11Command({"xdotool", "mousedown", "1", "sleep", "0.1"}));
        ASSERT_TRUE(moveTo({from.x + 20, from.y + 10}));
        ASSERT_TRUE(moveTo({(from.x + point.x) / 2, (from.y + point.y) / 2}));
        ASSERT_TRUE(moveTo(point));
    }
    // A whole drag, released over `point`; waits until the handle box changes.
    void dragTo(POINT point) {
        const std::string before = text(IDC_HANDLE);
        pressAndMove(point);
        ASSERT_TRUE(runX11Command({"xdotool", "mouseup", "1"}));
        EXPECT_TRUE(waitUntil([&] { return text(IDC_HANDLE) != before; }, 5000ms));
    }
    bool topmost() const { return (GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    TempFolder folder_{L"handlepick"};
    Process tool_;
    HWND dialog_ = nullptr;
};

// A drop on a button shows its handle and text and copies the handle; with
// 十六进制 ticked and 自动复制 unticked, a disabled box is found below its
// parent, in hexadecimal, and the clipboard keeps what it had.
TEST_F(HandlepickTest, PickByDraggingClicks) {
    TargetWindow target(beside(), false);
    ASSERT_TRUE(setClipboardText(kUntouched));
    dragTo(centre(screenRect(target.button_)));
    EXPECT_EQ(text(IDC_HANDLE), handleText(target.button_));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kButtonText);
    EXPECT_EQ(clipboardText(), handleText(target.button_));

    ASSERT_TRUE(setClipboardText(kUntouched));
    setCheckBox(dialog_, IDX_HEX_HANDLE, true);
    setCheckBox(dialog_, IDX_AUTO_COPY, false);
    ASSERT_TRUE(flush(dialog_));
    const POINT below = centre(screenRect(target.disabled_));
    ASSERT_EQ(WindowFromPoint(below), target.window_) << "the system's own answer is the parent";
    dragTo(below);
    EXPECT_EQ(text(IDC_HANDLE), handleText(target.disabled_, true));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kDisabledText);
    EXPECT_EQ(clipboardText(), kUntouched);
}

// While dragged, the icon shows its empty frame and the window under the
// pointer flashes an outline, cut at the screen's edge; nothing stays behind.
TEST_F(HandlepickTest, OutlineWhileDraggingClicks) {
    for (const RECT place : {beside(), RECT{-100, 600, 320, 860}}) {
        TargetWindow target(place, false);
        const RECT window = screenRect(target.window_);
        const POINT edge = window.left < 0 ? POINT{0, centre(window).y} : POINT{centre(window).x, window.top};
        const COLORREF before = pixel(edge);
        ASSERT_TRUE(iconAtRest());
        pressAndMove({window.right - 30, window.bottom - 20});
        EXPECT_TRUE(waitUntil([&] { return !iconAtRest(); }, 2000ms)) << "the icon shows the pointer";
        EXPECT_TRUE(waitUntil([&] { return pixel(edge) == outlined(before); }, 2000ms)) << "no outline";
        EXPECT_TRUE(waitUntil([&] { return pixel(edge) == before; }, 2000ms)) << "the outline stays";
        ASSERT_TRUE(runX11Command({"xdotool", "mouseup", "1"}));
        EXPECT_TRUE(waitUntil([&] { return iconAtRest(); }, 2000ms)) << "the icon stays empty";
        EXPECT_TRUE(waitUntil([&] { return text(IDC_HANDLE) == handleText(target.window_); }, 2000ms));
        EXPECT_EQ(pixel(edge), before) << "the outline was left on the screen";
    }
}

// A window that takes no messages: its caption as the system keeps it, and
// the picker still answers.
TEST_F(HandlepickTest, HungWindowClicks) {
    TargetWindow target(beside(), true);
    dragTo(centre(screenRect(target.button_)));
    EXPECT_TRUE(flush(dialog_)) << "the picker stopped answering";
    EXPECT_EQ(text(IDC_HANDLE), handleText(target.button_));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kButtonText);
}

TEST_F(HandlepickTest, AlwaysOnTopSwitchesInPlace) {
    EXPECT_TRUE(topmost() && isChecked(dialog_, IDX_ALWAYS_ON_TOP) && isChecked(dialog_, IDX_AUTO_COPY));
    EXPECT_FALSE(isChecked(dialog_, IDX_HEX_HANDLE));
    const RECT place = screenRect(dialog_);
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, false);
    EXPECT_TRUE(waitUntil([&] { return !topmost(); })) << "still topmost";
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, true);
    EXPECT_TRUE(waitUntil([&] { return topmost(); })) << "not topmost again";
    const RECT now = screenRect(dialog_);
    EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved";
}

// 复制 copies the handle box as the user edited it, in code page 936; while
// another program holds the clipboard it says that it could not.
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
