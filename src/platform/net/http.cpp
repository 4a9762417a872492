#include "platform/net/http.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <mutex>
#include <string>
#include <vector>

#include "platform/net/http_module.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

namespace {

constexpr const char* kModuleName = "libvelorim_http.so";

// The module beside the running program, else in the build folder (where
// the tests run from folders of their own); null when neither loads.
const THttpModuleApi* Module() {
    static const THttpModuleApi* api = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        std::vector<std::string> places;
        char self[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        if (n > 0) {
            std::string dir(self, static_cast<size_t>(n));
            dir.erase(dir.find_last_of('/') + 1);
            places.push_back(dir + kModuleName);
        }
#ifdef VELORIM_HTTP_MODULE_DIR
        // Compiled in as the program's text, like every literal.
        places.push_back(SystemPath(VELORIM_HTTP_MODULE_DIR) + "/" + kModuleName);
#endif
        for (const std::string& place : places) {
            void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) continue;
            using TEntry = const THttpModuleApi* (*)();
            if (auto entry = reinterpret_cast<TEntry>(dlsym(handle, VELORIM_HTTP_MODULE_ENTRY))) {
                api = entry();
                return;
            }
            dlclose(handle);
        }
    });
    return api;
}

bool WritePiece(void* context, const char* data, size_t size) {
    try {
        static_cast<TAtomicFileWriter*>(context)->Write(data, size);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

int HttpStatusCode(const std::string& address, const THttpOptions& options) {
    const THttpModuleApi* api = Module();
    if (!api) return 0;
    return api->StatusCode(Cp1252ToUtf8(address).c_str(), options.UserAgent.c_str(), options.TimeoutMs);
}

bool HttpDownloadFile(const std::string& address, const std::string& fileName,
                      const THttpOptions& options, size_t maxSize) {
    const THttpModuleApi* api = Module();
    if (!api) return false;
    try {
        TAtomicFileWriter writer(fileName);
        if (!api->Download(Cp1252ToUtf8(address).c_str(), options.UserAgent.c_str(), options.TimeoutMs,
                           maxSize, WritePiece, &writer)) {
            writer.Discard();
            return false;
        }
        writer.Commit();
        return true;
    } catch (...) {
        return false;
    }
}
