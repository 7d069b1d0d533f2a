// The link to the host program: the window handle it passed on the command
// line, and the one-message hand-off of a tool's result to that window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace shell {

class HostLink {
  public:
    HostLink() = default;
    explicit HostLink(std::uint32_t hostWindow) : hostWindow_(hostWindow) {}

    // 0 when the tool was started without a host.
    std::uint32_t hostWindow() const { return hostWindow_; }

    // The longest a hand-off waits for the host's window procedure: the time
    // after which the system itself calls a window that does not answer hung.
    static constexpr UINT kHandOffTimeoutMs = 5000;

    // Sends one WM_COPYDATA (wParam the sending dialog, dwData 0) and returns
    // once the host's window procedure has returned, or silently when the
    // host is gone, hung, or has not answered within kHandOffTimeoutMs. The
    // payload stays owned by the caller; the host copies what it keeps.
    // Nothing is sent without a host. Returns whether the host handled it.
    bool handOff(HWND dialog, std::span<const std::uint8_t> payload) const;

  private:
    std::uint32_t hostWindow_ = 0;
};

} // namespace shell
