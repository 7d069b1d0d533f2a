// The two drop-down lists every calculator shows: the star counts
// ("5星" … "1星") and the unit-amount modes ("1元" … "2厘").
#pragma once

#include <windows.h>

namespace stake {

void fillRuleLists(HWND dialog, int starsId, int modeId);

} // namespace stake
