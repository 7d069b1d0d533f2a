#include "sieve/common/tile_filter_dialog.h"

#include "sieve/common/number_actions.h"

#include "shell/app.h"
#include "shell/strconv.h"

#include <richedit.h>

#include <cstdint>

namespace sieve {
namespace {

// Posted by the message hook behind a button release over a tile, so that it
// arrives once the release has been dispatched and the tile has flipped.
constexpr UINT kTileReleased = WM_APP + 40;

// The one tile dialog of the process, for the thread's message hook.
TileFilterDialog* hookedDialog = nullptr;

} // namespace

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

TileFilterDialog::TileFilterDialog(const FilterDesign& design, const TileDialogLayout& layout,
                                   TileDialogTraits traits)
    : MainDialog(layout.templateId, {traits.aboutItem}), sieve_(design), layout_(layout),
      traits_(traits) {}

TileFilterDialog::~TileFilterDialog() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (hookedDialog == this)
        hookedDialog = nullptr;
}

BOOL TileFilterDialog::onInit() {
    count_.attach(item(layout_.count));
    SendDlgItemMessageW(hwnd(), layout_.numbers, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    createTiles();
    EnableWindow(item(layout_.handOff), shell::hostLink().hostWindow() != 0);
    hookedDialog = this;
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &TileFilterDialog::messageHook, nullptr,
                              GetCurrentThreadId());
    resetBoxes();
    return TRUE;
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
    for (const TileGrid& grid : layout_.grids) {
        const bool enabled = grid.target >= 0;
        for (int box = 0; box < grid.count; ++box, ++id) {
            const int left = grid.left + grid.stepX * (box % grid.perRow);
            const int top = grid.top + grid.stepY * (box / grid.perRow);
            const RECT pixels{x(left), y(top), x(left + grid.width), y(top + grid.height)};
            auto tile = std::make_unique<Tile>();
            tile->target = grid.target;
            tile->box = box;
            created &= tile->control.create(hwnd(), id, grid.caption(box), pixels, enabled);
            tiles_.push_back(std::move(tile));
        }
    }
    return created;
}

LRESULT CALLBACK TileFilterDialog::messageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && hookedDialog) {
        const MSG& message = *reinterpret_cast<const MSG*>(lParam);
        if (message.message == WM_LBUTTONUP && message.hwnd &&
            GetParent(message.hwnd) == hookedDialog->hwnd() && IsWindowEnabled(message.hwnd)) {
            const int id = GetDlgCtrlID(message.hwnd);
            if (id >= hookedDialog->layout_.firstTileId && id <= hookedDialog->layout_.lastTileId)
                PostMessageW(hookedDialog->hwnd(), kTileReleased, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::optional<INT_PTR> TileFilterDialog::onMessage(UINT message, WPARAM, LPARAM) {
    if (message == kTileReleased) {
        recompute();
        return TRUE;
    }
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

bool TileFilterDialog::checked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

SieveCriteria TileFilterDialog::readCriteria() const {
    SieveCriteria criteria = SieveCriteria::startState(sieve_.design());
    MustContainRule& rule = criteria.mustContain;
    rule.hitCounts = 0;
    for (const auto& tile : tiles_) {
        if (!tile->control.isTicked())
            continue;
        if (tile->target >= 0)
            criteria.tick(tile->target, tile->box);
        else if (tile->target == TileGrid::kMustDigits)
            rule.mustDigits = static_cast<std::uint16_t>(rule.mustDigits | (1u << tile->box));
        else
            rule.hitCounts = static_cast<std::uint8_t>(rule.hitCounts | (1u << tile->box));
    }
    rule.on = checked(layout_.mustOn);
    rule.distinctHits = checked(layout_.distinct);
    return criteria;
}

void TileFilterDialog::recompute() {
    sieve_.recompute(readCriteria());
    count_.setCount(sieve_.keptCount());
}

void TileFilterDialog::enableMustContain(bool enabled) {
    for (const auto& tile : tiles_) {
        if (tile->target < 0)
            EnableWindow(tile->control.hwnd(), enabled);
    }
    EnableWindow(item(layout_.distinct), enabled);
}

// Every flag kept, every kill and must-contain digit tile unticked, the hit
// counts back to their start state, the full count shown. The base set is
// not touched.
void TileFilterDialog::resetBoxes() {
    sieve_.reset();
    const std::uint8_t startHits = sieve_.design().startHitCounts;
    for (const auto& tile : tiles_) {
        const bool tick = tile->target == TileGrid::kHitCounts && ((startHits >> tile->box) & 1u);
        tile->control.setTicked(tick ? 1 : 0);
    }
    if (traits_.resetEndsMustContain) {
        CheckDlgButton(hwnd(), layout_.mustOn, BST_UNCHECKED);
        CheckDlgButton(hwnd(), layout_.distinct, BST_UNCHECKED);
        enableMustContain(false);
    }
    count_.setCount(sieve_.candidates());
}

void TileFilterDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    if (id == layout_.mustOn) {
        enableMustContain(checked(layout_.mustOn));
        recompute();
    } else if (id == layout_.distinct) {
        recompute();
    } else if (id == layout_.reset) {
        resetBoxes();
        replaceNumberBoxText(L"");
    } else if (id == layout_.loadBase) {
        loadBaseSetFromBox(hwnd(), item(layout_.numbers), sieve_, count_,
                           [this] { resetBoxes(); });
    } else if (id == layout_.show) {
        showNumbers();
    } else if (id == layout_.copy) {
        copyNumbers(hwnd(), sieve_);
    } else if (id == layout_.handOff) {
        // The text and its terminating zero byte.
        handNumbersOff(hwnd(), sieve_, true);
    }
}

void TileFilterDialog::showNumbers() {
    const std::wstring text = numberBoxLines(sieve_.numberList(), sieve_.design().digitCount);
    replaceNumberBoxText(text);
}

// The number box takes a new text in a fresh box when it holds one already:
// a rich edit empties a document of ten thousand paragraphs only slowly, and
// destroying it is quick. The fresh box has the old one's styles, place,
// z and tab order, the dialog's font and the unlimited text length.
void TileFilterDialog::replaceNumberBoxText(const std::wstring& text) {
    HWND box = item(layout_.numbers);
    if (GetWindowTextLengthW(box) > 0) {
        RECT place;
        GetWindowRect(box, &place);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&place), 2);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
        const HWND before = GetWindow(box, GW_HWNDPREV);
        const bool focused = GetFocus() == box;
        DestroyWindow(box);
        box = CreateWindowExW(exStyle, MSFTEDIT_CLASS, L"", style, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout_.numbers)),
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
