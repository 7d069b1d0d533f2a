// The picker's portable rules: how a handle is written, which window the
// pointer picks (the platform's answer and one level of children), the
// outline at the screen's edge, and reading another window's text whatever
// that window answers.
#include "handlepick/handlepick_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace handlepick;

TEST(HandleText, DecimalIsTheLowThirtyTwoBitsSignedAndHexIsUpperCaseWithoutPrefix) {
    struct Case {
        WindowId window;
        const char* decimal;
        const char* hex;
    };
    const Case cases[] = {
        {0, "0", "0"},
        {0x10062, "65634", "10062"},
        {0x7FFFFFFF, "2147483647", "7FFFFFFF"},
        {0x80000000u, "-2147483648", "80000000"},
        {0xFFFFFFFFu, "-1", "FFFFFFFF"},
        // A 64-bit handle keeps only what matters between 32- and 64-bit programs.
        {static_cast<WindowId>(0xFFFFFFFFFFFF1234ull), "-60876", "FFFF1234"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(handleText(c.window, false), c.decimal) << "handle " << std::hex << c.window;
        EXPECT_EQ(handleText(c.window, true), c.hex) << "handle " << std::hex << c.window;
    }
}

// A fake screen: each window's rectangle (none once it has gone) and parent,
// siblings in the order of their ids; the platform's answer is set per case.
class FakeTree final : public WindowTree {
  public:
    std::map<WindowId, std::pair<std::optional<ScreenRect>, WindowId>> windows;
    WindowId atPoint = 0;

    WindowId windowAt(ScreenPoint) const override { return atPoint; }
    WindowId firstChild(WindowId window) const override { return nextChild(window, 0); }
    WindowId nextSibling(WindowId window) const override {
        const auto found = windows.find(window);
        return found == windows.end() ? 0 : nextChild(found->second.second, window);
    }
    std::optional<ScreenRect> windowRect(WindowId window) const override {
        const auto found = windows.find(window);
        return found == windows.end() ? std::nullopt : found->second.first;
    }

  private:
    WindowId nextChild(WindowId parent, WindowId after) const {
        for (auto at = windows.upper_bound(after); at != windows.end(); ++at) {
            if (at->second.second == parent)
                return at->first;
        }
        return 0;
    }
};

TEST(WindowUnder, OneLevelOfChildrenIsSearchedInSiblingOrder) {
    struct Case {
        const char* name;
        WindowId platformAnswer;
        ScreenPoint point;
        WindowId expected;
        WindowId gone = 0;
    };
    // A top-level window 100 with an enabled button 101, a disabled control
    // 102 under it, and a control 103 that overlaps 102 further down the
    // sibling order; the button has a child 104 of its own.
    const Case cases[] = {
        {"the platform's answer without children", 102, {150, 210}, 102},
        {"a disabled control is found below its parent", 100, {150, 210}, 102},
        {"overlapping children: the first in sibling order wins", 100, {210, 230}, 102},
        {"a child that has gone is passed over", 100, {210, 230}, 103, 102},
        {"a point only in the later sibling", 100, {290, 250}, 103},
        {"a point in no child keeps the parent", 100, {400, 350}, 100},
        {"the right and bottom edges are outside", 100, {270, 160}, 100},
        {"the left and top edges are inside", 100, {120, 120}, 101},
        {"grandchildren are not searched", 100, {130, 130}, 101},
        {"the children of the answer are searched, not its parent's", 101, {130, 130}, 104},
        {"an unknown window picks itself", 555, {130, 130}, 555},
        {"no window at all", 0, {1, 1}, 0},
    };
    for (const Case& c : cases) {
        FakeTree tree;
        tree.windows = {{100, {ScreenRect{100, 100, 500, 400}, 0}},
                        {101, {ScreenRect{120, 120, 270, 160}, 100}},
                        {102, {ScreenRect{120, 200, 270, 240}, 100}},
                        {103, {ScreenRect{200, 220, 300, 260}, 100}},
                        {104, {ScreenRect{125, 125, 135, 135}, 101}}};
        if (c.gone != 0)
            tree.windows[c.gone].first.reset();
        tree.atPoint = c.platformAnswer;
        EXPECT_EQ(windowUnder(tree, c.point), c.expected) << c.name;
    }
}

TEST(OutlineRect, EdgesAboveOrLeftOfTheScreenAreMovedToTheEdge) {
    const auto edges = [](ScreenRect r) {
        return std::vector<long>{r.left, r.top, r.right, r.bottom};
    };
    const std::pair<ScreenRect, ScreenRect> cases[] = {
        {{10, 20, 300, 400}, {10, 20, 300, 400}},       {{-8, 20, 300, 400}, {0, 20, 300, 400}},
        {{10, -30, 300, 400}, {10, 0, 300, 400}},       {{-8, -8, 1608, 1008}, {0, 0, 1608, 1008}},
        {{-500, -500, -100, -100}, {0, 0, -100, -100}},
    };
    for (const auto& [window, expected] : cases)
        EXPECT_EQ(edges(outlineRect(window)), edges(expected)) << window.left << "," << window.top;
}

TEST(CutText, StopsAtTheFirstZeroAndAtTheLimitWithoutSplittingASurrogatePair) {
    struct Case {
        const char* name;
        std::wstring text;
        std::size_t limit;
        std::wstring expected;
    };
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    const std::wstring lastPair = {wchar_t(0xDBFF), wchar_t(0xDFFF)};
    const Case cases[] = {
        {"short text", L"abc", 199, L"abc"},
        {"empty", L"", 199, L""},
        {"exactly at the limit", std::wstring(199, L'x'), 199, std::wstring(199, L'x')},
        {"one over the limit", std::wstring(200, L'x'), 199, std::wstring(199, L'x')},
        {"Chinese counts by characters", std::wstring(300, L'字'), 199, std::wstring(199, L'字')},
        {"embedded zero", std::wstring(L"ab\0cd", 5), 199, L"ab"},
        {"pair across the limit", std::wstring(198, L'x') + pair, 199, std::wstring(198, L'x')},
        {"last high surrogate across the limit", std::wstring(198, L'x') + lastPair, 199,
         std::wstring(198, L'x')},
        {"pair inside the limit", std::wstring(197, L'x') + pair + L"y", 199,
         std::wstring(197, L'x') + pair},
        {"limit zero", L"abcdef", 0, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutText(c.text, c.limit), c.expected) << c.name;
}

// A window that answers the text requests as told, and records what it was asked.
class FakeTextSource final : public WindowTextSource {
  public:
    std::optional<long long> lengthAnswer;
    std::optional<std::wstring> textAnswer;
    std::wstring captionAnswer;
    mutable std::optional<std::size_t> askedCapacity;

    std::optional<long long> textLength(WindowId) const override { return lengthAnswer; }
    std::optional<std::wstring> text(WindowId, std::size_t capacity) const override {
        askedCapacity = capacity;
        return textAnswer;
    }
    std::wstring caption(WindowId) const override { return captionAnswer; }
};

TEST(WindowText, WhateverTheWindowAnswersTheTextIsBoundedAndFallsBackToTheCaption) {
    struct Case {
        const char* name;
        std::optional<long long> length;
        std::optional<std::wstring> text;
        std::wstring caption;
        std::wstring expected;
        std::optional<std::size_t> capacity; // asked for the text, nothing when not asked
    };
    const std::wstring caption = L"窗口标题";
    const Case cases[] = {
        {"a button's text", 4, L"目标按钮", caption, L"目标按钮", 5},
        {"no text: the caption cut at 199", 0, std::nullopt, std::wstring(250, L'题'),
         std::wstring(199, L'题'), std::nullopt},
        {"empty answer to the text request: the caption", 5, L"", caption, caption, 6},
        {"no answer at all (hung): the caption", std::nullopt, std::nullopt, caption, caption,
         std::nullopt},
        {"length answered, text not", 4, std::nullopt, caption, caption, 5},
        {"negative length", -5, L"abc", caption, caption, std::nullopt},
        {"more characters than the length claimed", 3, L"abcdef", caption, L"abc", 4},
        {"fewer characters than the length claimed", 10, L"abc", caption, L"abc", 11},
        {"embedded zero", 5, std::wstring(L"ab\0cd", 5), caption, L"ab", 6},
        {"huge length is asked for at most the limit", 1LL << 40, L"abc", caption, L"abc",
         kTextLimit + 1},
        {"text longer than the limit is cut", 1LL << 40, std::wstring(kTextLimit + 10, L'x'),
         caption, std::wstring(kTextLimit, L'x'), kTextLimit + 1},
        {"nothing anywhere", 0, std::nullopt, L"", L"", std::nullopt},
    };
    for (const Case& c : cases) {
        FakeTextSource source;
        source.lengthAnswer = c.length;
        source.textAnswer = c.text;
        source.captionAnswer = c.caption;
        EXPECT_EQ(windowText(source, 42), c.expected) << c.name;
        EXPECT_EQ(source.askedCapacity, c.capacity) << c.name;
    }
}

} // namespace
