#include "sieve/common/tile_filter_dialog_win.h"

#include "shell/app_win.h"

#include <richedit.h>

namespace sieve {

std::wstring numberCaption(int box) {
    return std::to_wstring(box);
}

std::wstring patternCaption(int box, int digits, wchar_t first, wchar_t second) {
    std::wstring word;
    for (int i = 0; i < digits; ++i)
        word += ((box >> (digits - 1 - i)) & 1) != 0 ? second : first;
    return word;
}

std::wstring numberBoxLines(std::string_view numberList, int digits) {
    const std::size_t width = static_cast<std::size_t>(digits) + 1;
    const std::size_t numbers = numberList.size() / width;
    std::wstring text;
    text.reserve(numberList.size() + numbers / 10 * 2);
    for (std::size_t n = 0; n < numbers; ++n) {
        for (std::size_t i = 0; i < width; ++i)
            text += static_cast<wchar_t>(numberList[n * width + i]);
        if (n % 10 == 9)
            text += L"\r\n";
    }
    return text;
}

namespace {

// The must-contain digits and hit counts and one row per position.
std::vector<TileGrid> sharedGrids(int digits) {
    std::vector<TileGrid> grids{
        {TileGrid::kMustDigits, 10, 30, 25, 25, 10},
        {TileGrid::kHitCounts, digits + 1, 75, 55, 25, digits + 1},
    };
    for (int position = 0; position < digits; ++position)
        grids.push_back({position, 10, 55, 115 + 30 * position, 25, 10});
    return grids;
}

} // namespace

TileFilterDialog::TileFilterDialog(const FilterDesign& design, const TileDialogLayout& layout,
                                   TileDialogTraits traits)
    : SieveDialog(layout.templateId, {traits.aboutItem}, design, layout.controls,
                  {.resetEndsMustContain = traits.resetEndsMustContain,
                   .resetClearsDistinct = traits.resetEndsMustContain,
                   .resetEndsBaseSet = false,
                   .showSetsCount = false,
                   .handOffZero = true}),
      layout_(layout), traits_(traits) {}

BOOL TileFilterDialog::onInit() {
    SendDlgItemMessageW(hwnd(), layout_.controls.numbers, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    createTiles();
    return SieveDialog::onInit();
}

bool TileFilterDialog::createTiles() {
    // The rectangles are pixels of the dialog as its template lays it out
    // with 宋体 9 at 96 DPI, where a dialog unit is 1.5 pixels each way. They
    // go through dialog units, so the tiles stay on their group frames
    // whatever the DPI and whatever font stands in for 宋体.
    RECT units{0, 0, 2000, 2000}; // 2000 dialog units are 3000 such pixels
    MapDialogRect(hwnd(), &units);
    const auto x = [&](int pixels) { return MulDiv(pixels, units.right, 3000); };
    const auto y = [&](int pixels) { return MulDiv(pixels, units.bottom, 3000); };
    int id = layout_.firstTileId;
    bool created = true;
    std::vector<TileGrid> grids = sharedGrids(numbers().design().digitCount);
    grids.insert(grids.end(), layout_.grids.begin(), layout_.grids.end());
    for (const TileGrid& grid : grids) {
        const bool enabled = grid.target >= 0;
        for (int box = 0; box < grid.count; ++box, ++id) {
            const int left = grid.left + (grid.width + TileGrid::kGap) * (box % grid.perRow);
            const int top = grid.top + (TileGrid::kHeight + TileGrid::kGap) * (box / grid.perRow);
            const RECT pixels{x(left), y(top), x(left + grid.width), y(top + TileGrid::kHeight)};
            auto tile = std::make_unique<ToggleBox>();
            if (tile->create(hwnd(), id, grid.caption(box), pixels, enabled))
                addBox(id, grid.target, box);
            else
                created = false;
            tiles_.push_back(std::move(tile));
        }
    }
    return created;
}

std::optional<INT_PTR> TileFilterDialog::onMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        // The close box always ends the dialog, whatever Enter and Escape do.
        end(IDCANCEL);
        return TRUE;
    }
    return std::nullopt;
}

void TileFilterDialog::onOK() {
    if (traits_.closesOnEnterEscape)
        end(IDOK);
}

void TileFilterDialog::onCancel() {
    if (traits_.closesOnEnterEscape)
        end(IDCANCEL);
}

std::wstring TileFilterDialog::numberBoxText() const {
    return numberBoxLines(numbers().numberList(), numbers().design().digitCount);
}

// The number box takes a new text in a fresh box when it holds one already:
// a rich edit empties a document of ten thousand paragraphs only slowly, and
// destroying it is quick. The fresh box has the old one's styles, place,
// z and tab order, the dialog's font and the unlimited text length.
void TileFilterDialog::replaceNumberBoxText(const std::wstring& text) {
    HWND box = item(layout_.controls.numbers);
    if (GetWindowTextLengthW(box) > 0) {
        RECT place;
        GetWindowRect(box, &place);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&place), 2);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
        const HWND before = GetWindow(box, GW_HWNDPREV);
        const bool focused = GetFocus() == box;
        DestroyWindow(box);
        box =
            CreateWindowExW(exStyle, MSFTEDIT_CLASS, L"", style, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout_.controls.numbers)),
                            shell::instance(), nullptr);
        SetWindowPos(box, before ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageW(box, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), FALSE);
        SendMessageW(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        if (focused)
            SetFocus(box);
    }
    SetWindowTextW(box, text.c_str());
}

} // namespace sieve
