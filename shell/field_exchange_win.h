// Field exchange between a dialog's controls and its typed fields, in one
// fixed order per dialog. Reading stops at the first edit box whose text is
// not a number of its field's type: a prompt naming the field is shown, that
// box gets the focus, and the fields after it keep their old values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace shell {

class FieldExchange {
  public:
    enum class Direction { toControls, fromControls };

    FieldExchange(HWND dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

    FieldExchange& number(int id, std::int32_t& field, const wchar_t* name);
    FieldExchange& number(int id, std::uint32_t& field, const wchar_t* name);
    FieldExchange& number(int id, float& field, const wchar_t* name);
    FieldExchange& text(int id, std::wstring& field);
    // The selected item of a drop-down list, −1 for none.
    FieldExchange& listIndex(int id, std::int32_t& field);
    FieldExchange& check(int id, bool& field);
    // The index of the checked button among `ids`, −1 for none.
    FieldExchange& radioGroup(std::initializer_list<int> ids, std::int32_t& field);

    // False once a field could not be read.
    bool succeeded() const { return !failed_; }

  private:
    bool reading() const { return direction_ == Direction::fromControls && !failed_; }
    bool writing() const { return direction_ == Direction::toControls; }
    template <class Number, class Parse>
    FieldExchange& number(int id, Number& field, const std::wstring& shown, Parse parse,
                          const wchar_t* promptFormat, const wchar_t* name);
    std::wstring controlText(int id) const;
    void fail(int id, const std::wstring& prompt);

    HWND dialog_;
    Direction direction_;
    bool failed_ = false;
};

} // namespace shell
