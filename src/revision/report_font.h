#pragma once
// The report font of the main window's settings. Both reports put it into a
// style attribute, so nothing but a whole size and a plain family name may
// reach one: a name such as "Arial;color:white" would restyle the report.
#include <string>

namespace report_font {

inline constexpr const char* kDefaultName = "Arial";
inline constexpr const char* kDefaultSize = "8";
inline constexpr int kMinSize = 6, kMaxSize = 72;
inline constexpr size_t kMaxNameLength = 64;

// Why the text is no plain family name ("Times New Roman"), "" when it is:
// letters, digits, blanks, "-", "_" and ".", starting with a letter or a
// digit, at most kMaxNameLength characters.
std::string NameProblem(const std::string& text);
// Why the text is no whole size of kMinSize to kMaxSize points, "" when it is.
std::string SizeProblem(const std::string& text);

// The opening span of a report in that font; a size or a name that does
// not pass its check is replaced by its default.
std::string Span(const std::string& size, const std::string& name);

} // namespace report_font
