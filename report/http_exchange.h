#pragma once

#include <cstddef>
#include <string>

// One form POST as the launcher makes it, shared by the directory lookup and
// the device report.
struct HttpExchangeRequest {
    std::string address;          // "http://host[:port]/object", code-page bytes
    std::string body;             // sent as is, with its exact length
    bool readAnswer = false;      // the report never reads the answer
    std::size_t maxAnswerBytes = 1024 * 1024;
};

enum class HttpExchangeOutcome {
    SplitFailed,   // the address is not a well-formed http address
    NoConnection,  // no connection object could be made
    NoRequest,     // no request could be prepared
    SendFailed,    // unreachable, refused, reset, timed out, answer too large
    Sent,          // the server answered, whatever its status
};

struct HttpExchangeResult {
    HttpExchangeOutcome outcome = HttpExchangeOutcome::SendFailed;
    long status = 0;
    std::string answer;  // only when readAnswer
};

HttpExchangeResult PostForm(const HttpExchangeRequest& request);
