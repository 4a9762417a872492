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


} // namespace amount_text
