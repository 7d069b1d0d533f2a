#include "shell/host_link_win.h"

namespace shell {

bool HostLink::handOff(HWND dialog, std::span<const std::uint8_t> payload) const {
    if (hostWindow_ == 0)
        return false;
    // A handle is 32 significant bits between 32- and 64-bit processes and
    // sign-extends into a 64-bit HWND.
    const HWND host =
        reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<std::int32_t>(hostWindow_)));
    COPYDATASTRUCT envelope{};
    envelope.dwData = 0;
    envelope.cbData = static_cast<DWORD>(payload.size());
    envelope.lpData = const_cast<std::uint8_t*>(payload.data());
    // A host that has stopped pumping messages must not freeze the tool: the
    // send gives up at once on a host the system already counts as hung, and
    // after kHandOffTimeoutMs otherwise. Without SMTO_BLOCK the wait still
    // serves messages sent to this thread, as SendMessage's does, so a host
    // that asks the sending dialog something while it handles the record is
    // answered instead of being kept waiting until the time-out. The system
    // copies the record into the message when it is sent, so the caller may
    // free its buffer even when the host handles the message late.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(host, WM_COPYDATA, reinterpret_cast<WPARAM>(dialog),
                               reinterpret_cast<LPARAM>(&envelope), SMTO_ABORTIFHUNG,
                               kHandOffTimeoutMs, &result) != 0;
}

} // namespace shell
