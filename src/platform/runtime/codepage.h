#pragma once
// Code pages. The program's text is Windows-1252 ("system ANSI" on every
// machine); it becomes UTF-16 or UTF-8 only at the Qt boundary and inside the
// HTML viewer.
#include <string>
#include <string_view>

// Lossless for all 256 bytes: the five bytes 1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same value and back.
std::u16string Cp1252ToUtf16(const std::string& text);
// Characters outside Windows-1252 become '?'.
std::string Utf16ToCp1252(const std::u16string& text);
std::string Cp1252ToUtf8(const std::string& text);
std::string Utf8ToCp1252(const std::string& text);
// The same, telling whether every character made it: false when the text
// holds one Windows-1252 lacks or (UTF-8) a malformed sequence; `out` then
// holds the text with '?' in their place.
bool TryUtf16ToCp1252(const std::u16string& text, std::string& out);
bool TryUtf8ToCp1252(const std::string& text, std::string& out);
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(std::string_view bytes);
char16_t Cp1252CharToUtf16(unsigned char c);

// Code-page numbers as the viewer uses them: 0 (CP_ACP) and 1252 are
// Windows-1252, 65001 UTF-8, 1200 UTF-16LE; any other number goes through
// iconv ("CP<n>", e.g. 1250, 1251, 874, 932, 936, 949, 950). Undecodable
// bytes become U+FFFD (or '?' when encoding). A code page iconv does not know
// is read and written as Windows-1252.
std::u16string MultiByteToWide(int codePage, const std::string& bytes);
std::string WideToMultiByte(int codePage, const std::u16string& text);
bool IsCodePageSupported(int codePage);
