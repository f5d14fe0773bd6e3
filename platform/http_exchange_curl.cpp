#include "platform/http_exchange.h"

#include "platform/address_syntax.h"
#include "platform/curl_library.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

namespace {

struct CurlUrlDeleter {
    const CurlLibrary* curl;
    void operator()(CURLU* url) const { curl->urlCleanup(url); }
};
struct CurlTextDeleter {
    const CurlLibrary* curl;
    void operator()(char* text) const { curl->free(text); }
};
struct CurlListDeleter {
    const CurlLibrary* curl;
    void operator()(curl_slist* list) const { curl->slistFreeAll(list); }
};
struct CurlEasyDeleter {
    const CurlLibrary* curl;
    void operator()(CURL* handle) const { curl->easyCleanup(handle); }
};

using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// What RFC 3986 lets a path or query carry raw. '%' passes too: the object is
// sent as given, not re-encoded.
bool FitsRequestLine(unsigned char c)
{
    constexpr std::string_view kMarks = "-._~!$&'()*+,;=:@/?%";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string EncodeObject(std::string_view object)
{
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded = "/";
    if (!object.empty() && object.front() == '/')
        encoded.clear();
    for (const unsigned char c : object) {
        if (FitsRequestLine(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::optional<std::string> UrlPart(const CurlLibrary& curl, CURLU* url, CURLUPart part, unsigned int flags)
{
    char* text = nullptr;
    if (curl.urlGet(url, part, &text, flags) != CURLUE_OK)
        return std::nullopt;
    const std::unique_ptr<char, CurlTextDeleter> owner(text, CurlTextDeleter{&curl});
    return std::string(text);
}

}  // namespace

// Scheme and authority are checked before curl sees them: curl would take
// credentials from the authority and decode escapes in its host, a NUL would
// end its text early, and a scheme with one slash would let curl find the
// host elsewhere than we do.
std::optional<std::string> SplitHttpAddress(const std::string& address)
{
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string::npos
        || !IsUrlScheme(std::string_view(address).substr(0, schemeEnd)))
        return std::nullopt;
    const std::size_t authorityStart = schemeEnd + 3;
    const std::size_t objectStart =
        std::min(address.find_first_of("/?#", authorityStart), address.size());
    if (!IsSiteAuthority(std::string_view(address).substr(authorityStart,
                                                          objectStart - authorityStart)))
        return std::nullopt;

    const CurlLibrary* curl = LoadCurlLibrary();
    if (!curl)
        return std::nullopt;
    const std::string object = EncodeObject(std::string_view(address).substr(objectStart));
    const CurlUrl url(curl->url(), CurlUrlDeleter{curl});
    if (!url
        || curl->urlSet(url.get(), CURLUPART_URL, (address.substr(0, objectStart) + object).c_str(),
                        CURLU_PATH_AS_IS)
               != CURLUE_OK)
        return std::nullopt;

    const std::optional<std::string> scheme = UrlPart(*curl, url.get(), CURLUPART_SCHEME, 0);
    const std::optional<std::string> host = UrlPart(*curl, url.get(), CURLUPART_HOST, 0);
    const std::optional<std::string> port = UrlPart(*curl, url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (scheme != "http" || !host || !port)
        return std::nullopt;
    return "http://" + *host + ":" + *port + object;
}

namespace {

struct AnswerSink {
    bool keep = false;
    std::size_t limit = 0;
    std::size_t received = 0;
    std::string text;
};

size_t ReceiveAnswer(char* data, size_t size, size_t count, void* userData)
{
    auto* sink = static_cast<AnswerSink*>(userData);
    const std::size_t length = size * count;
    if (length > sink->limit - sink->received)
        return 0;  // aborts the transfer
    try {
        if (sink->keep)
            sink->text.append(data, length);
    } catch (...) {
        return 0;
    }
    sink->received += length;
    return length;
}

int StopWhenAbandoned(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* abandoned = static_cast<const std::atomic<bool>*>(userData);
    return abandoned && abandoned->load() ? 1 : 0;
}

bool AppendHeader(const CurlLibrary& curl, CurlList& headers, const char* header)
{
    curl_slist* grown = curl.slistAppend(headers.get(), header);
    if (!grown)
        return false;
    headers.release();
    headers.reset(grown);
    return true;
}

bool BuildHeaders(const CurlLibrary& curl, CurlList& headers)
{
    // "Expect:" only stops curl from adding "Expect: 100-continue"; it is not sent.
    return AppendHeader(curl, headers, "Content-Type: application/x-www-form-urlencoded;charset=gb2312")
        && AppendHeader(curl, headers, "Accept: */*") && AppendHeader(curl, headers, "Expect:");
}

long Milliseconds(std::chrono::milliseconds duration)
{
    // curl reads 0 as "no limit".
    return std::max<long>(1, static_cast<long>(duration.count()));
}

bool SetOptions(const CurlLibrary& curl, CURL* handle, const HttpExchangeRequest& request,
                const std::string& url, curl_slist* headers, AnswerSink* sink)
{
    return curl.easySetopt(handle, CURLOPT_URL, url.c_str()) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_USERAGENT, program_invocation_short_name) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_HTTPHEADER, headers) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_POST, 1L) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                            static_cast<curl_off_t>(request.body.size()))
               == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_POSTFIELDS, request.body.data()) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(request.connectTimeout))
               == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_TIMEOUT_MS, Milliseconds(request.exchangeTimeout))
               == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_WRITEFUNCTION, ReceiveAnswer) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_WRITEDATA, sink) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_NOPROGRESS, 0L) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenAbandoned) == CURLE_OK
        && curl.easySetopt(handle, CURLOPT_XFERINFODATA, request.abandoned) == CURLE_OK;
}

// One handle for the process, so that its connection cache lets the next
// exchange with the same server reuse the connection.
CURL* SharedHandle(const CurlLibrary& curl)
{
    static std::unique_ptr<CURL, CurlEasyDeleter> handle(nullptr, CurlEasyDeleter{&curl});
    if (!handle)
        handle.reset(curl.easyInit());
    else
        curl.easyReset(handle.get());
    return handle.get();
}

HttpExchangeResult Exchange(const HttpExchangeRequest& request)
{
    // Without libcurl no connection object can be made.
    const CurlLibrary* library = LoadCurlLibrary();
    if (!library)
        return {HttpExchangeOutcome::NoConnection, 0, {}};
    const CurlLibrary& curl = *library;
    const std::optional<std::string> url = SplitHttpAddress(request.address);
    if (!url)
        return {HttpExchangeOutcome::SplitFailed, 0, {}};

    static std::mutex handleMutex;
    const std::lock_guard<std::mutex> lock(handleMutex);
    CURL* handle = SharedHandle(curl);
    if (!handle)
        return {HttpExchangeOutcome::NoConnection, 0, {}};

    CurlList headers(nullptr, CurlListDeleter{&curl});
    AnswerSink sink;
    sink.keep = request.readAnswer;
    sink.limit = request.maxAnswerBytes;
    if (!BuildHeaders(curl, headers) || !SetOptions(curl, handle, request, *url, headers.get(), &sink))
        return {HttpExchangeOutcome::NoRequest, 0, {}};

    const CURLcode code = curl.easyPerform(handle);
    long status = 0;
    curl.easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    // Without readAnswer, an answer cut short after its status line still counts.
    const bool answered = code == CURLE_OK || (!request.readAnswer && status >= 200);
    if (!answered)
        return {HttpExchangeOutcome::SendFailed, 0, {}};
    return {HttpExchangeOutcome::Sent, status, std::move(sink.text)};
}

}  // namespace

HttpExchangeResult PostForm(const HttpExchangeRequest& request)
{
    try {
        return Exchange(request);
    } catch (...) {
        return {HttpExchangeOutcome::SendFailed, 0, {}};
    }
}
