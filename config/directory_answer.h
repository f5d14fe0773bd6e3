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
        Unusable,  // JSON of the wrong shape: nothing to write
    };
    Kind kind = Kind::NotJson;
    std::string host;  // bytes as the directory sent them
};

// Parses `text` with JsonCpp's Reader, comments allowed. "Domain" defaults to
// the text "null" and is turned into text as Json::Value::asString does: a
// string as it stands, a number as its decimal text, true and false as words, a
// JSON null as nothing. A root that is neither an object nor null, or a
// "Domain" that is an array or object, is Unusable.
DirectoryAnswer ReadDirectoryAnswer(const std::string& text);
