#include "handlepick/handlepick_rules.h"

#include <algorithm>
#include <cstdio>

namespace handlepick {

std::string handleText(WindowId window, bool hexadecimal) {
    const auto low = static_cast<std::uint32_t>(window);
    char text[16] = {};
    if (hexadecimal)
        std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(low));
    else
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<std::int32_t>(low)));
    return text;
}

WindowId windowUnder(const WindowTree& tree, ScreenPoint point) {
    const WindowId found = tree.windowAt(point);
    if (found == 0)
        return found;
    for (WindowId child = tree.firstChild(found); child != 0; child = tree.nextSibling(child)) {
        const auto rect = tree.windowRect(child);
        if (rect && rect->contains(point))
            return child;
    }
    return found;
}

ScreenRect outlineRect(ScreenRect windowRect) {
    windowRect.left = std::max(windowRect.left, 0L);
    windowRect.top = std::max(windowRect.top, 0L);
    return windowRect;
}

std::wstring cutText(std::wstring_view text, std::size_t limit) {
    text = text.substr(0, text.find(L'\0'));
    if (text.size() <= limit)
        return std::wstring(text);
    std::size_t length = limit;
    if (length > 0) {
        const auto last = static_cast<std::uint32_t>(text[length - 1]);
        if (last >= 0xD800 && last <= 0xDBFF)
            --length;
    }
    return std::wstring(text.substr(0, length));
}

std::wstring windowText(const WindowTextSource& source, WindowId window) {
    std::wstring text;
    const auto length = source.textLength(window);
    if (length && *length > 0) {
        const auto wanted = static_cast<std::size_t>(
            std::min<long long>(*length, static_cast<long long>(kTextLimit)));
        if (const auto answer = source.text(window, wanted + 1))
            text = cutText(*answer, wanted);
    }
    if (!text.empty())
        return text;
    return cutText(source.caption(window), kCaptionLimit);
}

} // namespace handlepick
