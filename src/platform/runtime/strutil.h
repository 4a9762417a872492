#pragma once
// String routines with the runtime's 1-based character positions.
#include <string>
#include <string_view>
#include <vector>

// Copy(s, index, count): count characters from position index (1-based);
// out-of-range arguments are clamped, never an error.
std::string Copy(const std::string& s, int index, int count);
// Position (1-based) of the first occurrence of sub in s, 0 when absent or sub empty.
int Pos(const std::string& sub, const std::string& s);
// Removes count characters from position index (1-based); the count is clamped
// to the end, and an index outside 1..Length removes nothing.
void Delete(std::string& s, int index, int count);
// Inserts sub before position index (1-based), clamped to the ends.
void Insert(const std::string& sub, std::string& s, int index);
int Length(const std::string& s);

// Trim removes blanks and control characters (bytes <= 32) at the ends.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

std::string UpperCase(const std::string& s);      // ASCII letters only
std::string LowerCase(const std::string& s);      // ASCII letters only
std::string AnsiUpperCase(const std::string& s);  // Windows-1252 letters too
std::string AnsiLowerCase(const std::string& s);
int CompareText(const std::string& a, const std::string& b);  // ASCII, case-insensitive
bool SameText(const std::string& a, const std::string& b);
int CompareStr(const std::string& a, const std::string& b);   // ordinal bytes

enum TReplaceFlags { rfNone = 0, rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(const std::string& s, const std::string& from, const std::string& to,
                          int flags = rfReplaceAll);
std::string StringOfChar(char c, int count);
std::string QuotedStr(const std::string& s);  // 'text' with inner quotes doubled
// A value as a message shows it: 'text', its first 40 characters and "..."
// when longer (a damaged file may hold a line of any length). A control
// character shows as "[código 0]": a message box shows none of them, and a
// value holding one would look like a good one.
std::string QuotedExcerpt(std::string_view s);

// Lines of a text: CR LF, LF and CR each end a line; a final line end adds no
// empty line, and an empty text has no lines.
std::vector<std::string> SplitTextLines(const std::string& text);

// Text typed by a user, written into an HTML report: "&", "<" and ">" become
// entities so the text prints as typed and cannot open markup.
std::string HtmlEscape(const std::string& text);
