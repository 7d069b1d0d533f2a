// The four number filters driven from outside as a user would. Every step is
// mirrored in the filter's own engine, whose count, list and bytes the dialog,
// the clipboard, the files and the host must show.
#include "harness.h"

#include "sieve/common/number_sieve.h"
#include "sieve/sieve2/sieve2_engine.h"
#include "sieve/sieve3/sieve3_engine.h"
#include "sieve/sieve4/sieve4_engine.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace gui;
namespace fs = std::filesystem;

// Control ids every filter's template shares.
constexpr int kNumbers = 1000, kReset = 1001, kLoadBase = 1002, kHandOff = 1003, kCount = 1004,
              kShow = 1005, kCopy = 1006, kSaveIndicator = 1007, kMustOn = 1010, kDistinct = 1011;
constexpr COLORREF kTicked = RGB(255, 0, 0), kUnticked = RGB(200, 200, 200);

struct Filter {
    const char* name;
    const sieve::FilterDesign* design;
    int mustDigit; // must-contain digit 0; hit count 0 is ten ids on
    bool tiles, resetEndsMustContain, resetClearsDistinct, resetEndsBaseSet;
    // Each kill group's first box, groups in the design's order: the check
    // boxes' ids of resource.h; the tiles', numbered as they are made (sieve5
    // makes 组杀号 before 大小杀号).
    std::vector<int> firstIds;
};

// clang-format off
const Filter kSieve2{"sieve2", &sieve2::kDesign, 1020, false, true, false, true,
                     {1100, 1110, 1120, 1130, 1150, 1160, 1170, 1180, 1190, 1200}};
const Filter kSieve3{"sieve3", &sieve3::kDesign, 1020, false, true, true, true,
                     {1100, 1110, 1120, 1130, 1160, 1190, 1200, 1210, 1220, 1230, 1240, 1250, 1260}};
const Filter kSieve4{"sieve4", &sieve4::kDesign, 40000, true, true, true, false,
                     {40015, 40025, 40035, 40045, 40055, 40092, 40102, 40112, 40128, 40144, 40160}};
const Filter kSieve5{"sieve5", &sieve5::kDesign, 50000, true, false, false, false,
                     {50016, 50026, 50036, 50046, 50056, 50066, 50112, 50122, 50139, 50171, 50203,
                      50132}};
// clang-format on

// A window's whole text, however long (WM_GETTEXT is carried across processes).
std::string longText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), L' ');
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return utf8(text);
}

class FilterTest : public ::testing::TestWithParam<const Filter*> {
  protected:
    // A copy in bin/ of the test's folder, so that sieve3's indicator folder
    // (beside bin/) is in the test's folder too.
    void start(bool host = false) {
        const fs::path exe = folder_.path() / L"bin" / (wide(f.name) + L".exe");
        fs::create_directories(exe.parent_path());
        fs::copy_file(programDirectory() / exe.filename(), exe);
        if (host)
            ASSERT_TRUE(host_ = HostProbe::start(exe, folder_.file(L"host.log")));
        else
            tool_ = Process::start(exe);
        ASSERT_TRUE(dialog_ = waitForMainDialog(host ? host_->tool().id() : tool_.id()));
    }
    std::string count() const { return utf8(controlText(dialog_, kCount)); }
    std::string full() const { return std::to_string(f.design->candidates()); }
    std::string kept() {
        engine_.recompute(criteria_);
        return std::to_string(engine_.keptCount());
    }
    int box(int g, int index) const { return f.firstIds[static_cast<std::size_t>(g)] + index; }
    int span() const { return f.design->findGroup("span"); }
    // A click on a box or a button that opens no box: sent, so handled on return.
    void press(int id, LPARAM check = -1) {
        const auto send = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 60000,
                                       nullptr) != 0;
        };
        ASSERT_TRUE(check < 0 || send(control(dialog_, id), BM_SETCHECK, check, 0));
        ASSERT_TRUE(send(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(control(dialog_, id))));
    }
    std::string answer(int id) {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_);
        EXPECT_EQ(box ? utf8(box->title) : "no message", f.name) << "after " << id;
        return box ? utf8(box->text) : "";
    }
    // A click on box `id`, in the dialog and in the engine's criteria.
    void flip(int id) {
        sieve::MustContainRule& rule = criteria_.mustContain;
        const int digit = id - f.mustDigit, hits = digit - 10;
        bool on = false;
        if (id == kMustOn)
            on = rule.on = !rule.on;
        else if (id == kDistinct)
            on = rule.distinctHits = !rule.distinctHits;
        else if (digit >= 0 && digit < 10)
            on = ((rule.mustDigits ^= 1u << digit) >> digit) & 1u;
        else if (hits >= 0 && hits <= f.design->digitCount)
            on = ((rule.hitCounts ^= 1u << hits) >> hits) & 1u;
        for (std::size_t g = 0; g < f.firstIds.size(); ++g) {
            const int b = id - f.firstIds[g];
            if (b >= 0 && b < f.design->groups[g].boxCount)
                criteria_.tick(static_cast<int>(g), b, on = !criteria_.isTicked(int(g), b));
        }
        press(id, on ? BST_CHECKED : BST_UNCHECKED);
        ASSERT_EQ(count(), kept()) << "after a click on " << id;
    }
    // 重置 as each tool does it (the base set is the caller's), and what it shows.
    void reset() {
        const sieve::MustContainRule was = criteria_.mustContain;
        criteria_ = sieve::SieveCriteria::startState(*f.design);
        criteria_.mustContain.on = was.on && !f.resetEndsMustContain;
        criteria_.mustContain.distinctHits = was.distinctHits && !f.resetClearsDistinct;
        engine_.reset();
    }
    void expectResetState() {
        EXPECT_EQ(count(), full());
        EXPECT_EQ(isChecked(dialog_, kMustOn), criteria_.mustContain.on);
        EXPECT_EQ(isEnabled(dialog_, f.mustDigit), criteria_.mustContain.on);
        EXPECT_EQ(isChecked(dialog_, kDistinct), criteria_.mustContain.distinctHits);
        for (int d = 0; d < 10; ++d)
            EXPECT_FALSE(isChecked(dialog_, f.mustDigit + d)) << "digit " << d;
        for (int h = 0; h <= f.design->digitCount; ++h)
            EXPECT_EQ(isChecked(dialog_, f.mustDigit + 10 + h),
                      criteria_.mustContain.acceptsHits(h));
    }
    // 装入大底 of `text`: the message it showed, if any.
    std::string load(const std::string& text) {
        const bool resets = !sieve::cleanBaseSetText(text).empty();
        const std::string before = resets ? full() : count();
        if (resets)
            reset();
        EXPECT_TRUE(setControlText(dialog_, kNumbers, wide(text)));
        const sieve::BaseSetLoad result = engine_.loadBaseSet(text);
        std::string message;
        if (result == sieve::BaseSetLoad::malformed)
            message = answer(kLoadBase);
        else
            press(kLoadBase);
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box over the dialog";
        const bool loaded = result == sieve::BaseSetLoad::loaded;
        EXPECT_EQ(count(), loaded ? std::to_string(engine_.keptCount()) : before);
        return message;
    }
    // The number box after 显示号码: the tile filters' rich edit takes ten numbers a line.
    std::string shown() const {
        const std::string list = engine_.numberList();
        const std::size_t width = static_cast<std::size_t>(f.design->digitCount) + 1;
        std::string text;
        for (std::size_t at = 0; at < list.size(); at += width)
            text +=
                list.substr(at, width) + (f.tiles && at % (10 * width) == 9 * width ? "\r\n" : "");
        return text;
    }
    COLORREF fill(int id) const { // a few pixels in from the corner, clear of frame and caption
        const RECT rect = screenRect(control(dialog_, id));
        return screenPixel(rect.left + 3, rect.top + 3);
    }
    // A real click through the X display in the middle of a tile; real input is
    // not ordered with posted messages, so what shows is waited for.
    void clickTile(int id, int times = 1, COLORREF shows = 0) {
        const RECT r = screenRect(control(dialog_, id));
        ASSERT_TRUE(runX11Command({"xdotool", "mousemove", std::to_string((r.left + r.right) / 2),
                                   std::to_string((r.top + r.bottom) / 2), "click", "--repeat",
                                   std::to_string(times), "--delay", "80", "1"}));
        if (shows == 0) // nothing to wait for
            return;
        EXPECT_TRUE(waitUntil([&] { return fill(id) == shows; })) << "tile " << id;
        EXPECT_TRUE(waitUntil([&] { return count() == kept(); })) << count() << " for " << kept();
    }

    const Filter& f = *GetParam();
    sieve::NumberSieve engine_{*f.design};
    sieve::SieveCriteria criteria_ = sieve::SieveCriteria::startState(*f.design);
    TempFolder folder_{L"filter"};
    std::optional<HostProbe> host_;
    Process tool_;
    HWND dialog_ = nullptr;
};
using TileTest = FilterTest;
using Sieve3Test = FilterTest;
using Sieve5Test = FilterTest;

// Clicks on every kind of box (seeded random ones after the first), base
// sets and the reset.
TEST_P(FilterTest, CountFollowsTheEngine) {
    start();
    // Digit 1 with hit count 1 flipped: 不记重胆/记重 tells 11… from the others.
    for (const int id : {kMustOn, f.mustDigit + 1, f.mustDigit + 11, kDistinct})
        flip(id);
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 40; ++step) {
        const int g = pick(static_cast<int>(f.firstIds.size()));
        // Must-contain digits, then hit counts, from f.mustDigit on.
        const int mustContain[] = {kMustOn, kDistinct,
                                   f.mustDigit + pick(11 + f.design->digitCount)};
        const int id = step % 3
                           ? box(g, pick(f.design->groups[static_cast<std::size_t>(g)].boxCount))
                           : mustContain[pick(3)];
        if (id == kMustOn || id >= f.firstIds[0] || criteria_.mustContain.on)
            flip(id); // no user clicks a disabled box
        ASSERT_EQ(isEnabled(dialog_, f.mustDigit), criteria_.mustContain.on);
        ASSERT_EQ(isEnabled(dialog_, kDistinct), criteria_.mustContain.on);
    }
    if (criteria_.mustContain.on)
        flip(kMustOn);

    // Three numbers (one twice): the boxes unticked, the user's text kept.
    const auto n = [&](std::string digits) { return digits.substr(0, f.design->digitCount); };
    const std::string three =
        n("11111") + "," + n("12345") + "\r\n" + n("56789") + " " + n("11111");
    EXPECT_EQ(load(three), "");
    EXPECT_EQ(count(), "3");
    EXPECT_EQ(longText(control(dialog_, kNumbers)), three);
    flip(box(span(), 0));
    EXPECT_EQ(count(), "2");
    flip(kMustOn);
    if (!criteria_.mustContain.distinctHits)
        flip(kDistinct);
    press(kReset);
    reset();
    if (f.resetEndsBaseSet)
        engine_.endBaseSet();
    expectResetState();
    EXPECT_EQ(longText(control(dialog_, kNumbers)), "");
    EXPECT_FALSE(isChecked(dialog_, box(span(), 0)));
    if (criteria_.mustContain.on)
        flip(kMustOn);
    flip(box(span(), 0)); // from the base set or from all numbers, as the reset left it

    // Malformed: the message, the full count, the numbers before the bad
    // token the next click's base set; separators only: an empty base set;
    // an empty box ends it.
    EXPECT_EQ(load(n("33333") + " 1 " + n("44444")), f.design->malformedMessage);
    EXPECT_EQ(count(), full());
    flip(box(0, 9));
    EXPECT_EQ(load(" , \r\n"), "");
    flip(box(0, 2));
    EXPECT_EQ(load(""), "");
    flip(box(0, 2));
}

// 显示号码, 复制号码 and 出图 with some boxes ticked, then with nothing kept;
// a copy while another program holds the clipboard.
TEST_P(FilterTest, ShowCopyAndHandOffBytes) {
    start(true);
    EXPECT_TRUE(isEnabled(dialog_, kHandOff));
    for (const int id : {box(0, 5), box(0, 6), box(0, 7), box(1, 2), box(span(), 1)})
        flip(id);
    press(kShow);
    EXPECT_EQ(longText(control(dialog_, kNumbers)), shown());
    EXPECT_EQ(count(), kept());
    std::vector<std::string> sent;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(setClipboardText("before"));
        EXPECT_EQ(answer(kCopy), "成功复制 " + kept() + " 注号码!");
        EXPECT_EQ(clipboardText(), engine_.numberList());
        press(kHandOff);
        sent.push_back(engine_.numberList() + (f.tiles ? std::string(1, '\0') : ""));
        for (int b = 0; round == 0 && b < 10; ++b)
            if (b != 1)
                flip(box(span(), b));
    }
    ASSERT_TRUE(host_->waitForMessages(2));
    const HostLog log = host_->read();
    ASSERT_EQ(log.messages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(log.messages[i].sender, reinterpret_cast<std::uintptr_t>(dialog_));
        EXPECT_EQ(log.messages[i].dwData, 0u);
        EXPECT_EQ(log.messages[i].cbData, sent[i].size());
        EXPECT_EQ(std::string(log.messages[i].bytes.begin(), log.messages[i].bytes.end()), sent[i]);
    }
    const ClipboardHold held;
    ASSERT_TRUE(held);
    EXPECT_EQ(answer(kCopy), kCopyFailedText);
}

// Every tile lies inside a group frame and overlaps no other; the hit counts
// ticked at start-up show disabled and ticked.
TEST_P(TileTest, TilesSitOnTheirFramesLayout) {
    start();
    std::vector<RECT> frames, tiles;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (windowClass(child) == L"TrendToggleBox")
            tiles.push_back(screenRect(child));
        else if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                 _wcsicmp(windowClass(child).c_str(), L"Button") == 0)
            frames.push_back(screenRect(child));
    }
    ASSERT_FALSE(tiles.empty());
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        RECT common;
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(),
                                [&](const RECT& frame) {
                                    return IntersectRect(&common, &frame, &tiles[i]) &&
                                           EqualRect(&common, &tiles[i]);
                                }))
            << "tile " << i << " off its frame";
        for (std::size_t j = i + 1; j < tiles.size(); ++j)
            EXPECT_FALSE(IntersectRect(&common, &tiles[i], &tiles[j])) << i << " on " << j;
    }
    for (int h = 0; h <= f.design->digitCount; ++h) {
        const COLORREF c = criteria_.mustContain.acceptsHits(h) ? RGB(255, 100, 100) : kUnticked;
        EXPECT_TRUE(waitUntil([&] { return fill(f.mustDigit + 10 + h) == c; })) << h;
    }
}

// A release flips an enabled tile, not a disabled one; a double click flips twice.
TEST_P(TileTest, RealClicksFlipTilesClicks) {
    start();
    criteria_.tick(0, 0);
    clickTile(box(0, 0), 1, kTicked);
    clickTile(f.mustDigit + 1);
    clickTile(box(span(), 0), 2);
    criteria_.tick(0, 0, false);
    clickTile(box(0, 0), 1, kUnticked);
    EXPECT_EQ(fill(f.mustDigit + 1), kUnticked);
    EXPECT_EQ(fill(box(span(), 0)), kUnticked);
    criteria_.tick(span(), 0);
    clickTile(box(span(), 0), 1, kTicked);
}

// The kept numbers saved as an indicator file in its folder beside bin/, .txt
// added to a bare name; a file that cannot be written is named in a message.
TEST_P(Sieve3Test, IndicatorFileBytes) {
    start();
    load("012 345 678");
    // Wine maps file names through the host's locale: without a Chinese or
    // UTF-8 locale it makes no Chinese names, and the files go to the test's folder.
    std::error_code error;
    const fs::path folder = fs::create_directory(folder_.path() / L"指标", error)
                                ? folder_.path() / L"文本指标" / L"三星文本" / L"自定义指标"
                                : folder_.path();
    for (const auto& [typed, saved] :
         {std::pair{L"mine.txt", L"mine.txt"}, {L"none", L"none.txt"}}) {
        clickButton(dialog_, kSaveIndicator);
        ASSERT_TRUE(completeFileDialog(dialog_, folder / typed));
        EXPECT_TRUE(waitUntil([&] {
            return readFileBytes(folder / saved) == engine_.numberList();
        })) << readFileBytes(folder / saved).value_or("<no file>");
        flip(box(span(), 2)); // 012, 345 and 678 all span 2
    }
    const LockedFile locked(folder_.file(L"locked.txt"), "old");
    clickButton(dialog_, kSaveIndicator);
    ASSERT_TRUE(completeFileDialog(dialog_, locked.path(), true));
    const auto box = answerMessageBox(dialog_);
    EXPECT_EQ(box ? utf8(box->text) : "no message", writeFailureText(locked.path()));
}

// The full list shown, then replaced by a shorter one in a fresh box; after
// 重置, the fresh empty box takes every number twice, pasted as a user
// pastes, and loads them.
TEST_P(Sieve5Test, LongTextsInTheNumberBox) {
    start();
    const std::string all = shown();
    press(kShow);
    EXPECT_TRUE(longText(control(dialog_, kNumbers)) == all) << "every number";
    flip(box(0, 0));
    press(kShow);
    EXPECT_TRUE(longText(control(dialog_, kNumbers)) == shown()) << "all but 0xxxx";
    ASSERT_TRUE(setClipboardText(all + all));
    press(kReset);
    SendMessageW(control(dialog_, kNumbers), WM_PASTE, 0, 0);
    ASSERT_TRUE(longText(control(dialog_, kNumbers)) == all + all) << "the paste was cut";
    press(kLoadBase);
    EXPECT_EQ(count(), full());
}

const auto kName = [](const auto& info) { return std::string(info.param->name); };
INSTANTIATE_TEST_SUITE_P(Sieve2, FilterTest, ::testing::Values(&kSieve2), kName);
INSTANTIATE_TEST_SUITE_P(Sieve3, FilterTest, ::testing::Values(&kSieve3), kName);
INSTANTIATE_TEST_SUITE_P(Sieve4, FilterTest, ::testing::Values(&kSieve4), kName);
INSTANTIATE_TEST_SUITE_P(Sieve5, FilterTest, ::testing::Values(&kSieve5), kName);
INSTANTIATE_TEST_SUITE_P(Sieve4, TileTest, ::testing::Values(&kSieve4), kName);
INSTANTIATE_TEST_SUITE_P(Sieve5, TileTest, ::testing::Values(&kSieve5), kName);
INSTANTIATE_TEST_SUITE_P(Sieve3, Sieve3Test, ::testing::Values(&kSieve3), kName);
INSTANTIATE_TEST_SUITE_P(Sieve5, Sieve5Test, ::testing::Values(&kSieve5), kName);

} // namespace
