#pragma once
// The edit-mask engine of the masked edit, free of any widget.
//
// A mask is "mask;save-literals;blank". In the mask part:
//   0 required digit   9 optional digit   # optional digit or sign
//   L required letter  l optional letter  A required letter or digit
//   a optional letter or digit  C required character  c optional character
//   > upper case from here  < lower case from here  <> no conversion
//   \ the next character is a literal   ! blanks of optional places lead
//   anything else is a literal shown as is.
// save-literals "0" leaves the literals out of Text; blank is the character
// shown in empty places ("_" when not given).
#include <string>
#include <vector>

#include "platform/runtime/errors.h"

// A required place of the mask is blank.
class EDBEditError : public EConvertError {
public:
    using EConvertError::EConvertError;
};

class TMaskEngine {
public:
    TMaskEngine() = default;
    explicit TMaskEngine(const std::string& editMask) { SetMask(editMask); }

    void SetMask(const std::string& editMask);
    bool IsMasked() const { return !places_.empty(); }
    bool SaveLiterals() const { return saveLiterals_; }
    char BlankChar() const { return blank_; }
    int Length() const { return static_cast<int>(places_.size()); }
    bool IsLiteral(int pos) const;

    // The text shown: literals, typed characters and the blank character.
    std::string EditText() const;
    // Places the characters of a shown text (same layout) into the mask.
    void SetEditText(const std::string& text);
    // Text as the masked edit gives it: blanks as spaces, literals kept only
    // with save-literals.
    std::string Text() const;
    // Places a text into the mask: with literals it is read place by place,
    // without them its characters fill the editable places (right-aligned
    // under "!"). A character a place does not accept leaves it blank.
    void SetText(const std::string& text);
    void Clear();

    // Types c at pos (overwriting; literals are skipped, a literal that
    // matches c is stepped over). Returns false when refused (caller beeps).
    // On success pos is the caret after the character, past any literals.
    bool TypeChar(int& pos, char c);
    // Blanks the editable places in [from, to).
    void ClearRange(int from, int to);
    // Backspace: blanks the editable place before pos and moves there.
    // Returns false when there is none.
    bool Backspace(int& pos);
    // Delete: blanks the editable place at or after pos.
    bool DeleteAt(int pos);

    // First editable place at or after pos (Length() when none) and the last
    // one before pos (-1 when none).
    int NextEditable(int pos) const;
    int PrevEditable(int pos) const;
    // The first editable place that is blank; -1 when all are filled.
    int FirstBlank() const;
    // Whether every editable place is blank.
    bool IsBlank() const;
    // -1 when every required place is filled, else the first blank one.
    int FirstMissing() const;
    // Raises EDBEditError "Valor inválido para a máscara" when a required
    // place is blank.
    void Validate() const;

    // Whether c may go into place pos (after case conversion); converted in c.
    bool Accepts(int pos, char& c) const;

private:
    enum class Kind : uint8_t { Literal, Digit, DigitSign, Letter, AlphaNum, AnyChar };
    struct Place {
        Kind kind = Kind::Literal;
        bool required = false;
        char literal = 0;
        int caseMode = 0;  // 0 none, 1 upper, 2 lower
        char value = 0;    // 0 = blank
    };
    std::vector<Place> places_;
    bool saveLiterals_ = true;
    bool leadingBlanks_ = false;
    char blank_ = '_';
};

// Formats value through editMask as a masked edit would show its Text.
std::string FormatMaskText(const std::string& editMask, const std::string& value);
