#include "sieve/sieve2/sieve2_dialog_win.h"

#include "sieve/common/filter_dialog_win.h"
#include "sieve/sieve2/resource.h"
#include "sieve/sieve2/sieve2_engine.h"

#include <array>

namespace {

// The first box of each group, in the engine's group order.
constexpr std::array<int, sieve2::kGroupCount> kGroupFirstIds = {
    IDX_TENS, IDX_UNITS,    IDX_ROUTE,   IDX_SUM,       IDX_TAIL,
    IDX_SPAN, IDX_BIGSMALL, IDX_ODDEVEN, IDX_PRIMECOMP, IDX_PAIR,
};

constexpr sieve::FilterDialogIds kIds{
    IDD_SIEVE2,
    kGroupFirstIds,
    IDX_MUST_DIGIT,
    IDX_HIT,
    {IDX_MUST_ON, IDX_DISTINCT, IDC_NUMBERS, IDC_RESET, IDC_LOAD_BASE, IDC_HANDOFF, IDC_COUNT,
     IDC_SHOW, IDC_COPY},
};

} // namespace

void runSieve2Dialog() {
    // A reset keeps the tick of 不记重胆 (the box is only disabled).
    sieve::FilterDialog dialog(sieve2::kDesign, kIds, {.resetClearsDistinct = false});
    dialog.runModal(nullptr);
}
