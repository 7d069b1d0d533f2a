#include "shell/host_link.h"

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
    SendMessageW(host, WM_COPYDATA, reinterpret_cast<WPARAM>(dialog),
                 reinterpret_cast<LPARAM>(&envelope));
    return true;
}

} // namespace shell
