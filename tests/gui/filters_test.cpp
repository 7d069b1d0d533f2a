// The four number filters driven from outside as a user would. Every count,
// list, clipboard text, file and hand-off is compared with what the filter's
// own engine gives for the same boxes and base sets, mirrored step by step.
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
constexpr COLORREF kTicked = RGB(255, 0, 0), kUnticked = RGB(200, 200, 200),
                   kDisabledTicked = RGB(255, 100, 100);

struct Filter {
    const char* name;
    const sieve::FilterDesign* design;
    int mustDigit, hitCount; // ids of must-contain digit 0 and hit count 0
    // The first box id of each kill group, groups in the order they were
    // made: the check boxes' ids from resource.h, the tiles consecutive.
    std::vector<int> firstIds;
    bool tiles, resetEndsMustContain, resetClearsDistinct, resetEndsBaseSet;
};

std::vector<int> tileIds(const sieve::FilterDesign& design, int first, std::vector<int> order) {
    std::vector<int> ids(order.size());
    for (const int g : order) {
        ids[static_cast<std::size_t>(g)] = first;
        first += design.groups[static_cast<std::size_t>(g)].boxCount;
    }
    return ids;
}

const Filter kSieve2{"sieve2", &sieve2::kDesign, 1020, 1030,
                     {1100, 1110, 1120, 1130, 1150, 1160, 1170, 1180, 1190, 1200},
                     false, true, false, true};
const Filter kSieve3{"sieve3", &sieve3::kDesign, 1020, 1030,
                     {1100, 1110, 1120, 1130, 1160, 1190, 1200, 1210, 1220, 1230, 1240, 1250, 1260},
                     false, true, true, true};
const Filter kSieve4{"sieve4", &sieve4::kDesign, 40000, 40010,
                     tileIds(sieve4::kDesign, 40015, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                     true, true, true, false};
const Filter kSieve5{"sieve5", &sieve5::kDesign, 50000, 50010,
                     tileIds(sieve5::kDesign, 50016, {0, 1, 2, 3, 4, 5, 6, 7, 11, 8, 9, 10}),
                     true, false, false, false};

// A window's whole text, however long (WM_GETTEXT is carried across processes).
std::string longText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return utf8(text);
}

COLORREF fill(HWND tile) { // a few pixels in from the corner, clear of frame and caption
    const RECT rect = screenRect(tile);
    return screenPixel(rect.left + 3, rect.top + 3);
}

class FilterFixture : public ::testing::Test {
  protected:
    explicit FilterFixture(const Filter& filter)
        : f(filter), engine_(*filter.design),
          criteria_(sieve::SieveCriteria::startState(*filter.design)) {}
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_))
            saveScreenshot(dialog_, wide(f.name) + L"-failed");
    }

    // A copy in bin/ of the test's folder: sieve3's indicator folder, beside
    // bin/, stays in the test's folder too.
    void start(bool host = false) {
        const fs::path exe = folder_.path() / L"bin" / (wide(f.name) + L".exe");
        fs::create_directories(exe.parent_path());
        fs::copy_file(programDirectory() / exe.filename(), exe);
        if (host)
            ASSERT_TRUE(host_ = HostProbe::start(exe, folder_.file(L"host.log")));
        else
            tool_ = Process::start(exe);
        dialog_ = waitForMainDialog(host ? host_->tool().id() : tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

    // Returns once the tool has handled what was posted to it before: the
    // pressed state posted to 显示号码 comes back (the number box cannot
    // carry the marker, the tile filters replace it).
    bool settle() const {
        const HWND button = control(dialog_, kShow);
        PostMessageW(button, BM_SETSTATE, TRUE, 0);
        const bool arrived = waitUntil([&] {
            DWORD_PTR state = 0;
            return SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
                   (state & BST_PUSHED);
        });
        SendMessageTimeoutW(button, BM_SETSTATE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        return arrived;
    }
    std::string count() const { return utf8(controlText(dialog_, kCount)); }
    std::string numbers() const { return longText(control(dialog_, kNumbers)); }
    int box(int group, int index) const {
        return f.firstIds[static_cast<std::size_t>(group)] + index;
    }
    int group(std::string_view name) const { return f.design->findGroup(name); }
    void press(int id) {
        clickButton(dialog_, id);
        ASSERT_TRUE(settle());
    }
    std::string answer(int id) {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_);
        EXPECT_TRUE(box) << "no message box after pressing " << id;
        EXPECT_EQ(utf8(box ? box->title : L""), f.name);
        return box ? utf8(box->text) : "";
    }

    // The same click on the dialog's box and in the engine's criteria; the
    // count shown must be the engine's.
    void click(int g, int index, bool on) {
        criteria_.tick(g, index, on);
        setCheckBox(dialog_, box(g, index), on);
        recountAndCompare(std::to_string(g) + "/" + std::to_string(index));
    }
    void recountAndCompare(const std::string& what) {
        ASSERT_TRUE(settle());
        engine_.recompute(criteria_);
        ASSERT_EQ(count(), std::to_string(engine_.keptCount())) << "after " << what;
    }
    // 重置 as the tool does it (its must-contain box and 不记重胆/记重 kept or not).
    void resetModel() {
        const sieve::MustContainRule kept = criteria_.mustContain;
        criteria_ = sieve::SieveCriteria::startState(*f.design);
        criteria_.mustContain.on = !f.resetEndsMustContain && kept.on;
        criteria_.mustContain.distinctHits = !f.resetClearsDistinct && kept.distinctHits;
        engine_.reset();
    }
    // 装入大底 of `text`; the message it showed, if any.
    std::string load(const std::string& text) {
        EXPECT_TRUE(setControlText(dialog_, kNumbers, wide(text)));
        if (!sieve::cleanBaseSetText(text).empty())
            resetModel();
        const sieve::BaseSetLoad result = engine_.loadBaseSet(text);
        if (result == sieve::BaseSetLoad::malformed)
            return answer(kLoadBase);
        press(kLoadBase);
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
        if (result == sieve::BaseSetLoad::loaded) {
            EXPECT_EQ(count(), std::to_string(engine_.keptCount()));
        }
        return "";
    }
    // The number box's text after 显示号码: the tile filters' rich edit
    // takes ten numbers a line.
    std::string shown(const std::string& list) const {
        if (!f.tiles)
            return list;
        const std::size_t width = static_cast<std::size_t>(f.design->digitCount) + 1;
        std::string text;
        for (std::size_t at = 0, n = 1; at < list.size(); at += width, ++n)
            text += list.substr(at, width) + (n % 10 == 0 ? "\r\n" : "");
        return text;
    }
    // The first digits of `digits`: "11111" gives 11 in sieve2.
    std::string number(std::string_view digits) const {
        return std::string(digits.substr(0, static_cast<std::size_t>(f.design->digitCount)));
    }

    const Filter& f;
    sieve::NumberSieve engine_;
    sieve::SieveCriteria criteria_;
    TempFolder folder_{L"filter"};
    std::optional<HostProbe> host_;
    Process tool_;
    HWND dialog_ = nullptr;
};

class FilterTest : public FilterFixture, public ::testing::WithParamInterface<const Filter*> {
  protected:
    FilterTest() : FilterFixture(*GetParam()) {}
};

// Clicks on every kind of box, base sets and the reset, each followed by the
// engine's count for the same steps.
TEST_P(FilterTest, CountFollowsTheEngine) {
    start();
    EXPECT_EQ(count(), std::to_string(f.design->candidates()));
    for (int h = 0; h <= f.design->digitCount; ++h)
        EXPECT_EQ(isChecked(dialog_, f.hitCount + h), criteria_.mustContain.acceptsHits(h));
    sieve::MustContainRule& rule = criteria_.mustContain;
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 40; ++step) {
        const int kind = pick(8), digit = pick(10), hits = pick(f.design->digitCount + 1);
        if (kind == 0) {
            setCheckBox(dialog_, kMustOn, rule.on = !rule.on);
        } else if (kind == 1 && rule.on) {
            rule.mustDigits = static_cast<std::uint16_t>(rule.mustDigits ^ (1u << digit));
            setCheckBox(dialog_, f.mustDigit + digit, rule.hasDigit(digit));
        } else if (kind == 2 && rule.on) {
            rule.hitCounts = static_cast<std::uint8_t>(rule.hitCounts ^ (1u << hits));
            setCheckBox(dialog_, f.hitCount + hits, rule.acceptsHits(hits));
        } else if (kind == 3 && rule.on) {
            setCheckBox(dialog_, kDistinct, rule.distinctHits = !rule.distinctHits);
        } else {
            const int g = pick(static_cast<int>(f.design->groups.size()));
            const int b = pick(f.design->groups[static_cast<std::size_t>(g)].boxCount);
            click(g, b, !criteria_.isTicked(g, b));
            continue;
        }
        recountAndCompare("must-contain step " + std::to_string(step));
        ASSERT_EQ(isEnabled(dialog_, f.mustDigit + digit), rule.on);
        ASSERT_EQ(isEnabled(dialog_, kDistinct), rule.on);
    }
    setCheckBox(dialog_, kMustOn, rule.on = false);
    recountAndCompare("the must-contain box unticked");

    // Three numbers (one twice): the boxes unticked, the user's text kept.
    const int first = 0, span = group("span");
    const std::string three = number("11111") + "," + number("12345") + "\r\n" +
                              number("56789") + " " + number("11111");
    EXPECT_EQ(load(three), "");
    EXPECT_EQ(count(), "3");
    EXPECT_EQ(numbers(), three);
    EXPECT_FALSE(isChecked(dialog_, box(first, 3)));
    click(span, 0, true);
    EXPECT_EQ(count(), "2");

    // The reset of each tool, then a click from the base set or from all numbers.
    setCheckBox(dialog_, kMustOn, rule.on = true);
    setCheckBox(dialog_, kDistinct, rule.distinctHits = true);
    click(first, 3, true);
    press(kReset);
    resetModel();
    if (f.resetEndsBaseSet)
        engine_.endBaseSet();
    EXPECT_EQ(count(), std::to_string(f.design->candidates()));
    EXPECT_EQ(numbers(), "");
    EXPECT_FALSE(isChecked(dialog_, box(first, 3)) || isChecked(dialog_, box(span, 0)));
    EXPECT_EQ(isChecked(dialog_, kMustOn), rule.on);
    EXPECT_EQ(isEnabled(dialog_, f.mustDigit), rule.on);
    EXPECT_EQ(isChecked(dialog_, kDistinct), rule.distinctHits);
    for (int h = 0; h <= f.design->digitCount; ++h)
        EXPECT_EQ(isChecked(dialog_, f.hitCount + h), rule.acceptsHits(h));
    setCheckBox(dialog_, kMustOn, rule.on = false);
    click(span, 0, true);

    // Malformed: the message, the full count, the numbers before the bad
    // token the base set of the next click.
    EXPECT_EQ(load(number("33333") + " 1 " + number("44444")), f.design->malformedMessage);
    EXPECT_EQ(count(), std::to_string(f.design->candidates()));
    click(first, 9, true);
    // Separators only: no message, an empty base set; an empty box ends it.
    EXPECT_EQ(load(" , \r\n"), "");
    click(first, 9, false);
    EXPECT_EQ(load(""), "");
    click(first, 2, true);
}

// 显示号码, 复制号码 and 出图 with some boxes ticked, then with nothing kept;
// a copy while another program holds the clipboard.
TEST_P(FilterTest, ShowCopyAndHandOffBytes) {
    start(true);
    EXPECT_TRUE(isEnabled(dialog_, kHandOff));
    std::mt19937 random(3);
    for (int b = 5; b < 10; ++b)
        click(0, b, true);
    for (int n = 0; n < 2; ++n) {
        const auto g = 1 + random() % (f.design->groups.size() - 1);
        click(static_cast<int>(g), static_cast<int>(random() % static_cast<unsigned>(f.design->groups[g].boxCount)), true);
    }
    ASSERT_GT(engine_.keptCount(), 0);
    press(kShow);
    EXPECT_EQ(numbers(), shown(engine_.numberList()));
    EXPECT_EQ(count(), std::to_string(engine_.keptCount()));
    std::vector<std::string> sent;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(setClipboardText("before"));
        EXPECT_EQ(answer(kCopy), "成功复制 " + std::to_string(engine_.keptCount()) + " 注号码!");
        EXPECT_EQ(clipboardText(), engine_.numberList());
        press(kHandOff);
        sent.push_back(engine_.numberList() + (f.tiles ? std::string(1, '\0') : ""));
        for (int b = 0; round == 0 && b < 10; ++b)
            click(group("span"), b, true);
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

const auto kFilterName = [](const auto& info) { return std::string(info.param->name); };
INSTANTIATE_TEST_SUITE_P(Sieve2, FilterTest, ::testing::Values(&kSieve2), kFilterName);
INSTANTIATE_TEST_SUITE_P(Sieve3, FilterTest, ::testing::Values(&kSieve3), kFilterName);
INSTANTIATE_TEST_SUITE_P(Sieve4, FilterTest, ::testing::Values(&kSieve4), kFilterName);
INSTANTIATE_TEST_SUITE_P(Sieve5, FilterTest, ::testing::Values(&kSieve5), kFilterName);

// The tiles of sieve4 and sieve5.
class TileTest : public FilterTest {
  protected:
    HWND tile(int id) const { return control(dialog_, id); }
    // Real clicks through the X display, in the middle of a tile.
    void clickTile(int id, int times = 1) {
        const RECT r = screenRect(tile(id));
        ASSERT_TRUE(runX11Command({"xdotool", "mousemove", std::to_string((r.left + r.right) / 2),
                                   std::to_string((r.top + r.bottom) / 2), "click", "--repeat",
                                   std::to_string(times), "--delay", "80", "1"}));
    }
    // Real input is not ordered with posted messages: wait for what shows.
    void expectShown(int id, COLORREF colour) {
        EXPECT_TRUE(waitUntil([&] { return fill(tile(id)) == colour; })) << "tile " << id;
        engine_.recompute(criteria_);
        const std::string want = std::to_string(engine_.keptCount());
        EXPECT_TRUE(waitUntil([&] { return count() == want; })) << count() << " for " << want;
    }
};

// Every tile, numbered in creation order, lies inside a group frame and
// overlaps no other; the hit counts ticked at start-up show disabled and ticked.
TEST_P(TileTest, TilesSitOnTheirFramesLayout) {
    start();
    std::vector<RECT> frames, tiles;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (windowClass(child) == L"TrendToggleBox") {
            EXPECT_EQ(GetDlgCtrlID(child), f.mustDigit + static_cast<int>(tiles.size()));
            tiles.push_back(screenRect(child));
        } else if (_wcsicmp(windowClass(child).c_str(), L"Button") == 0 &&
                   (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
            frames.push_back(screenRect(child));
        }
    }
    std::size_t boxes = 10 + static_cast<std::size_t>(f.design->digitCount) + 1;
    for (const sieve::KillGroup& g : f.design->groups)
        boxes += static_cast<std::size_t>(g.boxCount);
    EXPECT_EQ(tiles.size(), boxes);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        RECT overlap;
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const RECT& frame) {
            return IntersectRect(&overlap, &frame, &tiles[i]) && EqualRect(&overlap, &tiles[i]);
        })) << "tile " << f.mustDigit + static_cast<int>(i) << " off its frame";
        for (std::size_t j = i + 1; j < tiles.size(); ++j)
            EXPECT_FALSE(IntersectRect(&overlap, &tiles[i], &tiles[j])) << "tiles " << i << ", " << j;
    }
    for (int h = 0; h <= f.design->digitCount; ++h) {
        const COLORREF want = criteria_.mustContain.acceptsHits(h) ? kDisabledTicked : kUnticked;
        EXPECT_TRUE(waitUntil([&] { return fill(tile(f.hitCount + h)) == want; })) << "hit count " << h;
    }
}

// A release flips an enabled tile; a disabled one stays; a double click flips twice.
TEST_P(TileTest, RealClicksFlipTilesClicks) {
    start();
    const int span = group("span");
    clickTile(box(0, 0));
    criteria_.tick(0, 0);
    expectShown(box(0, 0), kTicked);
    clickTile(f.mustDigit + 1);
    clickTile(box(span, 0), 2);
    clickTile(box(0, 0));
    criteria_.tick(0, 0, false);
    expectShown(box(0, 0), kUnticked);
    EXPECT_EQ(fill(tile(f.mustDigit + 1)), kUnticked);
    EXPECT_EQ(fill(tile(box(span, 0))), kUnticked);
    EXPECT_EQ(count(), std::to_string(f.design->candidates()));
    clickTile(box(span, 0));
    criteria_.tick(span, 0);
    expectShown(box(span, 0), kTicked);
}

INSTANTIATE_TEST_SUITE_P(Sieve4, TileTest, ::testing::Values(&kSieve4), kFilterName);
INSTANTIATE_TEST_SUITE_P(Sieve5, TileTest, ::testing::Values(&kSieve5), kFilterName);

class Sieve3Test : public FilterFixture {
  protected:
    Sieve3Test() : FilterFixture(kSieve3) {}
};

// The kept numbers saved as an indicator file in its folder beside bin/:
// the engine's list, .txt added to a bare name; a file that cannot be
// written is named in a message.
TEST_F(Sieve3Test, IndicatorFileBytes) {
    start();
    load("012 345 678");
    // Wine maps file names through the host's locale: without a Chinese or
    // UTF-8 locale it cannot make Chinese names, and the files go to the test's folder.
    std::error_code error;
    const fs::path folder = fs::create_directory(folder_.path() / L"指标", error)
                                ? folder_.path() / L"文本指标" / L"三星文本" / L"自定义指标"
                                : folder_.path();
    for (const auto& [typed, written] : {std::pair{L"mine.txt", L"mine.txt"}, {L"empty", L"empty.txt"}}) {
        clickButton(dialog_, kSaveIndicator);
        ASSERT_TRUE(completeFileDialog(dialog_, folder / typed));
        EXPECT_TRUE(waitUntil([&] { return readFileBytes(folder / written) == engine_.numberList(); }))
            << readFileBytes(folder / written).value_or("<no file>");
        click(group("span"), 2, true); // 012, 345 and 678 all span 2
    }
    const LockedFile locked(folder_.file(L"locked.txt"), "old");
    clickButton(dialog_, kSaveIndicator);
    ASSERT_TRUE(completeSaveDialogReplacing(dialog_, locked.path()));
    const auto box = answerMessageBox(dialog_);
    ASSERT_TRUE(box) << "the failed save was silent";
    EXPECT_EQ(utf8(box->text), writeFailureText(locked.path()));
}

class Sieve5Test : public FilterFixture {
  protected:
    Sieve5Test() : FilterFixture(kSieve5) {}
};

// Every number twice, pasted as a user pastes, loads; the full box is then
// replaced by the list, and that again by a shorter one.
TEST_F(Sieve5Test, LongTextsInTheNumberBox) {
    start();
    const std::string all = shown(engine_.numberList());
    ASSERT_TRUE(setClipboardText(all + all));
    SendMessageW(control(dialog_, kNumbers), WM_PASTE, 0, 0);
    press(kLoadBase);
    EXPECT_EQ(count(), std::to_string(f.design->candidates()));
    press(kShow);
    EXPECT_EQ(numbers(), all);
    click(0, 0, true);
    press(kShow);
    EXPECT_EQ(numbers(), shown(engine_.numberList()));
}

} // namespace
