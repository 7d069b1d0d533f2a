// The picker's portable rules: how a handle is written, which window the pointer picks
// (the platform's answer and one level of children), the outline at the screen's edge,
// and reading another window's text whatever that window answers.
#include "handlepick/handlepick_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace handlepick;

TEST(HandleText, DecimalIsTheLowThirtyTwoBitsSignedAndHexIsUpperCaseWithoutPrefix) {
    const std::tuple<WindowId, const char*, const char*> cases[] = {
        {0, "0", "0"},
        {0x10062, "65634", "10062"},
        {0x7FFFFFFF, "2147483647", "7FFFFFFF"},
        {0x80000000u, "-2147483648", "80000000"},
        {0xFFFFFFFFu, "-1", "FFFFFFFF"},
        // A 64-bit handle keeps only what matters between 32- and 64-bit programs.
        {static_cast<WindowId>(0xFFFFFFFFFFFF1234ull), "-60876", "FFFF1234"},
    };
    for (const auto& [window, decimal, hex] : cases) {
        EXPECT_EQ(handleText(window, false), decimal) << "handle " << std::hex << window;
        EXPECT_EQ(handleText(window, true), hex) << "handle " << std::hex << window;
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
    // A top-level window 100 with an enabled button 101, a disabled control 102 under it, and
    // 103 overlapping 102 later in sibling order; 104 is the button's child. Each case: the
    // platform's answer, the point, the window picked, and a window that has gone.
    const std::tuple<const char*, WindowId, ScreenPoint, WindowId, WindowId> cases[] = {
        {"a disabled control is found below its parent", 100, {150, 210}, 102, 0},
        {"overlapping children: the first in sibling order wins", 100, {210, 230}, 102, 0},
        {"a child that has gone is passed over", 100, {210, 230}, 103, 102},
        {"a point in no child keeps the parent", 100, {400, 350}, 100, 0},
        {"the right and bottom edges are outside", 100, {270, 160}, 100, 0},
        {"the left and top edges are inside", 100, {120, 120}, 101, 0},
        {"grandchildren are not searched", 100, {130, 130}, 101, 0},
        {"the children of the answer are searched, not its parent's", 101, {130, 130}, 104, 0},
        {"an unknown window picks itself", 555, {130, 130}, 555, 0},
        {"no window at all", 0, {1, 1}, 0, 0},
    };
    for (const auto& [name, platformAnswer, point, expected, gone] : cases) {
        FakeTree tree;
        tree.windows = {{100, {ScreenRect{100, 100, 500, 400}, 0}},
                        {101, {ScreenRect{120, 120, 270, 160}, 100}},
                        {102, {ScreenRect{120, 200, 270, 240}, 100}},
                        {103, {ScreenRect{200, 220, 300, 260}, 100}},
                        {104, {ScreenRect{125, 125, 135, 135}, 101}}};
        if (gone != 0)
            tree.windows[gone].first.reset();
        tree.atPoint = platformAnswer;
        EXPECT_EQ(windowUnder(tree, point), expected) << name;
    }
}

TEST(OutlineRect, EdgesAboveOrLeftOfTheScreenAreMovedToTheEdge) {
    const auto edges = [](ScreenRect r) {
        return std::vector<long>{r.left, r.top, r.right, r.bottom};
    };
    const std::pair<ScreenRect, ScreenRect> cases[] = {{{10, 20, 300, 400}, {10, 20, 300, 400}},
                                                       {{-8, -8, 1608, 1008}, {0, 0, 1608, 1008}},
                                                       {{-500, 20, -100, 400}, {0, 20, -100, 400}},
                                                       {{10, -30, 300, -10}, {10, 0, 300, -10}}};
    for (const auto& [window, expected] : cases)
        EXPECT_EQ(edges(outlineRect(window)), edges(expected)) << window.left << "," << window.top;
}

TEST(CutText, StopsAtTheFirstZeroAndAtTheLimitWithoutSplittingASurrogatePair) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    const std::wstring lastPair = {wchar_t(0xDBFF), wchar_t(0xDFFF)};
    const std::tuple<const char*, std::wstring, std::size_t, std::wstring> cases[] = {
        {"exactly at the limit", std::wstring(199, L'x'), 199, std::wstring(199, L'x')},
        {"one over the limit", std::wstring(200, L'x'), 199, std::wstring(199, L'x')},
        {"embedded zero", std::wstring(L"ab\0cd", 5), 199, L"ab"},
        {"pair across the limit", std::wstring(198, L'x') + pair, 199, std::wstring(198, L'x')},
        {"last high surrogate across the limit", std::wstring(198, L'x') + lastPair, 199,
         std::wstring(198, L'x')},
        {"pair inside the limit", std::wstring(197, L'x') + pair + L"y", 199,
         std::wstring(197, L'x') + pair},
        {"limit zero", L"abcdef", 0, L""},
    };
    for (const auto& [name, text, limit, expected] : cases)
        EXPECT_EQ(cutText(text, limit), expected) << name;
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
    const std::wstring caption = L"窗口标题";
    const std::nullopt_t none = std::nullopt;
    // Each case: the window's answers (length, text, caption), the text read, and the
    // capacity asked for the text (none when not asked).
    const std::tuple<const char*, std::optional<long long>, std::optional<std::wstring>,
                     std::wstring, std::wstring, std::optional<std::size_t>>
        cases[] = {
            {"a button's text", 4, L"目标按钮", caption, L"目标按钮", 5},
            {"no text: the caption cut at 199", 0, none, std::wstring(250, L'题'),
             std::wstring(199, L'题'), none},
            {"empty answer to the text request: the caption", 5, L"", caption, caption, 6},
            {"no answer at all (hung): the caption", none, none, caption, caption, none},
            {"length answered, text not", 4, none, caption, caption, 5},
            {"negative length", -5, L"abc", caption, caption, none},
            {"more characters than the length claimed", 3, L"abcdef", caption, L"abc", 4},
            {"fewer characters than the length claimed", 10, L"abc", caption, L"abc", 11},
            {"embedded zero", 5, std::wstring(L"ab\0cd", 5), caption, L"ab", 6},
            {"huge length is asked for at most the limit", 1LL << 40, L"abc", caption, L"abc",
             kTextLimit + 1},
            {"text longer than the limit is cut", 1LL << 40, std::wstring(kTextLimit + 10, L'x'),
             caption, std::wstring(kTextLimit, L'x'), kTextLimit + 1},
            {"nothing anywhere", 0, none, L"", L"", none},
        };
    for (const auto& [name, length, text, title, expected, capacity] : cases) {
        FakeTextSource source;
        source.lengthAnswer = length;
        source.textAnswer = text;
        source.captionAnswer = title;
        EXPECT_EQ(windowText(source, 42), expected) << name;
        EXPECT_EQ(source.askedCapacity, capacity) << name;
    }
}

} // namespace
