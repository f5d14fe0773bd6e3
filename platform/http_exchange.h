#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

// One form POST as the launcher makes it, shared by the directory lookup and
// the device report.
//
// The address is split into host, port and object; only "http" is accepted,
// and the authority must be a host and an optional port of digits alone (see
// IsSiteAuthority): no credentials, escapes, blanks or controls. Characters
// the object's request line cannot carry raw (blanks, controls, bytes of 0x80
// and above, '#', quotes and the like) are sent percent-encoded, so the server
// decodes the object exactly as given; everything else, '%', '&', '=' and '+'
// included, goes out as it stands.
//
// The request carries the program's name as user agent, the two headers
// "Content-Type: application/x-www-form-urlencoded;charset=gb2312" and
// "Accept: */*", and the body bytes with their exact length. Proxies come from
// the usual environment variables; a connection to the same server is reused.
struct HttpExchangeRequest {
    std::string address;          // "http://host[:port]/object", code-page bytes
    std::string body;             // sent as is, with its exact length
    bool readAnswer = false;      // the report never reads the answer
    std::size_t maxAnswerBytes = 1024 * 1024;
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds exchangeTimeout{30000};  // connect, send and answer together
    // Once true, the exchange stops within about a second and counts as a
    // send failure; the launcher's window has closed and nobody waits.
    const std::atomic<bool>* abandoned = nullptr;
};

enum class HttpExchangeOutcome {
    SplitFailed,   // the address is not a well-formed http address
    NoConnection,  // no connection object could be made, libcurl missing included
    NoRequest,     // no request could be prepared
    SendFailed,    // unreachable, refused, reset, timed out, answer too large
    Sent,          // the server answered, whatever its status
};

struct HttpExchangeResult {
    HttpExchangeOutcome outcome = HttpExchangeOutcome::SendFailed;
    long status = 0;
    std::string answer;  // only when readAnswer
};

// The address as PostForm requests it, "http://host:port/object" with the
// object encoded as above, or nothing when the address does not split (or
// libcurl, which checks it, cannot be loaded).
std::optional<std::string> SplitHttpAddress(const std::string& address);

// Never throws. Without readAnswer the exchange counts as sent once the server's
// status line has arrived; the rest of the answer is drained (up to
// maxAnswerBytes, so the connection can be reused) and otherwise ignored. With
// readAnswer the whole answer must arrive within maxAnswerBytes, else the
// exchange fails and nothing is returned.
HttpExchangeResult PostForm(const HttpExchangeRequest& request);

// The exchange as the launcher's steps receive it: PostForm in the program,
// the same or a stand-in in tests.
using HttpExchange = HttpExchangeResult (*)(const HttpExchangeRequest& request);
