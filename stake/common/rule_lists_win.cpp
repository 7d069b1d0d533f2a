#include "stake/common/rule_lists_win.h"

#include "stake/common/stake_rules.h"

#include "shell/strconv_win.h"

#include <string_view>

namespace stake {

void fillRuleLists(HWND dialog, int starsId, int modeId) {
    for (const std::string_view stars : kStarCountItems)
        SendDlgItemMessageW(dialog, starsId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(shell::widen(stars).c_str()));
    for (const std::string_view mode : kUnitModeItems)
        SendDlgItemMessageW(dialog, modeId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(shell::widen(mode).c_str()));
}

} // namespace stake
