#pragma once
// Plain HTTP for the program's web helpers, over Qt Network in a module the
// first call loads (http_module.h): without it every call fails. Addresses and file names are Windows-1252 text; only http
// and https addresses are taken. Each call waits at most its timeout, keeps
// the user's input waiting meanwhile, and never raises: a failure is an
// answer too.
#include <cstddef>
#include <string>

struct THttpOptions {
    std::string UserAgent;
    int TimeoutMs = 15000; // the whole call: connections, redirections, headers and body
};

// A downloaded file larger than this is refused (nothing the program fetches
// comes near it).
constexpr size_t kMaxDownloadSize = size_t{64} << 20;

// The status code of the server's own answer to a GET of url (a redirection
// is reported, not followed); 0 when no answer came.
int HttpStatusCode(const std::string& url, const THttpOptions& options);

// Fetches url, following redirections, into fileName. The file is replaced
// whole, and only when a 200 answer's body arrived whole on one connection
// (its one Content-Length reached, or a chunked body to its last chunk),
// not empty and within the size limit; otherwise it stays as it was and the
// result is false.
bool HttpDownloadFile(const std::string& url, const std::string& fileName,
                      const THttpOptions& options, size_t maxSize = kMaxDownloadSize);
