#include "html/reader/url_subs.h"

#include "platform/runtime/strutil.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

std::string WithoutQuery(const std::string& url) {
    size_t q = url.find('?');
    return q == std::string::npos ? url : url.substr(0, q);
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    size_t n = 0;
    while (prefix[n]) ++n;
    return s.size() >= n && Lower(s.substr(0, n)) == prefix;
}

}  // namespace

std::string GetBase(const std::string& url) {
    std::string s = WithoutQuery(Trim(url));
    size_t dbl = s.find("//");
    size_t from = dbl == std::string::npos ? 1 : dbl + 2;
    size_t last = std::string::npos;
    for (size_t i = from; i < s.size(); ++i)
        if (s[i] == '/') last = i;
    if (last == std::string::npos) return s + "/";
    return s.substr(0, last + 1);
}

bool IsFullURL(const std::string& url) {
    std::string s = WithoutQuery(url);
    size_t scheme = s.find("://");
    if (scheme != std::string::npos && s.find('/') == scheme + 1) return true;
    // The whole text counts here, query included.
    return Lower(url).find("mailto:") != std::string::npos;
}

std::string GetProtocol(const std::string& url) {
    std::string protocol, user, password, host, port, path;
    ParseURL(WithoutQuery(url), protocol, user, password, host, port, path);
    return Lower(protocol);
}

void ParseURL(const std::string& url, std::string& protocol, std::string& user, std::string& password,
              std::string& host, std::string& port, std::string& path) {
    protocol.clear(), user.clear(), password.clear(), host.clear(), port.clear(), path.clear();
    std::string rest;
    size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        protocol = url.substr(0, scheme);
        rest = url.substr(scheme + 3);
    } else if (url.empty() || url[0] != '/') {
        if (StartsWithNoCase(url, "http:")) {
            protocol = "http";
            if (url.size() > 6 && url[6] != '/') {
                path = url.substr(5);
                return;
            }
            rest = url.substr(5);
        } else if (StartsWithNoCase(url, "mailto:")) {
            protocol = "mailto";
            rest = url.substr(url.find(':') + 1);
        } else {
            rest = url;
        }
    } else {
        protocol = "http";
        if (url.size() < 2 || url[1] != '/') {
            path = url;
            return;
        }
        rest = url.substr(2);
    }

    std::string authority;
    size_t slash = rest.find('/');
    if (slash == std::string::npos) {
        authority = rest;
    } else {
        authority = rest.substr(0, slash);
        path = rest.substr(slash);
    }

    size_t colon = authority.rfind(':');
    size_t at = authority.rfind('@');
    if (colon == std::string::npos && at == std::string::npos) {
        host = authority;
        return;
    }
    if (colon == std::string::npos || (at != std::string::npos && colon < at)) {
        host = authority.substr(at + 1);
    } else {
        port = authority.substr(colon + 1);
        size_t hostStart = at == std::string::npos ? 0 : at + 1;
        host = authority.substr(hostStart, colon - hostStart);
        if (at == std::string::npos) return;
    }
    std::string info = authority.substr(0, at);
    size_t c = info.find(':');
    if (c == std::string::npos) {
        user = info;
    } else {
        user = info.substr(0, c);
        password = info.substr(c + 1);
    }
}

int PosIndex(const std::string& sub, const std::string& s, int n) {
    if (sub.empty() || n == 0 || sub.size() > s.size()) return 0;
    if (n > 0) {
        size_t p = 0;
        for (int k = 0;; ++k) {
            p = s.find(sub, p);
            if (p == std::string::npos) return 0;
            if (k == n - 1) return static_cast<int>(p) + 1;
            ++p;
        }
    }
    size_t p = s.size() - sub.size();
    for (int k = 0;; ++k) {
        p = s.rfind(sub, p);
        if (p == std::string::npos) return 0;
        if (k == -n - 1) return static_cast<int>(p) + 1;
        if (p == 0) return 0;
        --p;
    }
}

std::string Combine(std::string base, std::string rel) {
    base = Trim(base);
    rel = Trim(rel);
    std::string protocol = GetProtocol(base);

    // Root end: the "/" that starts the path (0-based; npos when none).
    size_t root;
    if (StartsWithNoCase(base, "file:///")) {
        root = base.find('/', 8);
    } else if (size_t scheme = base.find("://"); scheme != std::string::npos) {
        root = base.find('/', scheme + 3);
        if (root == scheme + 3) root = scheme + 2;
    } else {
        root = base.find('/');
    }
    if (root == std::string::npos) {
        base += '/';
        root = base.size() - 1;
    } else if (base.back() != '/') {
        base += '/';
    }

    std::string result;
    if (rel.empty() || rel[0] != '/') {
        result = base + rel;
    } else if (rel.size() > 1 && rel[1] == '/') {
        return protocol == "file" ? "file:///" + rel : protocol + ":" + rel;
    } else {
        result = base.substr(0, root + 1) + rel.substr(1);
    }

    for (;;) {
        size_t q = result.find("/../");
        if (q == std::string::npos) break;
        if (q > root) {
            size_t prev = result.rfind('/', q - 1);
            if (prev == std::string::npos || prev < root) prev = q;
            result.erase(prev + 1, q + 4 - (prev + 1));
        } else {
            result.erase(q + 1, 3);
            if (q < root) root = root >= 3 ? root - 3 : 0;
        }
    }
    for (size_t q; (q = result.find("/./")) != std::string::npos;) result.erase(q + 1, 2);
    return result;
}
