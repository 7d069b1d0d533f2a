#include "sieve/sieve4/sieve4_dialog_win.h"

#include "sieve/common/tile_filter_dialog_win.h"
#include "sieve/sieve4/resource.h"
#include "sieve/sieve4/sieve4_engine.h"

#include <array>

namespace {

using sieve::patternCaption;
using sieve::TileGrid;

std::wstring formCaption(int box) {
    constexpr const wchar_t* kForms[] = {L"组24", L"组12", L"组6", L"组4", L"豹子"};
    return kForms[box];
}

// The tool's own tiles, after the must-contain and position tiles, in
// creation order (which is also their id and tab order), in pixels at 96 DPI.
const std::array<TileGrid, 7> kGrids{{
    {sieve4::kSum, 37, 15, 260, 25, 13},
    {sieve4::kTail, 10, 15, 376, 25, 10},
    {sieve4::kSpan, 10, 15, 430, 25, 10},
    {sieve4::kBigSmall, 16, 15, 485, 55, 4, patternCaption<4, L'大', L'小'>},
    {sieve4::kOddEven, 16, 267, 485, 55, 4, patternCaption<4, L'奇', L'偶'>},
    {sieve4::kPrimeComposite, 16, 519, 485, 55, 4, patternCaption<4, L'质', L'合'>},
    {sieve4::kForm, 5, 425, 395, 40, 5, formCaption},
}};

constexpr sieve::TileDialogLayout kLayout{
    IDD_SIEVE4,
    IDT_FIRST_TILE,
    kGrids,
    {IDX_MUST_ON, IDX_DISTINCT, IDC_NUMBERS, IDC_RESET, IDC_LOAD_BASE, IDC_HANDOFF, IDC_COUNT,
     IDC_SHOW, IDC_COPY},
};

} // namespace

void runSieve4Dialog() {
    sieve::TileFilterDialog dialog(sieve4::kDesign, kLayout, {});
    dialog.runModal(nullptr);
}
