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

// True when every "." of the text stands between groups of digits in the
// whole part, the first group of one to three digits and each later one of
// exactly three ("1.234.567,89"). A text without "." passes. Reading drops
// the points, so "1.0.0" would otherwise read as 100 and "1.5" as 15.
bool ThousandsGrouped(const std::string& text);

} // namespace amount_text
