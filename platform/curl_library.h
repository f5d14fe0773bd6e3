#pragma once

#include <curl/curl.h>

#include <optional>

// The libcurl functions the HTTP exchange calls. The library is loaded at the
// exchange's first need, on the thread that makes it, instead of with the
// program: linked, it and the twenty libraries it pulls in would be loaded and
// bound before main, ahead of the window. The pointers have the headers' own
// types.
struct CurlLibrary {
    decltype(&::curl_url) url;
    decltype(&::curl_url_set) urlSet;
    decltype(&::curl_url_get) urlGet;
    decltype(&::curl_url_cleanup) urlCleanup;
    decltype(&::curl_free) free;
    decltype(&::curl_slist_append) slistAppend;
    decltype(&::curl_slist_free_all) slistFreeAll;
    decltype(&::curl_easy_init) easyInit;
    decltype(&::curl_easy_reset) easyReset;
    decltype(&::curl_easy_setopt) easySetopt;
    decltype(&::curl_easy_perform) easyPerform;
    decltype(&::curl_easy_getinfo) easyGetinfo;
    decltype(&::curl_easy_cleanup) easyCleanup;
};

// The functions from the library of that file name, or nothing when it cannot
// be loaded or lacks one of them.
std::optional<CurlLibrary> OpenCurlLibrary(const char* fileName);

// libcurl, loaded once for the process by the first caller on any thread;
// null when it cannot be.
const CurlLibrary* LoadCurlLibrary();
