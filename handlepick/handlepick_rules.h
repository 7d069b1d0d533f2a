// The rules of the window-handle picker that do not need a window system:
// how a handle is written, which window under the pointer is picked, and
// how another window's text is read safely whatever that window answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace handlepick {

// A window handle as the tools pass it around: only its low 32 bits matter
// between 32- and 64-bit programs. 0 is no window.
using WindowId = std::uintptr_t;

// "%ld" of the handle's low 32 bits taken as signed, or "%X" (upper case,
// no prefix) of the same 32 bits.
std::string handleText(WindowId window, bool hexadecimal);

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    // Right and bottom edges are outside, as in the platform's PtInRect.
    bool contains(ScreenPoint point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
};

// What the picker asks the window system about the windows on the screen.
class WindowTree {
  public:
    virtual ~WindowTree() = default;
    virtual WindowId windowAt(ScreenPoint point) const = 0;
    virtual WindowId firstChild(WindowId window) const = 0;
    virtual WindowId nextSibling(WindowId window) const = 0;
    // Nothing when the window has gone.
    virtual std::optional<ScreenRect> windowRect(WindowId window) const = 0;
};

// The window at the point, or the first of its direct children (in sibling
// order) whose rectangle holds the point. The platform's own answer skips
// disabled controls; this one level of search finds them.
WindowId windowUnder(const WindowTree& tree, ScreenPoint point);

// The outline is drawn from the screen's edge when the window reaches
// beyond its top or left.
ScreenRect outlineRect(ScreenRect windowRect);

// The caption is read into a buffer of 200 characters: at most 199.
inline constexpr std::size_t kCaptionLimit = 199;
// A window that claims a longer text is read up to this many characters.
inline constexpr std::size_t kTextLimit = 32767;

// What another window answers to the requests for its text. Any answer is
// possible: none at all (hung or gone), a negative or huge length, more
// characters than asked for, embedded zeros.
class WindowTextSource {
  public:
    virtual ~WindowTextSource() = default;
    // The answer to the text-length request; nothing when there was none.
    virtual std::optional<long long> textLength(WindowId window) const = 0;
    // The answer to the text request with room for `capacity` characters
    // including the terminating zero; nothing when there was none.
    virtual std::optional<std::wstring> text(WindowId window, std::size_t capacity) const = 0;
    // The window's caption as the window system keeps it.
    virtual std::wstring caption(WindowId window) const = 0;
};

// The characters up to the first zero, at most `limit` of them; a cut never
// leaves half of a surrogate pair behind.
std::wstring cutText(std::wstring_view text, std::size_t limit);

// The window's text; when it is empty, its caption cut at kCaptionLimit.
std::wstring windowText(const WindowTextSource& source, WindowId window);

} // namespace handlepick
