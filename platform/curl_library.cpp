#include "platform/curl_library.h"

#include <dlfcn.h>

#include <optional>

namespace {

// The library's run-time name, as its development package links it.
constexpr char kCurlLibraryName[] = "libcurl.so.4";

template <typename Function>
bool Bind(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}

std::optional<CurlLibrary> OpenCurlLibrary(const char* fileName)
{
    // Local: its symbols stay out of the program's lookups. Never closed,
    // since curl keeps global state until the process ends.
    void* library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    CurlLibrary curl{};
    const bool bound = Bind(library, "curl_url", curl.url) && Bind(library, "curl_url_set", curl.urlSet)
        && Bind(library, "curl_url_get", curl.urlGet) && Bind(library, "curl_url_cleanup", curl.urlCleanup)
        && Bind(library, "curl_free", curl.free) && Bind(library, "curl_slist_append", curl.slistAppend)
        && Bind(library, "curl_slist_free_all", curl.slistFreeAll)
        && Bind(library, "curl_easy_init", curl.easyInit) && Bind(library, "curl_easy_reset", curl.easyReset)
        && Bind(library, "curl_easy_setopt", curl.easySetopt)
        && Bind(library, "curl_easy_perform", curl.easyPerform)
        && Bind(library, "curl_easy_getinfo", curl.easyGetinfo)
        && Bind(library, "curl_easy_cleanup", curl.easyCleanup);
    if (!bound) {
        dlclose(library);
        return std::nullopt;
    }
    return curl;
}

const CurlLibrary* LoadCurlLibrary()
{
    static const std::optional<CurlLibrary> curl = OpenCurlLibrary(kCurlLibraryName);
    return curl ? &*curl : nullptr;
}
