// What every filter dialog does with its numbers, whatever its boxes look
// like: 装入大底 from the number box, 复制号码 and 出图.
#pragma once

#include "sieve/common/count_display_win.h"
#include "sieve/common/number_sieve.h"

#include <windows.h>

#include <functional>
#include <string>

namespace sieve {

// 装入大底: the number box's text becomes the base set. A text that cleans
// to something first runs `resetBoxes`; a malformed one is reported with the
// filter's message; a load shows its count.
void loadBaseSetFromBox(HWND dialog, HWND numberBox, NumberSieve& sieve, CountDisplay& count,
                        const std::function<void()>& resetBoxes);

// 复制号码: the NumberList on the clipboard and the message with its count;
// the copy failure message when the clipboard cannot take it.
void copyNumbers(HWND dialog, const NumberSieve& sieve);

// 出图: the NumberList to the host, followed by one zero byte in the four-
// and five-digit filters. Nothing without a host.
void handNumbersOff(HWND dialog, const NumberSieve& sieve, bool terminatingZero);

} // namespace sieve
