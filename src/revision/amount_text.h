#pragma once
// Reading amount texts ("1.234,56") back into numbers: the hot path of every
// spreadsheet pass, shared by the forms' RemovePonto copies.
#include <string>

namespace amount_text {

// The digits, commas and minus signs of the text, in order.
std::string KeepNumberChars(const std::string& text);

// StrToFloat of a text made by KeepNumberChars. The usual shapes ("-1234,56")
// are converted directly, with the same correctly rounded result; anything
// else goes through StrToFloat and raises its EConvertError.
long double ParseKept(const std::string& kept);

// Whether a spreadsheet cell holds an amount as the program writes and the
// user types it: blanks around, an optional minus, digits with thousands
// points where they group ("1.234.567"), an optional comma and decimals.
// "529.05", "4x0" and "abc" are none: KeepNumberChars would read them as
// 52905, 40 and nothing.
bool IsAmountText(const std::string& text);


} // namespace amount_text
