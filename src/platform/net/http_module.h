#pragma once
// What the HTTP module (libvelorim_http.so, the only code over Qt Network)
// offers the program, which loads it on the first exchange: the program does
// not pay for loading Qt Network and its libraries at start-up. Addresses
// and the agent are UTF-8; calls never raise.
#include <cstddef>

struct THttpModuleApi {
    // The status code of the server's own answer to a GET (a redirection is
    // reported, not followed); 0 when no answer came or the address is not
    // an http or https one.
    int (*StatusCode)(const char* url, const char* userAgent, int timeoutMs);
    // A GET following redirections: each piece of a 200 answer's body goes
    // to take (false stops the exchange), all from one connection. True when
    // that body arrived whole, as its Content-Length or chunked framing
    // says, not empty and within maxSize bytes.
    bool (*Download)(const char* url, const char* userAgent, int timeoutMs, size_t maxSize,
                     bool (*take)(void* context, const char* data, size_t size), void* context);
};

// The module's one entry, looked up by this name.
#define VELORIM_HTTP_MODULE_ENTRY "velorim_http_module"
extern "C" const THttpModuleApi* velorim_http_module();
