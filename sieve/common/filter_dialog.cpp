#include "sieve/common/filter_dialog.h"

#include "sieve/common/number_actions.h"

#include "shell/app.h"
#include "shell/strconv.h"

#include <cstdint>
#include <string_view>

namespace sieve {

FilterDialog::FilterDialog(const FilterDesign& design, const FilterDialogIds& ids,
                           FilterDialogTraits traits)
    : MainDialog(ids.templateId), sieve_(design), ids_(ids), traits_(traits) {}

BOOL FilterDialog::onInit() {
    count_.attach(item(ids_.count));
    // Pasted base sets may run to megabytes.
    SendDlgItemMessageW(hwnd(), ids_.numbers, EM_SETLIMITTEXT, 0, 0);
    EnableWindow(item(ids_.handOff), shell::hostLink().hostWindow() != 0);
    resetBoxes();
    return TRUE;
}

bool FilterDialog::checked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

void FilterDialog::setChecked(int id, bool on) {
    CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool FilterDialog::isCriterionBox(int id) const {
    const FilterDesign& design = sieve_.design();
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        const int first = ids_.groupFirstIds[g];
        if (id >= first && id < first + design.groups[g].boxCount)
            return true;
    }
    return (id >= ids_.mustDigitFirst && id < ids_.mustDigitFirst + 10) ||
           (id >= ids_.hitFirst && id <= ids_.hitFirst + design.digitCount) || id == ids_.distinct;
}

SieveCriteria FilterDialog::readCriteria() const {
    const FilterDesign& design = sieve_.design();
    SieveCriteria criteria = SieveCriteria::startState(design);
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        for (int box = 0; box < design.groups[g].boxCount; ++box)
            criteria.tick(static_cast<int>(g), box, checked(ids_.groupFirstIds[g] + box));
    }
    MustContainRule& rule = criteria.mustContain;
    rule.on = checked(ids_.mustOn);
    for (int digit = 0; digit <= 9; ++digit) {
        if (checked(ids_.mustDigitFirst + digit))
            rule.mustDigits = static_cast<std::uint16_t>(rule.mustDigits | (1u << digit));
    }
    rule.hitCounts = 0;
    for (int hits = 0; hits <= design.digitCount; ++hits) {
        if (checked(ids_.hitFirst + hits))
            rule.hitCounts = static_cast<std::uint8_t>(rule.hitCounts | (1u << hits));
    }
    rule.distinctHits = checked(ids_.distinct);
    return criteria;
}

void FilterDialog::recompute() {
    sieve_.recompute(readCriteria());
    count_.setCount(sieve_.keptCount());
}

void FilterDialog::enableMustContain(bool enabled) {
    for (int digit = 0; digit <= 9; ++digit)
        EnableWindow(item(ids_.mustDigitFirst + digit), enabled);
    for (int hits = 0; hits <= sieve_.design().digitCount; ++hits)
        EnableWindow(item(ids_.hitFirst + hits), enabled);
    EnableWindow(item(ids_.distinct), enabled);
}

// Every flag kept, every box unticked, the must-contain group back to its
// start state and disabled, the full count shown. The base set is not touched.
void FilterDialog::resetBoxes() {
    const FilterDesign& design = sieve_.design();
    sieve_.reset();
    for (std::size_t g = 0; g < design.groups.size(); ++g) {
        for (int box = 0; box < design.groups[g].boxCount; ++box)
            setChecked(ids_.groupFirstIds[g] + box, false);
    }
    for (int digit = 0; digit <= 9; ++digit)
        setChecked(ids_.mustDigitFirst + digit, false);
    setChecked(ids_.mustOn, false);
    enableMustContain(false);
    for (int hits = 0; hits <= design.digitCount; ++hits)
        setChecked(ids_.hitFirst + hits, (design.startHitCounts >> hits) & 1u);
    if (traits_.resetClearsDistinct)
        setChecked(ids_.distinct, false);
    count_.setCount(sieve_.candidates());
}

void FilterDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    if (id == ids_.mustOn) {
        enableMustContain(checked(ids_.mustOn));
        recompute();
    } else if (isCriterionBox(id)) {
        recompute();
    } else if (id == ids_.reset) {
        resetBoxes();
        sieve_.endBaseSet();
        SetDlgItemTextW(hwnd(), ids_.numbers, L"");
    } else if (id == ids_.loadBase) {
        loadBaseSetFromBox(hwnd(), item(ids_.numbers), sieve_, count_, [this] { resetBoxes(); });
    } else if (id == ids_.show) {
        showNumbers();
    } else if (id == ids_.copy) {
        copyNumbers(hwnd(), sieve_);
    } else if (id == ids_.handOff) {
        // The two- and three-digit filters send the bare text.
        handNumbersOff(hwnd(), sieve_, false);
    } else {
        onToolCommand(id);
    }
}

void FilterDialog::showNumbers() {
    SetDlgItemTextW(hwnd(), ids_.numbers, shell::widen(sieve_.numberList()).c_str());
    count_.setCount(sieve_.keptCount());
}

} // namespace sieve
