#pragma once
// String routines shared by the input controls. Texts are Windows-1252 bytes;
// "blank" means the space character (32) only, never a tab.
#include <bitset>
#include <string>
#include <string_view>

namespace StrUtils {

// A set of characters, as the date edit's "holds no date" test needs.
using TCharSet = std::bitset<256>;
TCharSet CharSet(std::string_view chars);

// True when every character of S is in Chars (so true for an empty S).
bool AllCharsInSet(const std::string& S, const TCharSet& Chars);
// Every occurrence of Find replaced, scanning on after each replacement (a
// replacement is never rescanned). An empty Find changes nothing.
std::string ReplaceAll(const std::string& S, const std::string& Find, const std::string& Replace);
std::string StripChar(const std::string& S, char Ch);
std::string TrimLeftBlanks(const std::string& S);
std::string TrimRightBlanks(const std::string& S);
std::string TrimBlanks(const std::string& S);
// N copies of Ch; empty for N < 1.
std::string RepeatChar(char Ch, int N);

}  // namespace StrUtils
