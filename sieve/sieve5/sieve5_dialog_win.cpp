#include "sieve/sieve5/sieve5_dialog_win.h"

#include "sieve/common/tile_filter_dialog_win.h"
#include "sieve/sieve5/resource.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <array>

namespace {

using sieve::patternCaption;
using sieve::TileGrid;

std::wstring formCaption(int box) {
    constexpr const wchar_t* kForms[] = {L"组120", L"组60", L"组30", L"组20",
                                         L"组10",  L"组5",  L"豹子"};
    return kForms[box];
}

// The tool's own tiles, after the must-contain and position tiles, in
// creation order (which is also their id and tab order), in pixels at 96 DPI.
const std::array<TileGrid, 7> kGrids{{
    {sieve5::kSum, 46, 15, 290, 25, 16},
    {sieve5::kTail, 10, 15, 406, 25, 10},
    {sieve5::kSpan, 10, 335, 406, 25, 10},
    {sieve5::kForm, 7, 655, 406, 40, 7, formCaption},
    {sieve5::kBigSmall, 32, 15, 465, 65, 16, patternCaption<5, L'大', L'小'>},
    {sieve5::kOddEven, 32, 15, 553, 65, 16, patternCaption<5, L'奇', L'偶'>},
    {sieve5::kPrimeComposite, 32, 15, 643, 65, 16, patternCaption<5, L'质', L'合'>},
}};

constexpr sieve::TileDialogLayout kLayout{
    IDD_SIEVE5,
    IDT_FIRST_TILE,
    kGrids,
    {IDX_MUST_ON, IDX_DISTINCT, IDC_NUMBERS, IDC_RESET, IDC_LOAD_BASE, IDC_HANDOFF, IDC_COUNT,
     IDC_SHOW, IDC_COPY},
};

} // namespace

void runSieve5Dialog() {
    // The reset leaves 胆码大底 and 不记重胆 as they are; Enter and Escape do
    // nothing; no About item.
    sieve::TileFilterDialog dialog(
        sieve5::kDesign, kLayout,
        {.resetEndsMustContain = false, .closesOnEnterEscape = false, .aboutItem = false});
    dialog.runModal(nullptr);
}
