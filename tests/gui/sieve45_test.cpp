// sieve4 (四星缩水杀号) and sieve5 (五星缩水杀号) driven from outside as a
// user would: real clicks on their tiles through the X display, the count
// they paint, the number box, the clipboard and the bytes a host receives.
#include "harness.h"

#include "sieve/common/number_sieve.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace gui;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Control ids of the two templates (the same in both tools).
constexpr int kNumbers = 1000, kReset = 1001, kLoadBase = 1002, kHandOff = 1003, kCount = 1004,
              kShow = 1005, kCopy = 1006, kMustOn = 1010, kDistinct = 1011;

struct Tool {
    const wchar_t* exe;
    const char* name;
    const char* title;
    const sieve::FilterDesign* design;
    int firstTile;    // must-contain digit 0
    int hitFirst;     // hit count 0
    int firstRow;     // the leftmost position's 0
    int spanFirst;    // 跨度 0
    int tileCount;
    int hitCount;     // hit-count tiles
    const char* malformed;
};

const Tool kSieve4{L"sieve4.exe", "sieve4", "四星缩水杀号 - Quorvel趋势分析软件",
                   &sieve4::kDesign, 40000, 40010, 40015, 40102, 165, 5,
                   "号码存在不符合规则,要以4位数且空格或者逗号分隔!"};
const Tool kSieve5{L"sieve5.exe", "sieve5", "五星缩水杀号 - Quorvel趋势分析软件",
                   &sieve5::kDesign, 50000, 50010, 50016, 50122, 235, 6,
                   "号码存在不符合规则,要以5位数且空格或者逗号分隔!"};

COLORREF screenPixel(POINT point) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::string fullList(const Tool& tool) {
    return sieve::NumberSieve(*tool.design).numberList();
}

// The number box's text as WM_GETTEXT gives it back: ten numbers a line.
std::string boxLines(const std::string& list, int digits) {
    const std::size_t width = static_cast<std::size_t>(digits) + 1;
    std::string text;
    for (std::size_t at = 0, n = 0; at < list.size(); at += width, ++n)
        text += list.substr(at, width) + (n % 10 == 9 ? "\r\n" : "");
    return text;
}

// Long texts compared without printing them whole.
::testing::AssertionResult sameText(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << "lengths " << actual.size() << " and " << expected.size() << ", first difference at "
           << at << ": '" << actual.substr(at, 40) << "' instead of '" << expected.substr(at, 40)
           << "'";
}

// A window's whole text, however long (WM_GETTEXT is carried across processes).
std::string longText(HWND window) {
    const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(
        window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return utf8(text);
}

class TileFilterTest : public ::testing::TestWithParam<const Tool*> {
  protected:
    const Tool& tool() const { return *GetParam(); }

    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, wide(tool().name) + L"-failed-" + wide(info->name()));
        }
        tool_.terminate();
        if (host_)
            host_->probe().terminate();
    }

    void start() {
        tool_ = Process::startCopy(tool().exe, folder_);
        ASSERT_TRUE(tool_) << "the tool could not be started";
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }
    void startWithHost() {
        const fs::path exe = Process::copyProgram(tool().exe, folder_);
        host_ = HostProbe::start(exe, folder_.file(L"host.log"));
        ASSERT_TRUE(host_) << "hostprobe did not start the tool";
        dialog_ = waitForMainDialog(host_->tool().id());
        ASSERT_NE(dialog_, nullptr);
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    std::string count() const { return text(kCount); }
    int full() const { return tool().design->candidates(); }
    HWND tile(int id) const { return control(dialog_, id); }

    // The tile's fill, a few pixels in from its top left corner (clear of
    // the frame and the caption).
    COLORREF fill(int id) const {
        const RECT rect = screenRect(tile(id));
        return screenPixel(POINT{rect.left + 3, rect.top + 3});
    }
    bool looksTicked(int id) const {
        const COLORREF colour = fill(id);
        return GetRValue(colour) == 255 && GetGValue(colour) < 120;
    }
    // A real left click in the middle of a tile; an enabled tile is then
    // waited for until it shows its flip, so that the next step (a press of
    // 重置, say) cannot overtake the click on a loaded machine.
    void clickTile(int id) {
        const RECT rect = screenRect(tile(id));
        const bool enabled = IsWindowEnabled(tile(id)) != FALSE;
        const bool wasTicked = looksTicked(id);
        ASSERT_TRUE(clickOnDisplay((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
        if (enabled)
            EXPECT_TRUE(waitUntil([&] { return looksTicked(id) != wasTicked; }, Millis{5000}))
                << "tile " << id << " did not flip";
    }
    void expectCount(int expected) {
        const std::string want = std::to_string(expected);
        EXPECT_TRUE(waitUntil([&] { return count() == want; }, Millis{5000}))
            << "count " << count() << ", expected " << want;
    }
    void press(int id) {
        clickButton(dialog_, id);
        ASSERT_TRUE(flush(dialog_));
    }
    void tick(int id, bool on = true) {
        setCheckBox(dialog_, id, on);
        ASSERT_TRUE(flush(dialog_));
    }
    std::string pressAndAnswer(int id) {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after pressing control " << id;
            return {};
        }
        EXPECT_EQ(utf8(box->title), tool().name);
        return utf8(box->text);
    }

    TempFolder folder_{L"tiles"};
    Process tool_;
    std::optional<HostProbe> host_;
    HWND dialog_ = nullptr;
};

TEST_P(TileFilterTest, StartsWithEveryTileOnItsFrameAndTheFullCount) {
    const auto started = Clock::now();
    start();
    const auto shown = Clock::now();
    EXPECT_EQ(utf8(windowText(dialog_)), tool().title);
    EXPECT_EQ(count(), std::to_string(full()));
    EXPECT_FALSE(isEnabled(dialog_, kHandOff)) << "出图 without a host";
    EXPECT_FALSE(isChecked(dialog_, kMustOn));
    EXPECT_FALSE(isEnabled(dialog_, kDistinct));

    // The tiles: children of the tile class with consecutive ids.
    int tiles = 0;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (windowClass(child) != L"TrendToggleBox")
            continue;
        EXPECT_EQ(GetDlgCtrlID(child), tool().firstTile + tiles);
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP);
        ++tiles;
    }
    EXPECT_EQ(tiles, tool().tileCount);
    for (int id = tool().firstTile; id < tool().firstRow; ++id)
        EXPECT_FALSE(IsWindowEnabled(tile(id))) << "must-contain tile " << id;
    EXPECT_TRUE(IsWindowEnabled(tile(tool().firstRow)));
    EXPECT_EQ(utf8(windowText(tile(tool().firstTile + tool().tileCount - 1))),
              &tool() == &kSieve4 ? "豹子" : "合合合合合");

    // Every tile lies inside the dialog's client area.
    RECT client;
    GetClientRect(dialog_, &client);
    for (int id = tool().firstTile; id < tool().firstTile + tool().tileCount; ++id) {
        RECT rect;
        GetWindowRect(tile(id), &rect);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                    rect.bottom <= client.bottom)
            << "tile " << id << " outside the dialog";
    }
    // The hit counts after start-up: 1-4 ticked in sieve4, none in sieve5;
    // disabled and ticked shows the light red.
    pause(Millis{300});
    for (int h = 0; h < tool().hitCount; ++h) {
        const bool ticked = &tool() == &kSieve4 && h >= 1;
        const COLORREF expected = ticked ? RGB(255, 100, 100) : RGB(200, 200, 200);
        EXPECT_EQ(fill(tool().hitFirst + h), expected) << "hit count " << h;
    }
    std::printf("%s: %lld ms from start to the dialog shown\n", tool().name,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(shown - started).count()));
}

TEST_P(TileFilterTest, RealClicksFlipTilesAndRecount) {
    start();
    const int zero = tool().firstRow; // 千位 / 万位 "0"
    const auto clicked = Clock::now();
    clickTile(zero);
    expectCount(full() / 10 * 9);
    const auto counted = Clock::now();
    EXPECT_TRUE(waitUntil([&] { return looksTicked(zero); }, Millis{2000}));
    EXPECT_EQ(fill(zero), RGB(255, 0, 0));
    std::printf("%s: %lld ms from the click (through xdotool) to the new count\n", tool().name,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(counted - clicked).count()));
    clickTile(zero);
    expectCount(full());
    EXPECT_TRUE(waitUntil([&] { return fill(zero) == RGB(200, 200, 200); }, Millis{2000}));

    // A disabled tile neither flips nor recounts.
    const int mustOne = tool().firstTile + 1;
    clickTile(mustOne);
    pause(Millis{400});
    EXPECT_EQ(count(), std::to_string(full()));
    EXPECT_EQ(fill(mustOne), RGB(200, 200, 200));

    // A double click flips twice: back where it started.
    const RECT rect = screenRect(tile(tool().spanFirst));
    ASSERT_TRUE(runX11Command({"xdotool", "mousemove", std::to_string(rect.left + 12),
                               std::to_string(rect.top + 12), "click", "--repeat", "2",
                               "--delay", "80", "1"}));
    pause(Millis{500});
    EXPECT_EQ(count(), std::to_string(full()));
    EXPECT_EQ(fill(tool().spanFirst), RGB(200, 200, 200));
    clickTile(tool().spanFirst); // 跨度 0: the ten 豹子 numbers
    expectCount(full() - 10);
}

TEST_P(TileFilterTest, MustContainGroupAndTheResetOfEachTool) {
    start();
    tick(kMustOn);
    EXPECT_TRUE(IsWindowEnabled(tile(tool().firstTile)));
    EXPECT_TRUE(IsWindowEnabled(tile(tool().hitFirst)));
    EXPECT_TRUE(isEnabled(dialog_, kDistinct));
    EXPECT_EQ(count(), "0") << "no digit (sieve4) or no hit count (sieve5) ticked";
    clickTile(tool().firstTile + 1); // digit 1
    if (&tool() == &kSieve4) {
        expectCount(10000 - 9 * 9 * 9 * 9);
    } else {
        expectCount(0);
        clickTile(tool().hitFirst + 1); // exactly one 1
        expectCount(5 * 9 * 9 * 9 * 9);
    }
    clickTile(tool().firstRow + 1); // a kill tile too

    press(kReset);
    EXPECT_EQ(count(), std::to_string(full()));
    pause(Millis{300});
    EXPECT_EQ(fill(tool().firstRow + 1), RGB(200, 200, 200));
    EXPECT_EQ(fill(tool().firstTile + 1), RGB(200, 200, 200));
    if (&tool() == &kSieve4) {
        // sieve4 ends the must-contain group: unticked, disabled, hit counts 1-4.
        EXPECT_FALSE(isChecked(dialog_, kMustOn));
        EXPECT_FALSE(IsWindowEnabled(tile(tool().firstTile)));
        EXPECT_FALSE(isEnabled(dialog_, kDistinct));
        EXPECT_EQ(fill(tool().hitFirst + 1), RGB(255, 100, 100));
        clickTile(tool().spanFirst);
        expectCount(full() - 10);
    } else {
        // sieve5 keeps 胆码大底 and the enabled tiles, and unticks every hit
        // count: the next click leaves nothing.
        EXPECT_TRUE(isChecked(dialog_, kMustOn));
        EXPECT_TRUE(IsWindowEnabled(tile(tool().firstTile)));
        EXPECT_EQ(fill(tool().hitFirst + 1), RGB(200, 200, 200));
        clickTile(tool().spanFirst);
        expectCount(0);
    }
    // Unticking the master box disables the group again (the ticks stay).
    tick(kMustOn, false);
    EXPECT_FALSE(IsWindowEnabled(tile(tool().firstTile)));
    EXPECT_FALSE(isEnabled(dialog_, kDistinct));
}

TEST_P(TileFilterTest, LoadingBaseSets) {
    start();
    const bool four = &tool() == &kSieve4;
    ASSERT_TRUE(setControlText(dialog_, kNumbers,
                               wide(four ? "1111,1234\r\n5678" : "11111,12345\r\n56789")));
    clickTile(tool().firstRow); // ticked before the load, unticked by it
    expectCount(full() / 10 * 9);
    press(kLoadBase);
    EXPECT_EQ(count(), "3");
    pause(Millis{300});
    EXPECT_EQ(fill(tool().firstRow), RGB(200, 200, 200));
    clickTile(tool().spanFirst); // 跨度 0 kills the 豹子 of the three
    expectCount(2);

    // 重置 empties the box but keeps the base set for the next click.
    press(kReset);
    EXPECT_EQ(count(), std::to_string(full()));
    EXPECT_EQ(text(kNumbers), "");
    clickTile(tool().spanFirst);
    expectCount(2);
    // 装入大底 on the empty box ends the base set.
    press(kLoadBase);
    clickTile(tool().spanFirst);
    expectCount(full());

    // A malformed text: the message, the full count, the numbers before the
    // bad token as the base set of the next click.
    ASSERT_TRUE(setControlText(dialog_, kNumbers, wide(four ? "5678 123 9012" : "54321 1234 2")));
    EXPECT_EQ(pressAndAnswer(kLoadBase), tool().malformed);
    EXPECT_EQ(count(), std::to_string(full()));
    clickTile(tool().firstRow + 9);
    expectCount(1);
}

TEST_P(TileFilterTest, ShowCopyAndHandOffTheNumbers) {
    startWithHost();
    EXPECT_TRUE(isEnabled(dialog_, kHandOff));
    const std::string list = fullList(tool());

    // 显示号码: every number, ten a line; the count is not touched.
    const auto pressed = Clock::now();
    clickButton(dialog_, kShow);
    ASSERT_TRUE(flush(dialog_, Millis{60000}));
    const auto filled = Clock::now();
    std::printf("%s: 显示号码 of %d numbers took %lld ms\n", tool().name, full(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(filled - pressed).count()));
    EXPECT_TRUE(sameText(longText(control(dialog_, kNumbers)), boxLines(list, tool().design->digitCount)));
    EXPECT_EQ(count(), std::to_string(full()));
    // The box's text loads back to the same set.
    press(kLoadBase);
    EXPECT_EQ(count(), std::to_string(full()));

    // 复制号码: the bare list on the clipboard.
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(kCopy), "成功复制 " + std::to_string(full()) + " 注号码!");
    EXPECT_TRUE(sameText(clipboardText().value_or("<none>"), list));

    // 出图: the list and its terminating zero; then an empty set, one zero byte.
    press(kHandOff);
    ASSERT_TRUE(host_->waitForMessages(1)) << "the host received nothing";
    for (int box = 0; box < 10; ++box)
        clickTile(tool().spanFirst + box);
    expectCount(0);
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(kCopy), "成功复制 0 注号码!");
    EXPECT_EQ(clipboardText(), std::optional<std::string>(""));
    press(kHandOff);
    ASSERT_TRUE(host_->waitForMessages(2));
    const HostLog log = host_->read();
    ASSERT_EQ(log.messages.size(), 2u);
    const CopyDataMessage& all = log.messages[0];
    EXPECT_EQ(all.sender, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(dialog_)));
    EXPECT_EQ(all.dwData, 0u);
    EXPECT_EQ(all.cbData, list.size() + 1); // 50001 / 600001
    ASSERT_EQ(all.bytes.size(), list.size() + 1);
    EXPECT_EQ(all.bytes.back(), 0);
    EXPECT_TRUE(sameText(std::string(all.bytes.begin(), all.bytes.end() - 1), list));
    EXPECT_EQ(log.messages[1].cbData, 1u);
    EXPECT_EQ(log.messages[1].bytes, std::vector<std::uint8_t>{0});
}

// A box full of every number, emptied by 重置 and replaced by another
// 显示号码, holds exactly the new text each time (the times are printed
// for the record).
TEST_P(TileFilterTest, FullNumberBoxIsEmptiedAndReplaced) {
    start();
    const int digits = tool().design->digitCount;
    const std::string list = fullList(tool());
    const auto box = [&] { return control(dialog_, kNumbers); };
    const auto timed = [&](int id) {
        const auto pressed = Clock::now();
        clickButton(dialog_, id);
        // A dialog busy for seconds fails a flush: ask again.
        EXPECT_TRUE(waitUntil([&] { return flush(dialog_); }, Millis{60000}));
        return static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count());
    };
    const long long filled = timed(kShow);
    ASSERT_TRUE(sameText(longText(box()), boxLines(list, digits)));
    const long long emptied = timed(kReset);
    EXPECT_EQ(longText(box()), "");
    timed(kShow);
    clickTile(tool().firstRow); // no number starting with 0
    expectCount(full() / 10 * 9);
    const long long replaced = timed(kShow);
    EXPECT_TRUE(sameText(longText(box()),
                         boxLines(list.substr(static_cast<std::size_t>(full() / 10 * (digits + 1))),
                                  digits)));
    std::printf("%s: 显示号码 into the empty box %lld ms, 重置 of the full box %lld ms, "
                "显示号码 over the full box %lld ms\n",
                tool().name, filled, emptied, replaced);
    // Emptied again, the box still takes a text and loads it.
    EXPECT_GE(timed(kReset), 0);
    ASSERT_TRUE(setControlText(dialog_, kNumbers, wide(digits == 4 ? "1234" : "12345")));
    press(kLoadBase);
    EXPECT_EQ(count(), "1");
}

TEST_P(TileFilterTest, AboutEnterAndEscape) {
    start();
    if (&tool() == &kSieve4) {
        postSysCommand(dialog_, 16); // the About item
        const HWND about = waitForOwnedDialog(dialog_);
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_EQ(utf8(windowText(about)), "关于 sieve4");
        EXPECT_TRUE(dismiss(about, IDOK));
        pressKey(dialog_, VK_ESCAPE);
        EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
        start();
        pressKey(dialog_, VK_RETURN);
        EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
    } else {
        pressKey(dialog_, VK_RETURN);
        pressKey(dialog_, VK_ESCAPE);
        ASSERT_TRUE(flush(dialog_));
        pause(Millis{300});
        EXPECT_TRUE(tool_.running()) << "Enter or Escape closed sieve5";
        postSysCommand(dialog_, SC_CLOSE);
        EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
    }
}

// Ten megabytes pasted into the number box (numbers ten a line, as lists are
// copied around), then 装入大底: the right count, or the malformed message
// when the last token is bad, in about a second.
TEST_P(TileFilterTest, TenMegabytePasteLoads) {
    start();
    const std::string list = fullList(tool());
    std::string lines = boxLines(list, tool().design->digitCount);
    std::string paste;
    while (paste.size() < 10'000'000)
        paste += lines;
    HWND box = control(dialog_, kNumbers);
    // Pasted as a user pastes: through the clipboard.
    ASSERT_TRUE(setClipboardText(paste));
    SendMessageW(box, WM_PASTE, 0, 0);
    const auto pressed = Clock::now();
    press(kLoadBase);
    const auto loaded = Clock::now();
    EXPECT_EQ(count(), std::to_string(full()));
    std::printf("%s: 装入大底 of %zu bytes took %lld ms\n", tool().name, paste.size(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(loaded - pressed).count()));

    // A bad last token, pasted at the end.
    ASSERT_TRUE(setClipboardText(" 12"));
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(pressAndAnswer(kLoadBase), tool().malformed);
    EXPECT_EQ(count(), std::to_string(full()));
}

TEST_P(TileFilterTest, ScreenshotIsSavedForReview) {
    start();
    tick(kMustOn);
    clickTile(tool().firstTile + 3);
    clickTile(tool().firstRow + 2);
    clickTile(tool().spanFirst + 9);
    press(kShow);
    pause(Millis{1500});
    const auto file = saveScreenshot(dialog_, wide(tool().name));
    ASSERT_TRUE(file) << "the window could not be saved";
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

INSTANTIATE_TEST_SUITE_P(Sieve4, TileFilterTest, ::testing::Values(&kSieve4));
INSTANTIATE_TEST_SUITE_P(Sieve5, TileFilterTest, ::testing::Values(&kSieve5));

} // namespace
