// The dialog of the four- and five-digit filters: every criterion box is a
// ToggleBox created at start-up in a grid of pixel rectangles, and the
// number box is a rich edit. Each tool gives its design, its tile grids, its
// template ids and the few points where it differs.
#pragma once

#include "sieve/common/sieve_dialog_win.h"
#include "sieve/common/toggle_box_win.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sieve {

// Captions the grids use.
std::wstring numberCaption(int box);
// The pattern word of box `box`: position i takes `second` when bit
// (digits − 1 − i) of `box` is set, else `first`.
std::wstring patternCaption(int box, int digits, wchar_t first, wchar_t second);
template <int Digits, wchar_t First, wchar_t Second> std::wstring patternCaption(int box) {
    return patternCaption(box, Digits, First, Second);
}

// One grid of tiles: box k of the grid sits at
// (left + (width + 5)·(k mod perRow), top + 30·⌊k / perRow⌋), width × 25,
// in pixels of the dialog's client area as laid out with 宋体 9 at 96 DPI.
struct TileGrid {
    static constexpr int kMustDigits = kMustDigitBoxes;
    static constexpr int kHitCounts = kHitCountBoxes;
    static constexpr int kHeight = 25;
    static constexpr int kGap = 5;

    int target; // a kill group index, or one of the two above
    int count;
    int left, top, width, perRow;
    std::wstring (*caption)(int box) = numberCaption;
};

// Both tools have the must-contain tiles and one row of ten per position
// (groups 0 .. digitCount − 1) at the same place; the dialog makes those
// first, then the tool's own grids.
struct TileDialogLayout {
    int templateId;
    int firstTileId; // tiles are numbered from here in grid order
    std::span<const TileGrid> grids;
    FilterControlIds controls;
};

struct TileDialogTraits {
    // The reset also unticks 胆码大底 and 不记重胆 and disables the must-contain
    // tiles (sieve4); otherwise it leaves them as they are (sieve5).
    bool resetEndsMustContain = true;
    // Enter and Escape close the dialog like its close box (sieve4);
    // otherwise only the close box does (sieve5).
    bool closesOnEnterEscape = true;
    bool aboutItem = true;
};

// The number box's text: the NumberList with a line break after every tenth
// number (a rich edit fills in time only with short paragraphs).
std::wstring numberBoxLines(std::string_view numberList, int digits);

class TileFilterDialog : public SieveDialog {
  public:
    TileFilterDialog(const FilterDesign& design, const TileDialogLayout& layout,
                     TileDialogTraits traits);

  protected:
    BOOL onInit() override;
    void onOK() override;
    void onCancel() override;
    std::optional<INT_PTR> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::wstring numberBoxText() const override;
    void replaceNumberBoxText(const std::wstring& text) override;

  private:
    bool createTiles();

    TileDialogLayout layout_;
    TileDialogTraits traits_;
    std::vector<std::unique_ptr<ToggleBox>> tiles_;
};

} // namespace sieve
