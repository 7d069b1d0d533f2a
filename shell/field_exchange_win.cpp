#include "shell/field_exchange_win.h"

#include "shell/app_win.h"
#include "shell/field_text.h"
#include "shell/strconv_win.h"
#include "shell/window_text_win.h"

#include <cstdio>

namespace shell {
namespace {

std::wstring prompt(const wchar_t* format, const wchar_t* name) {
    wchar_t text[256];
    std::swprintf(text, 256, format, name);
    return text;
}

} // namespace

std::wstring FieldExchange::controlText(int id) const {
    return windowText(GetDlgItem(dialog_, id));
}

void FieldExchange::fail(int id, const std::wstring& text) {
    failed_ = true;
    showMessage(dialog_, text);
    const HWND control = GetDlgItem(dialog_, id);
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);
}

// A number field: written as `shown`; read by `parse`, and when the text is
// no such number, the prompt made from `promptFormat` and the field's name.
template <class Number, class Parse>
FieldExchange& FieldExchange::number(int id, Number& field, const std::wstring& shown, Parse parse,
                                     const wchar_t* promptFormat, const wchar_t* name) {
    if (writing()) {
        SetDlgItemTextW(dialog_, id, shown.c_str());
    } else if (reading()) {
        if (const auto value = parse(toUtf8(controlText(id))))
            field = *value;
        else
            fail(id, prompt(promptFormat, name));
    }
    return *this;
}

FieldExchange& FieldExchange::number(int id, std::int32_t& field, const wchar_t* name) {
    return number(id, field, std::to_wstring(field), parseInt32Field,
                  L"请在“%ls”中输入一个整数（-2147483648 至 2147483647）。", name);
}

FieldExchange& FieldExchange::number(int id, std::uint32_t& field, const wchar_t* name) {
    return number(id, field, std::to_wstring(field), parseUint32Field,
                  L"请在“%ls”中输入一个不小于 0 的整数（至多 4294967295）。", name);
}

FieldExchange& FieldExchange::number(int id, float& field, const wchar_t* name) {
    return number(id, field, widen(formatFloatField(field)), parseFloatField,
                  L"请在“%ls”中输入一个数字。", name);
}

FieldExchange& FieldExchange::text(int id, std::wstring& field) {
    if (writing())
        SetDlgItemTextW(dialog_, id, field.c_str());
    else if (reading())
        field = controlText(id);
    return *this;
}

FieldExchange& FieldExchange::listIndex(int id, std::int32_t& field) {
    if (writing())
        SendDlgItemMessageW(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(field), 0);
    else if (reading())
        field = static_cast<std::int32_t>(SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0));
    return *this;
}

FieldExchange& FieldExchange::check(int id, bool& field) {
    if (writing())
        CheckDlgButton(dialog_, id, field ? BST_CHECKED : BST_UNCHECKED);
    else if (reading())
        field = IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
    return *this;
}

FieldExchange& FieldExchange::radioGroup(std::initializer_list<int> ids, std::int32_t& field) {
    if (writing()) {
        std::int32_t index = 0;
        for (int id : ids)
            CheckDlgButton(dialog_, id, index++ == field ? BST_CHECKED : BST_UNCHECKED);
    } else if (reading()) {
        std::int32_t index = 0;
        field = -1;
        for (int id : ids) {
            if (IsDlgButtonChecked(dialog_, id) == BST_CHECKED) {
                field = index;
                break;
            }
            ++index;
        }
    }
    return *this;
}

} // namespace shell
