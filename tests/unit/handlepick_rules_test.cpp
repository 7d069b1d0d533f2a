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

// ---------------------------------------------------------------- handle text

TEST(HandleText, DecimalIsTheLowThirtyTwoBitsSignedAndHexIsUpperCaseWithoutPrefix) {
    struct Case {
        WindowId window;
        const char* decimal;
        const char* hex;
    };
    const Case cases[] = {
        {0, "0", "0"},
        {0x10062, "65634", "10062"},
        {0xABCDEF, "11259375", "ABCDEF"},
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

// ---------------------------------------------------------------- window under the pointer

// A fake screen: windows with rectangles and children in sibling order; the
// platform's answer at a point is given per test.
class FakeTree final : public WindowTree {
  public:
    struct Window {
        ScreenRect rect;
        std::vector<WindowId> children;
    };
    std::map<WindowId, Window> windows;
    WindowId atPoint = 0;

    WindowId windowAt(ScreenPoint) const override { return atPoint; }
    WindowId firstChild(WindowId window) const override {
        const auto found = windows.find(window);
        if (found == windows.end() || found->second.children.empty())
            return 0;
        return found->second.children.front();
    }
    WindowId nextSibling(WindowId window) const override {
        for (const auto& [id, parent] : windows) {
            const auto& children = parent.children;
            for (std::size_t i = 0; i + 1 < children.size(); ++i)
                if (children[i] == window)
                    return children[i + 1];
        }
        return 0;
    }
    std::optional<ScreenRect> windowRect(WindowId window) const override {
        const auto found = windows.find(window);
        if (found == windows.end())
            return std::nullopt;
        return found->second.rect;
    }
};

// A top-level window 100 with an enabled button 101, a disabled control 102
// under it, and a control 103 that overlaps 102 further down the sibling
// order; the button has a child 104 of its own.
FakeTree sampleScreen() {
    FakeTree tree;
    tree.windows[100] = {{100, 100, 500, 400}, {101, 102, 103}};
    tree.windows[101] = {{120, 120, 270, 160}, {104}};
    tree.windows[102] = {{120, 200, 270, 240}, {}};
    tree.windows[103] = {{200, 220, 300, 260}, {}};
    tree.windows[104] = {{125, 125, 135, 135}, {}};
    return tree;
}

TEST(WindowUnder, OneLevelOfChildrenIsSearchedInSiblingOrder) {
    struct Case {
        const char* name;
        WindowId platformAnswer;
        ScreenPoint point;
        WindowId expected;
    };
    const Case cases[] = {
        {"the platform's answer without children", 102, {150, 210}, 102},
        {"a disabled control is found below its parent", 100, {150, 210}, 102},
        {"overlapping children: the first in sibling order wins", 100, {210, 230}, 102},
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
        FakeTree tree = sampleScreen();
        tree.atPoint = c.platformAnswer;
        EXPECT_EQ(windowUnder(tree, c.point), c.expected) << c.name;
    }
}

TEST(WindowUnder, AChildThatHasGoneIsPassedOver) {
    FakeTree tree = sampleScreen();
    tree.windows.erase(102); // listed as a child, but its rectangle is gone
    tree.atPoint = 100;
    EXPECT_EQ(windowUnder(tree, {210, 230}), 103);
}

TEST(OutlineRect, EdgesAboveOrLeftOfTheScreenAreMovedToTheEdge) {
    struct Case {
        ScreenRect window;
        ScreenRect expected;
    };
    const Case cases[] = {
        {{10, 20, 300, 400}, {10, 20, 300, 400}},       {{-8, 20, 300, 400}, {0, 20, 300, 400}},
        {{10, -30, 300, 400}, {10, 0, 300, 400}},       {{-8, -8, 1608, 1008}, {0, 0, 1608, 1008}},
        {{-500, -500, -100, -100}, {0, 0, -100, -100}},
    };
    for (const Case& c : cases) {
        const ScreenRect got = outlineRect(c.window);
        EXPECT_EQ(got.left, c.expected.left) << c.window.left << "," << c.window.top;
        EXPECT_EQ(got.top, c.expected.top) << c.window.left << "," << c.window.top;
        EXPECT_EQ(got.right, c.expected.right) << c.window.left << "," << c.window.top;
        EXPECT_EQ(got.bottom, c.expected.bottom) << c.window.left << "," << c.window.top;
    }
}

// ---------------------------------------------------------------- cutting texts

TEST(CutText, StopsAtTheFirstZeroAndAtTheLimitWithoutSplittingASurrogatePair) {
    struct Case {
        const char* name;
        std::wstring text;
        std::size_t limit;
        std::wstring expected;
    };
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    const Case cases[] = {
        {"short text", L"abc", 199, L"abc"},
        {"empty", L"", 199, L""},
        {"exactly at the limit", std::wstring(199, L'x'), 199, std::wstring(199, L'x')},
        {"one over the limit", std::wstring(200, L'x'), 199, std::wstring(199, L'x')},
        {"Chinese counts by characters", std::wstring(300, L'字'), 199, std::wstring(199, L'字')},
        {"embedded zero", std::wstring(L"ab\0cd", 5), 199, L"ab"},
        {"pair across the limit", std::wstring(198, L'x') + pair, 199, std::wstring(198, L'x')},
        {"pair inside the limit", std::wstring(197, L'x') + pair + L"y", 199,
         std::wstring(197, L'x') + pair},
        {"limit zero", L"abc", 0, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutText(c.text, c.limit), c.expected) << c.name;
}

// ---------------------------------------------------------------- another window's text

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
    const std::wstring longCaption(250, L'题');
    const Case cases[] = {
        {"a button's text", 4, L"目标按钮", caption, L"目标按钮", 5},
        {"no text: the caption", 0, std::nullopt, caption, caption, std::nullopt},
        {"no text: the caption cut at 199", 0, std::nullopt, longCaption, std::wstring(199, L'题'),
         std::nullopt},
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
