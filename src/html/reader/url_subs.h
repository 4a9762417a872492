#pragma once
// Splitting, classifying and resolving URLs: pure functions over byte
// strings, no network access. Positions are 1-based.
#include <string>

// The URL (trimmed, without its query) up to and including its last "/".
std::string GetBase(const std::string& url);
// A relative reference resolved against a base.
std::string Combine(std::string base, std::string rel);
// Whether the URL carries a scheme ("://" before any other "/", or "mailto:").
bool IsFullURL(const std::string& url);
// The lower-case scheme.
std::string GetProtocol(const std::string& url);
void ParseURL(const std::string& url, std::string& protocol, std::string& user, std::string& password,
              std::string& host, std::string& port, std::string& path);
// Position of the n-th occurrence of sub in s, from the front for n > 0 and
// from the back for n < 0 (-1 is the last); 0 when there are fewer.
int PosIndex(const std::string& sub, const std::string& s, int n);
