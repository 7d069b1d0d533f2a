#include "sieve/common/filter_dialog_win.h"

namespace sieve {

FilterDialog::FilterDialog(const FilterDesign& design, const FilterDialogIds& ids,
                           FilterDialogTraits traits)
    : SieveDialog(ids.templateId, {}, design, ids.controls, traits), ids_(ids) {}

BOOL FilterDialog::onInit() {
    // Pasted base sets may run to megabytes.
    SendDlgItemMessageW(hwnd(), ids_.controls.numbers, EM_SETLIMITTEXT, 0, 0);
    const FilterDesign& design = numbers().design();
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        for (int box = 0; box < design.groups[g].boxCount; ++box)
            addBox(ids_.groupFirstIds[g] + box, static_cast<int>(g), box);
    }
    for (int digit = 0; digit <= 9; ++digit)
        addBox(ids_.mustDigitFirst + digit, kMustDigitBoxes, digit);
    for (int hits = 0; hits <= design.digitCount; ++hits)
        addBox(ids_.hitFirst + hits, kHitCountBoxes, hits);
    return SieveDialog::onInit();
}

} // namespace sieve
