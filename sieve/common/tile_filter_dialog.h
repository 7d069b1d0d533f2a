// The dialog the four- and five-digit filters share: every criterion box is
// a ToggleBox created at start-up in a grid of pixel rectangles, the number
// box is a rich edit, and a release of the left button over a tile (seen
// before it is dispatched, by the tile's identifier) recomputes the count.
// Each tool gives its design, its tile grids, its template ids and the few
// points where it differs.
#pragma once

#include "sieve/common/count_display.h"
#include "sieve/common/number_sieve.h"
#include "sieve/common/sieve_design.h"
#include "sieve/common/toggle_box.h"

#include "shell/dialog.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sieve {

// One grid of tiles: box k of the grid sits at
// (left + stepX·(k mod perRow), top + stepY·⌊k / perRow⌋), width × height,
// in pixels of the dialog's client area as laid out with 宋体 9 at 96 DPI.
struct TileGrid {
    static constexpr int kMustDigits = -1; // the must-contain digits 0 .. 9
    static constexpr int kHitCounts = -2;  // the hit counts 0 .. digitCount

    int target; // a kill group index, or one of the two above
    int count;
    int left, top, width, height;
    int stepX, stepY, perRow;
    std::wstring (*caption)(int box);
};

struct TileDialogLayout {
    int templateId;
    int firstTileId;  // tiles are numbered from here in grid order
    int lastTileId;   // a release over an id in firstTileId .. lastTileId recomputes
    std::span<const TileGrid> grids;
    int mustOn, distinct, numbers, reset, loadBase, handOff, count, show, copy;
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

// Captions the grids use.
std::wstring numberCaption(int box);
// The pattern word of box `box`: position i takes `second` when bit
// (digits − 1 − i) of `box` is set, else `first`.
std::wstring patternCaption(int box, int digits, wchar_t first, wchar_t second);

// The number box's text: the NumberList with a line break after every tenth
// number (a rich edit fills in time only with short paragraphs).
std::wstring numberBoxLines(std::string_view numberList, int digits);

class TileFilterDialog : public shell::MainDialog {
  public:
    TileFilterDialog(const FilterDesign& design, const TileDialogLayout& layout,
                     TileDialogTraits traits);
    ~TileFilterDialog() override;

  protected:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onOK() override;
    void onCancel() override;
    std::optional<INT_PTR> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Tile {
        int target;
        int box;
        ToggleBox control;
    };

    static LRESULT CALLBACK messageHook(int code, WPARAM wParam, LPARAM lParam);
    bool createTiles();
    SieveCriteria readCriteria() const;
    void recompute();
    void resetBoxes();
    void enableMustContain(bool enabled);
    void showNumbers();
    void replaceNumberBoxText(const std::wstring& text);
    bool checked(int id) const;

    NumberSieve sieve_;
    TileDialogLayout layout_;
    TileDialogTraits traits_;
    CountDisplay count_;
    std::vector<std::unique_ptr<Tile>> tiles_;
    HHOOK hook_ = nullptr;
};

} // namespace sieve
