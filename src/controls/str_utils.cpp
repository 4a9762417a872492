#include "controls/str_utils.h"

namespace StrUtils {

TCharSet CharSet(std::string_view chars) {
    TCharSet set;
    for (char c : chars) set.set(static_cast<unsigned char>(c));
    return set;
}

bool AllCharsInSet(const std::string& S, const TCharSet& Chars) {
    for (char c : S)
        if (!Chars.test(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string ReplaceAll(const std::string& S, const std::string& Find, const std::string& Replace) {
    if (Find.empty()) return S;
    std::string result;
    result.reserve(S.size());
    size_t from = 0;
    for (;;) {
        size_t at = S.find(Find, from);
        if (at == std::string::npos) break;
        result.append(S, from, at - from);
        result += Replace;
        from = at + Find.size();
    }
    result.append(S, from, std::string::npos);
    return result;
}

std::string StripChar(const std::string& S, char Ch) {
    std::string result;
    result.reserve(S.size());
    for (char c : S)
        if (c != Ch) result += c;
    return result;
}

std::string TrimLeftBlanks(const std::string& S) {
    size_t i = S.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : S.substr(i);
}

std::string TrimRightBlanks(const std::string& S) {
    size_t i = S.find_last_not_of(' ');
    return i == std::string::npos ? std::string() : S.substr(0, i + 1);
}

std::string TrimBlanks(const std::string& S) { return TrimLeftBlanks(TrimRightBlanks(S)); }

std::string RepeatChar(char Ch, int N) { return N < 1 ? std::string() : std::string(N, Ch); }

}  // namespace StrUtils
