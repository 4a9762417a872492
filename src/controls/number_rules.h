#pragma once
// The number rules of the number edits: normalising typed or stored amounts,
// reading them, clamping to the bounds, the plain text shown while editing,
// the keystroke filter, thousands grouping while typing and the default
// display formats. Plain functions of text and numbers under the program's
// format settings (decimal "," and thousands ".").
#include <string>
#include <string_view>

namespace CurrEdit {

// Trims blanks, drops thousands separators and turns the other of "." and ","
// into the decimal separator; "" becomes "0" and "-" becomes "-0". With the
// program's settings "1.234,56" gives "1234,56" and "1234.56" gives "123456".
std::string NormalizeNumberText(const std::string& S);

// Only "+", "-", digits, "E", "e" and the decimal separator may appear; then
// the first 63 characters must read as a finite number: optional sign, digits
// with at most one decimal separator (at least one digit), optional exponent.
bool TryTextToFloat(const std::string& S, long double& R);

// Reads a whole text in the same grammar (no length limit).
bool TryReadNumber(const std::string& S, long double& R);
// The same, raising EConvertError "'<S>' não é um número válido".
long double ReadNumber(const std::string& S);

// Whether the thousands points of a typed amount stand where they group
// digits: between digits of the integer part, the first group of one to three
// digits and each later one of exactly three ("1.234.567,8"). A text without
// points passes.
bool ThousandsWellPlaced(std::string_view S);
// No amount of a case comes near this; a larger one cannot be kept to the
// nearest cent.
inline constexpr long double kMaxAmount = 1e15L;
// Reads an amount as the user types it: thousands points well placed, then
// the normalised text in the number grammar, below kMaxAmount. "1.5" and
// "1.OOO" are no amounts.
bool TryReadAmount(const std::string& S, long double& R);

// Whether an edit with these settings holds money: two decimals and no upper
// bound below 1000 (the bounds rule of ClampToBounds). Only there is "." a
// thousands point; elsewhere it is the decimal comma ("0.95" is 0,95).
bool HoldsMoney(int Decimals, long double MinValue, long double MaxValue);
// The form a refused amount is shown in, as the message's example.
inline constexpr const char* kAmountExample = "1.480,55";
// Reads a value that is no amount as the user types it: "." is its decimal
// comma and it has no thousands point, below kMaxAmount.
bool TryReadDecimal(const std::string& S, long double& R);
// How many digits follow the decimal separator, up to an exponent.
int DecimalsOf(std::string_view S);

// Whether the "." of the main keyboard typed over [SelStart, SelStart +
// SelLength) is a thousands point: the text before it holds digits (after an
// optional sign) and no decimal separator is left in the text. Otherwise the
// key means the decimal separator.
bool TakesThousandsPoint(const std::string& EditText, int SelStart, int SelLength);

// True when S could still become a number by typing more characters after it
// ("", "-", "1,", "1e", "1e-"); every complete number is such a prefix too.
bool IsNumberPrefix(const std::string& S);

// Thousands separators put into the integer part (when Thousands), sign and
// fraction kept: "1234567,5" gives "1.234.567,5".
std::string GroupDigits(const std::string& S, bool Thousands);

// The bounds rule: no clamping when the bounds are equal; with Max > Min the
// value is held inside them; with Max < Min only a zero bound switches off its
// side (Max 0: no upper bound; Min 0: no lower bound); both non-zero: no clamping.
long double ClampToBounds(long double V, long double MinValue, long double MaxValue);
// "Value must be between <min> and <max>", each with Decimals decimals.
std::string RangeErrorMessage(long double MinValue, long double MaxValue, int Decimals);

// The format of the text being edited: "0", then "." and Decimals "#".
std::string EditFormat(int Decimals);
// The text the edit holds for V: empty for 0 with ZeroEmpty, else V in the
// edit format. A value that is not finite gives an empty text.
std::string EditTextFor(long double V, int Decimals, bool ZeroEmpty);

// The keystroke filter: EditText with [SelStart, SelStart + SelLength) (0-based)
// replaced by Key must, once normalised, hold at most Decimals decimals (no
// decimal separator at all for 0), read as a number (a lone sign or decimal
// separator counts as the start of one; "1e" and "1e-" do not), and not be
// negative when MinValue >= 0 and MaxValue > 0.
bool KeyKeepsNumber(const std::string& EditText, int SelStart, int SelLength, char Key, int Decimals,
                    long double MinValue, long double MaxValue);

// Default display format of the plain number edit.
std::string DefaultNumberFormat();
// Default display format of the currency edit, from the currency settings:
// "R$ ,0.00;-R$ ,0.00" under the program's settings.
std::string DefaultCurrencyFormat();

}  // namespace CurrEdit
