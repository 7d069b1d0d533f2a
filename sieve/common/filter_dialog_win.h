// The dialog of the two- and three-digit filters: the criterion boxes are
// check boxes of the template, numbered from each group's first id, and the
// number box is a plain edit. Each tool gives its design, its control ids
// and its few differences.
#pragma once

#include "sieve/common/sieve_dialog_win.h"

#include <span>

namespace sieve {

struct FilterDialogIds {
    int templateId;
    std::span<const int> groupFirstIds; // per kill group: the id of its box 0
    int mustDigitFirst;                 // digits 0 .. 9
    int hitFirst;                       // hit counts 0 .. digitCount
    FilterControlIds controls;
};

class FilterDialog : public SieveDialog {
  public:
    FilterDialog(const FilterDesign& design, const FilterDialogIds& ids, FilterDialogTraits traits);

  protected:
    BOOL onInit() override;
    void onOK() override {} // Enter outside the number box does nothing.

  private:
    FilterDialogIds ids_;
};

} // namespace sieve
