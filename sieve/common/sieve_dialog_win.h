// What every filter dialog does, whatever its criterion boxes look like
// (check boxes in the two- and three-digit filters, tiles in the four- and
// five-digit ones): each click on a box recounts, the master box enables the
// must-contain group, and the buttons 重置, 装入大底, 显示号码, 复制号码 and
// 出图 act on the sieve and the number box. A box of either kind answers
// BM_GETCHECK and BM_SETCHECK and tells the dialog of a click with
// BN_CLICKED after its state has changed.
#pragma once

#include "sieve/common/count_display_win.h"
#include "sieve/common/number_sieve.h"
#include "sieve/common/sieve_design.h"

#include "shell/dialog_win.h"

#include <string>
#include <vector>

namespace sieve {

// The boxes of the must-contain group stand where a kill group index would.
inline constexpr int kMustDigitBoxes = -1; // the must-contain digits 0 .. 9
inline constexpr int kHitCountBoxes = -2;  // the hit counts 0 .. digitCount

// The controls every filter dialog has.
struct FilterControlIds {
    int mustOn;   // 胆码选号 / 胆码大底
    int distinct; // 记重 / 不记重胆
    int numbers, reset, loadBase, handOff, count, show, copy;
};

// Where the filters differ in what their buttons do.
struct FilterDialogTraits {
    // The reset unticks the master box and disables the must-contain group
    // (all but sieve5, which leaves them as they are).
    bool resetEndsMustContain = true;
    // The reset unticks the distinct-hit box (sieve3, sieve4).
    bool resetClearsDistinct = true;
    // The reset ends the base set in force (sieve2, sieve3).
    bool resetEndsBaseSet = true;
    // 显示号码 shows the count of the list too (sieve2, sieve3).
    bool showSetsCount = true;
    // 出图 sends one zero byte after the list (sieve4, sieve5).
    bool handOffZero = false;
};

class SieveDialog : public shell::MainDialog {
  protected:
    SieveDialog(int templateId, shell::MainDialog::Traits dialogTraits, const FilterDesign& design,
                const FilterControlIds& ids, FilterDialogTraits traits);

    // The derived dialog adds its criterion boxes, then calls this.
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;

    // Box `box` of kill group `target` (or of kMustDigitBoxes, kHitCountBoxes)
    // is the child window `id`.
    void addBox(int id, int target, int box);
    // A command of the tool's own; true when handled.
    virtual bool onToolCommand(int /*id*/) { return false; }
    // The number box's text for the list, and how the box takes a text.
    virtual std::wstring numberBoxText() const;
    virtual void replaceNumberBoxText(const std::wstring& text);

    const NumberSieve& numbers() const { return sieve_; }
    const FilterControlIds& ids() const { return ids_; }

  private:
    struct Box {
        int id;
        int target;
        int box;
        HWND window;
    };

    bool isBox(int id) const;
    bool checked(int id) const;
    SieveCriteria readCriteria() const;
    void recompute();
    void resetBoxes();
    void enableMustContain(bool enabled);

    NumberSieve sieve_;
    FilterControlIds ids_;
    FilterDialogTraits traits_;
    CountDisplay count_;
    std::vector<Box> boxes_;
};

} // namespace sieve
