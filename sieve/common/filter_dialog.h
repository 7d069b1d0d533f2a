// The dialog the two- and three-digit filters share: check boxes for every
// criterion group, the must-contain group, the number box, the count display
// and the buttons 重置, 装入大底, 显示号码, 复制号码 and 出图. Each tool
// gives its design, its control ids and its few differences.
#pragma once

#include "sieve/common/count_display.h"
#include "sieve/common/number_sieve.h"
#include "sieve/common/sieve_design.h"

#include "shell/dialog.h"

#include <span>
#include <string>

namespace sieve {

struct FilterDialogIds {
    int templateId;
    std::span<const int> groupFirstIds; // per kill group: the id of its box 0
    int mustOn;                         // 胆码选号 / 胆码大底
    int mustDigitFirst;                 // digits 0 .. 9
    int hitFirst;                       // hit counts 0 .. digitCount
    int distinct;                       // 记重 / 不记重胆
    int numbers, reset, loadBase, handOff, count, show, copy;
};

struct FilterDialogTraits {
    // Whether a reset unticks the distinct-hit box (sieve3) or keeps its tick (sieve2).
    bool resetClearsDistinct = true;
};

class FilterDialog : public shell::MainDialog {
  public:
    FilterDialog(const FilterDesign& design, const FilterDialogIds& ids, FilterDialogTraits traits);

  protected:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onOK() override {} // Enter outside the number box does nothing.

    // A command of the tool's own; true when handled.
    virtual bool onToolCommand(int /*id*/) { return false; }
    const NumberSieve& numbers() const { return sieve_; }

  private:
    bool isCriterionBox(int id) const;
    SieveCriteria readCriteria() const;
    void recompute();
    void resetBoxes();
    void enableMustContain(bool enabled);
    void showNumbers();
    bool checked(int id) const;
    void setChecked(int id, bool on);

    NumberSieve sieve_;
    FilterDialogIds ids_;
    FilterDialogTraits traits_;
    CountDisplay count_;
};

} // namespace sieve
