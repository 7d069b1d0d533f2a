#include "sieve/common/number_actions_win.h"

#include "sieve/common/base_set.h"

#include "shell/app_win.h"
#include "shell/clipboard_win.h"
#include "shell/strconv_win.h"
#include "shell/window_text_win.h"

#include <cstdint>
#include <cwchar>

namespace sieve {

void loadBaseSetFromBox(HWND dialog, HWND numberBox, NumberSieve& sieve, CountDisplay& count,
                        const std::function<void()>& resetBoxes) {
    const std::string text = shell::toUtf8(shell::windowText(numberBox));
    // A text that cleans to nothing only ends the base set in force.
    if (!cleanBaseSetText(text).empty())
        resetBoxes();
    switch (sieve.loadBaseSet(text)) {
    case BaseSetLoad::malformed:
        shell::showMessage(dialog, shell::widen(sieve.design().malformedMessage));
        break;
    case BaseSetLoad::loaded:
        count.setCount(sieve.keptCount());
        break;
    case BaseSetLoad::empty:
    case BaseSetLoad::noNumbers:
        break;
    }
}

void copyNumbers(HWND dialog, const NumberSieve& sieve) {
    // The list is ASCII: its code page 936 bytes are its own.
    if (!shell::copyTextToClipboard(dialog, sieve.numberList())) {
        shell::showCopyFailure(dialog);
        return;
    }
    wchar_t message[64];
    std::swprintf(message, 64, L"成功复制 %d 注号码!", sieve.keptCount());
    shell::showMessage(dialog, message);
}

void handNumbersOff(HWND dialog, const NumberSieve& sieve, bool terminatingZero) {
    if (shell::hostLink().hostWindow() == 0)
        return;
    std::string payload = sieve.numberList();
    if (terminatingZero)
        payload.push_back('\0');
    shell::hostLink().handOff(
        dialog, {reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()});
}

} // namespace sieve
