#pragma once

#include <string>

// The directory server's answer to a site-code lookup, read as the launcher
// reads it: the answer's lines joined, parsed as JSON, and the member "Domain"
// taken as the site server's host.

// The answer's bytes without their line ends (CR and LF), as received otherwise.
std::string JoinAnswerLines(const std::string& answer);

struct DirectoryAnswer {
    enum class Kind {
        Host,      // `host` holds the text to write, possibly empty
        NotJson,   // the text does not parse: nothing to write
        Unusable,  // JSON without a usable host: nothing to write
    };
    Kind kind = Kind::NotJson;
    std::string host;  // bytes as the directory sent them
};

// Parses `text` with JsonCpp's Reader, comments allowed, and takes the root
// object's member "Domain" as text the way Json::Value::asString does: a string
// as it stands, a number as its decimal text, true and false as words. A JSON
// null gives the empty host. Any other text must be a usable host (a DNS name,
// an IPv4 address or a bracketed IPv6 address), else the answer is Unusable, as
// it is without "Domain", with a root that is not an object, or with a
// "Domain" that is an array or object.
DirectoryAnswer ReadDirectoryAnswer(const std::string& text);
