// handlepick (外接句柄) driven with the real pointer: xdotool presses the left
// button on the pointer icon, drags it across the screen and releases it over
// windows that the test itself shows (a button "目标按钮" and a disabled box
// in a window of the test process), and the test reads what the picker shows
// and copies. Under Wine's virtual desktop at the origin, screen coordinates
// are the X root's, so a window's GetWindowRect tells xdotool where to go.
#include "harness.h"

#include "handlepick/resource.h"

#include "window_image_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <thread>

namespace {

using namespace gui;
using namespace std::chrono_literals;

constexpr wchar_t kExe[] = L"handlepick.exe";
constexpr char kTitle[] = "外接句柄 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "handlepick";
constexpr char kCopied[] = "已复制到粘贴板!";
constexpr char kCopyFailed[] = "复制失败: 剪贴板正被其他程序占用, 请稍后再试。";
constexpr char kButtonText[] = "目标按钮";
constexpr char kDisabledText[] = "停用的输入框";
constexpr char kTargetCaption[] = "拾取目标窗口";
constexpr char kUntouched[] = "picker-test: not copied";
constexpr COLORREF kOutlinePen = RGB(125, 0, 125);

std::uint32_t low32(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}
std::string decimalHandle(HWND window) {
    return std::to_string(static_cast<std::int32_t>(low32(window)));
}
std::string hexHandle(HWND window) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(low32(window)));
    return text;
}

POINT centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

COLORREF screenPixel(POINT point) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// What the not-XOR pen leaves on a pixel of the given colour.
COLORREF outlined(COLORREF under) {
    return RGB(255 - (GetRValue(kOutlinePen) ^ GetRValue(under)),
               255 - (GetGValue(kOutlinePen) ^ GetGValue(under)),
               255 - (GetBValue(kOutlinePen) ^ GetBValue(under)));
}

// A window of the test's own for the picker to find: a top-level window
// with the button "目标按钮" and, below it, a disabled edit box. Its own
// thread runs it, so that it answers the picker's text requests while the
// test waits. A hung window stops taking messages as soon as it is shown.
class TargetWindow {
  public:
    enum class Answers { yes, never };

    TargetWindow(const RECT& screenRect, Answers answers)
        : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, screenRect, answers] { run(screenRect, answers); });
        WaitForSingleObject(ready_, 5000);
    }
    ~TargetWindow() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        SetEvent(release_);
        if (thread_.joinable())
            thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    HWND window() const { return window_; }
    HWND button() const { return button_; }
    HWND disabled() const { return disabled_; }

  private:
    void run(const RECT& rect, Answers answers) {
        threadId_ = GetCurrentThreadId();
        static const ATOM windowClass = [] {
            WNDCLASSW type{};
            type.lpfnWndProc = DefWindowProcW;
            type.hInstance = GetModuleHandleW(nullptr);
            type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            type.lpszClassName = L"HandlepickTestTarget";
            type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            return RegisterClassW(&type);
        }();
        window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), wide(kTargetCaption).c_str(),
                                  WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        button_ = CreateWindowExW(0, L"BUTTON", wide(kButtonText).c_str(),
                                  WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 200, 50, window_,
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
        disabled_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", wide(kDisabledText).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_DISABLED, 20, 100, 200, 40, window_,
                                    reinterpret_cast<HMENU>(2), nullptr, nullptr);
        UpdateWindow(window_);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists now
        SetEvent(ready_);
        if (answers == Answers::never)
            WaitForSingleObject(release_, INFINITE);
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DestroyWindow(window_);
    }

    HANDLE ready_;
    HANDLE release_;
    std::thread thread_;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    HWND button_ = nullptr;
    HWND disabled_ = nullptr;
};

// Right of and below the picker, which opens at the top left.
RECT targetPlace(int dpi) {
    const int scale = dpi > 0 ? dpi : 96;
    const int left = MulDiv(700, scale, 96);
    const int top = MulDiv(300, scale, 96);
    return RECT{left, top, left + 420, top + 260};
}

class HandlepickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tool_ = Process::startCopy(kExe, folder_);
        ASSERT_TRUE(tool_) << "handlepick.exe could not be started";
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }
    void TearDown() override {
        runX11Command({"xdotool", "mouseup", "1"});
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"handlepick-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    POINT iconCentre() const { return centre(screenRect(control(dialog_, IDC_PICKER))); }

    // The button pressed on the pointer icon and the pointer moved a little:
    // the drag has begun.
    bool pressOnIcon() const {
        const POINT icon = iconCentre();
        return runX11Command({"xdotool", "mousemove", std::to_string(icon.x),
                              std::to_string(icon.y), "mousedown", "1", "sleep", "0.1", "mousemove",
                              std::to_string(icon.x + 20), std::to_string(icon.y + 10)});
    }
    static bool moveTo(POINT point) {
        return runX11Command({"xdotool", "mousemove", std::to_string(point.x),
                              std::to_string(point.y), "sleep", "0.1"});
    }
    static bool release() { return runX11Command({"xdotool", "mouseup", "1"}); }

    // A whole drag from the pointer icon to `point`, released there; then
    // waits until the handle box changes.
    void dragTo(POINT point) {
        const std::string before = text(IDC_HANDLE);
        ASSERT_TRUE(pressOnIcon()) << "xdotool could not press on the icon";
        const POINT icon = iconCentre();
        ASSERT_TRUE(moveTo(POINT{(icon.x + point.x) / 2, (icon.y + point.y) / 2}));
        ASSERT_TRUE(moveTo(point));
        ASSERT_TRUE(release());
        ASSERT_TRUE(flush(dialog_));
        waitUntil([&] { return text(IDC_HANDLE) != before; }, 3000ms);
    }

    // The centre pixel of the pointer icon is the red centre of the
    // crosshair at rest; the empty frame shows while it is dragged.
    bool iconShowsPointer() const {
        const COLORREF pixel = screenPixel(iconCentre());
        return GetRValue(pixel) > 150 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
    }

    bool topmost() const { return (GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    TempFolder folder_{L"handlepick"};
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_F(HandlepickTest, OpensTopmostWithItsTitleChecksAndEmptyBoxes) {
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);
    EXPECT_TRUE(topmost()) << "the picker does not open topmost";
    EXPECT_TRUE(isChecked(dialog_, IDX_ALWAYS_ON_TOP));
    EXPECT_TRUE(isChecked(dialog_, IDX_AUTO_COPY));
    EXPECT_FALSE(isChecked(dialog_, IDX_HEX_HANDLE));
    EXPECT_TRUE(IsWindowVisible(control(dialog_, IDX_HEX_HANDLE)));
    EXPECT_EQ(text(IDC_HANDLE), "");
    EXPECT_EQ(text(IDC_WINDOW_TEXT), "");
    const auto statics = staticTexts(dialog_);
    const auto has = [&](const char* label) {
        return std::find(statics.begin(), statics.end(), wide(label)) != statics.end();
    };
    EXPECT_TRUE(has("请拖动左侧的指针到需要查看的窗口获取句柄"));
    EXPECT_TRUE(has("窗口句柄:"));
    EXPECT_TRUE(has("标题内容:"));
}

TEST_F(HandlepickTest, DroppingOnAButtonShowsAndCopiesItsHandleAndShowsItsText) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    ASSERT_NE(target.button(), nullptr);
    ASSERT_TRUE(setClipboardText(kUntouched));

    dragTo(centre(screenRect(target.button())));

    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.button()));
    EXPECT_EQ(clipboardText(), decimalHandle(target.button()));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kButtonText);
}

TEST_F(HandlepickTest, ADisabledControlIsFoundBelowItsParent) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    ASSERT_NE(target.disabled(), nullptr);
    const POINT point = centre(screenRect(target.disabled()));
    // The platform's own answer at the point is the parent.
    ASSERT_EQ(WindowFromPoint(point), target.window());

    dragTo(point);

    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.disabled()));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kDisabledText);
}

TEST_F(HandlepickTest, HexadecimalHandleWhenItsBoxIsTicked) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    setCheckBox(dialog_, IDX_HEX_HANDLE, true);
    ASSERT_TRUE(flush(dialog_));

    dragTo(centre(screenRect(target.button())));

    EXPECT_EQ(text(IDC_HANDLE), hexHandle(target.button()));
    EXPECT_EQ(clipboardText(), hexHandle(target.button()));
}

TEST_F(HandlepickTest, WithoutAutoCopyThePickLeavesTheClipboardAlone) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    setCheckBox(dialog_, IDX_AUTO_COPY, false);
    ASSERT_TRUE(flush(dialog_));
    ASSERT_TRUE(setClipboardText(kUntouched));

    dragTo(centre(screenRect(target.button())));

    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.button()));
    EXPECT_EQ(clipboardText(), kUntouched);
}

TEST_F(HandlepickTest, ReleasingOverTheBareDesktopPicksSomeWindow) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const POINT point{desktop.right - 40, desktop.bottom - 40};

    dragTo(point);

    const std::string handle = text(IDC_HANDLE);
    ASSERT_FALSE(handle.empty()) << "nothing was picked";
    const auto picked = reinterpret_cast<HWND>(
        static_cast<std::intptr_t>(static_cast<std::int32_t>(std::stol(handle))));
    EXPECT_TRUE(IsWindow(picked)) << handle << " names no window";
    EXPECT_EQ(clipboardText(), handle);
    EXPECT_TRUE(flush(dialog_)) << "the picker stopped answering";
}

TEST_F(HandlepickTest, AHungWindowDoesNotFreezeThePicker) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::never);
    ASSERT_NE(target.button(), nullptr);

    const auto started = std::chrono::steady_clock::now();
    dragTo(centre(screenRect(target.button())));
    ASSERT_TRUE(flush(dialog_, 5000ms));
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.button()));
    // The window never answered; its caption as the system keeps it is shown.
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kButtonText);
    EXPECT_LT(took, 5s) << "the picker waited too long for the hung window";
}

TEST_F(HandlepickTest, WhileDraggingTheIconEmptiesAndTheWindowIsOutlinedThenRestored) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    const RECT button = screenRect(target.button());
    // A pixel on the button's top edge, where the 3-pixel pen runs.
    const POINT edge{(button.left + button.right) / 2, button.top};
    const COLORREF before = screenPixel(edge);
    ASSERT_TRUE(iconShowsPointer()) << "the icon does not show the pointer at rest";

    ASSERT_TRUE(pressOnIcon());
    EXPECT_TRUE(waitUntil([&] { return !iconShowsPointer(); }, 2000ms))
        << "the icon still shows the pointer while it is dragged";
    ASSERT_TRUE(moveTo(centre(button)));

    EXPECT_TRUE(waitUntil([&] { return screenPixel(edge) == outlined(before); }, 2000ms))
        << "no outline on the button's edge";
    std::error_code error;
    std::filesystem::create_directories(screenshotDirectory(), error);
    const RECT picker = screenRect(dialog_);
    const RECT targetRect = screenRect(target.window());
    RECT both;
    UnionRect(&both, &picker, &targetRect);
    InflateRect(&both, 8, 8);
    // Within the screen: the picture is read from it.
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    IntersectRect(&both, &both, &screen);
    winsnap::saveScreenRect(
        both, (screenshotDirectory() /
               (L"handlepick-drag-" + std::to_wstring(windowDpi(dialog_)) + L"dpi.bmp"))
                  .wstring());
    EXPECT_TRUE(waitUntil([&] { return screenPixel(edge) == before; }, 1000ms))
        << "the outline was not taken away again";

    ASSERT_TRUE(release());
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(waitUntil([&] { return iconShowsPointer(); }, 2000ms))
        << "the icon does not show the pointer again after the release";
    EXPECT_EQ(screenPixel(edge), before) << "the outline was left on the screen";
    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.button()));
}

TEST_F(HandlepickTest, AWindowLeftOfTheScreenIsOutlinedFromTheScreenEdge) {
    const RECT place{-100, 600, 320, 860};
    TargetWindow target(place, TargetWindow::Answers::yes);
    const RECT window = screenRect(target.window());
    ASSERT_LT(window.left, 0);
    // The outline's left side runs down the screen's edge.
    const POINT edge{0, (window.top + window.bottom) / 2};
    const COLORREF before = screenPixel(edge);

    ASSERT_TRUE(pressOnIcon());
    ASSERT_TRUE(moveTo(POINT{window.right - 30, window.bottom - 20}));
    EXPECT_TRUE(waitUntil([&] { return screenPixel(edge) == outlined(before); }, 2000ms))
        << "no outline at the screen's left edge";
    ASSERT_TRUE(release());
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(waitUntil([&] { return screenPixel(edge) == before; }, 1000ms));
    EXPECT_EQ(text(IDC_HANDLE), decimalHandle(target.window()));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), kTargetCaption);
}

TEST_F(HandlepickTest, AlwaysOnTopSwitchesTopmostOffAndOnWithoutMovingTheWindow) {
    const RECT place = screenRect(dialog_);
    ASSERT_TRUE(topmost());
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, false);
    EXPECT_TRUE(waitUntil([&] { return !topmost(); })) << "still topmost";
    setCheckBox(dialog_, IDX_ALWAYS_ON_TOP, true);
    EXPECT_TRUE(waitUntil([&] { return topmost(); })) << "not topmost again";
    const RECT now = screenRect(dialog_);
    EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved";
}

// The edited handle text goes onto the clipboard; while another program
// (here the test) holds the clipboard open, the copy fails and says so.
TEST_F(HandlepickTest, CopyPutsTheEditedHandleTextOnTheClipboardAndSaysWhetherItDid) {
    const std::wstring edited = wide("句柄 12345");
    ASSERT_TRUE(setControlText(dialog_, IDC_HANDLE, edited));
    struct Case {
        bool clipboardHeld;
        const char* message;
        std::string clipboard;
    };
    for (const Case& copy :
         {Case{false, kCopied, codePage936(edited)}, Case{true, kCopyFailed, kUntouched}}) {
        SCOPED_TRACE(copy.message);
        ASSERT_TRUE(setClipboardText(kUntouched));
        if (copy.clipboardHeld) {
            ASSERT_TRUE(OpenClipboard(nullptr));
        }

        clickButton(dialog_, IDC_COPY);
        const auto box = answerMessageBox(dialog_);
        if (copy.clipboardHeld)
            CloseClipboard();

        ASSERT_TRUE(box) << "复制 showed no message";
        EXPECT_EQ(utf8(box->title), kMessageTitle);
        EXPECT_EQ(utf8(box->text), copy.message);
        EXPECT_EQ(clipboardText(), copy.clipboard);
    }
}

TEST_F(HandlepickTest, EnterNeitherPicksNorClosesButStartsALineInTheTextBoxAndEscCloses) {
    pressKey(control(dialog_, IDC_HANDLE), VK_RETURN);
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(tool_.running()) << "Enter closed the picker";
    EXPECT_EQ(findOwnedDialog(dialog_), nullptr);

    ASSERT_TRUE(focusControl(dialog_, IDC_WINDOW_TEXT));
    ASSERT_TRUE(setControlText(dialog_, IDC_WINDOW_TEXT, L"ab"));
    ASSERT_TRUE(typeKeysOnDisplay({"End", "Return", "c"}));
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(text(IDC_WINDOW_TEXT), "ab\r\nc");
    EXPECT_TRUE(tool_.running());

    pressKey(control(dialog_, IDC_HANDLE), VK_ESCAPE);
    EXPECT_EQ(tool_.waitForExit(), 0u) << "Esc did not close the picker";
}

TEST_F(HandlepickTest, CloseBoxEndsTheTool) {
    postSysCommand(dialog_, SC_CLOSE);
    EXPECT_EQ(tool_.waitForExit(), 0u);
}

TEST_F(HandlepickTest, AboutItemOfTheSystemMenuShowsTheAboutBox) {
    postSysCommand(dialog_, IDM_ABOUTBOX);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(utf8(windowText(about)), "关于 handlepick");
    const auto statics = staticTexts(about);
    EXPECT_NE(std::find(statics.begin(), statics.end(), wide("handlepick 1.0 版")), statics.end());
    EXPECT_TRUE(dismiss(about, IDOK));
    EXPECT_TRUE(tool_.running());
}

TEST_F(HandlepickTest, ScreenshotAfterAPickIsSavedForReview) {
    TargetWindow target(targetPlace(windowDpi(dialog_)), TargetWindow::Answers::yes);
    dragTo(centre(screenRect(target.button())));
    ASSERT_EQ(text(IDC_HANDLE), decimalHandle(target.button()));
    const auto file = saveScreenshot(dialog_, L"handlepick");
    ASSERT_TRUE(file) << "no screenshot";
    EXPECT_TRUE(std::filesystem::exists(*file));
}

} // namespace
