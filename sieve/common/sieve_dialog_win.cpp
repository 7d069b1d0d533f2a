#include "sieve/common/sieve_dialog_win.h"

#include "sieve/common/number_actions_win.h"

#include "shell/app_win.h"
#include "shell/strconv_win.h"

#include <algorithm>
#include <cstdint>

namespace sieve {

SieveDialog::SieveDialog(int templateId, shell::MainDialog::Traits dialogTraits,
                         const FilterDesign& design, const FilterControlIds& ids,
                         FilterDialogTraits traits)
    : MainDialog(templateId, dialogTraits), sieve_(design), ids_(ids), traits_(traits) {}

BOOL SieveDialog::onInit() {
    count_.attach(item(ids_.count));
    EnableWindow(item(ids_.handOff), shell::hostLink().hostWindow() != 0);
    resetBoxes();
    return TRUE;
}

void SieveDialog::addBox(int id, int target, int box) {
    boxes_.push_back({id, target, box, item(id)});
}

bool SieveDialog::isBox(int id) const {
    return std::any_of(boxes_.begin(), boxes_.end(), [id](const Box& box) { return box.id == id; });
}

bool SieveDialog::checked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

SieveCriteria SieveDialog::readCriteria() const {
    SieveCriteria criteria = SieveCriteria::startState(sieve_.design());
    MustContainRule& rule = criteria.mustContain;
    rule.hitCounts = 0;
    for (const Box& box : boxes_) {
        if (SendMessageW(box.window, BM_GETCHECK, 0, 0) != BST_CHECKED)
            continue;
        if (box.target >= 0)
            criteria.tick(box.target, box.box);
        else if (box.target == kMustDigitBoxes)
            rule.mustDigits = static_cast<std::uint16_t>(rule.mustDigits | (1u << box.box));
        else
            rule.hitCounts = static_cast<std::uint8_t>(rule.hitCounts | (1u << box.box));
    }
    rule.on = checked(ids_.mustOn);
    rule.distinctHits = checked(ids_.distinct);
    return criteria;
}

void SieveDialog::recompute() {
    sieve_.recompute(readCriteria());
    count_.setCount(sieve_.keptCount());
}

void SieveDialog::enableMustContain(bool enabled) {
    for (const Box& box : boxes_) {
        if (box.target < 0)
            EnableWindow(box.window, enabled);
    }
    EnableWindow(item(ids_.distinct), enabled);
}

// Every flag kept, every kill and must-contain digit box unticked, the hit
// counts back to their start state, the full count shown. The base set is
// not touched.
void SieveDialog::resetBoxes() {
    sieve_.reset();
    const std::uint8_t startHits = sieve_.design().startHitCounts;
    for (const Box& box : boxes_) {
        const bool tick = box.target == kHitCountBoxes && ((startHits >> box.box) & 1u);
        SendMessageW(box.window, BM_SETCHECK, tick ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (traits_.resetEndsMustContain) {
        CheckDlgButton(hwnd(), ids_.mustOn, BST_UNCHECKED);
        enableMustContain(false);
    }
    if (traits_.resetClearsDistinct)
        CheckDlgButton(hwnd(), ids_.distinct, BST_UNCHECKED);
    count_.setCount(sieve_.candidates());
}

void SieveDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    if (id == ids_.mustOn) {
        enableMustContain(checked(ids_.mustOn));
        recompute();
    } else if (id == ids_.distinct || isBox(id)) {
        recompute();
    } else if (id == ids_.reset) {
        resetBoxes();
        if (traits_.resetEndsBaseSet)
            sieve_.endBaseSet();
        replaceNumberBoxText(L"");
    } else if (id == ids_.loadBase) {
        loadBaseSetFromBox(hwnd(), item(ids_.numbers), sieve_, count_, [this] { resetBoxes(); });
    } else if (id == ids_.show) {
        replaceNumberBoxText(numberBoxText());
        if (traits_.showSetsCount)
            count_.setCount(sieve_.keptCount());
    } else if (id == ids_.copy) {
        copyNumbers(hwnd(), sieve_);
    } else if (id == ids_.handOff) {
        handNumbersOff(hwnd(), sieve_, traits_.handOffZero);
    } else {
        onToolCommand(id);
    }
}

std::wstring SieveDialog::numberBoxText() const {
    return shell::widen(sieve_.numberList());
}

void SieveDialog::replaceNumberBoxText(const std::wstring& text) {
    SetDlgItemTextW(hwnd(), ids_.numbers, text.c_str());
}

} // namespace sieve
