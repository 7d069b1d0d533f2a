#include "sieve/sieve5/sieve5_dialog.h"

#include "sieve/common/tile_filter_dialog.h"
#include "sieve/sieve5/resource.h"
#include "sieve/sieve5/sieve5_engine.h"

#include <array>

namespace {

using sieve::numberCaption;
using sieve::TileGrid;

std::wstring formCaption(int box) {
    constexpr const wchar_t* kForms[] = {L"组120", L"组60", L"组30", L"组20",
                                         L"组10",  L"组5",  L"豹子"};
    return kForms[box];
}

// The tiles in creation order (which is also their id and tab order), in
// pixels at 96 DPI.
const std::array<TileGrid, 14> kGrids{{
    {TileGrid::kMustDigits, 10, 30, 25, 25, 25, 30, 0, 10, numberCaption},
    {TileGrid::kHitCounts, 6, 75, 55, 25, 25, 30, 0, 6, numberCaption},
    {sieve5::kTenThousands, 10, 55, 115, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kThousands, 10, 55, 145, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kHundreds, 10, 55, 175, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kTens, 10, 55, 205, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kUnits, 10, 55, 235, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kSum, 46, 15, 290, 25, 25, 30, 30, 16, numberCaption},
    {sieve5::kTail, 10, 15, 406, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kSpan, 10, 335, 406, 25, 25, 30, 0, 10, numberCaption},
    {sieve5::kForm, 7, 655, 406, 40, 25, 45, 0, 7, formCaption},
    {sieve5::kBigSmall, 32, 15, 465, 65, 25, 70, 30, 16,
     [](int k) { return sieve::patternCaption(k, 5, L'大', L'小'); }},
    {sieve5::kOddEven, 32, 15, 553, 65, 25, 70, 30, 16,
     [](int k) { return sieve::patternCaption(k, 5, L'奇', L'偶'); }},
    {sieve5::kPrimeComposite, 32, 15, 643, 65, 25, 70, 30, 16,
     [](int k) { return sieve::patternCaption(k, 5, L'质', L'合'); }},
}};

constexpr sieve::TileDialogLayout kLayout{
    IDD_SIEVE5, IDT_FIRST_TILE, kGrids,
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
