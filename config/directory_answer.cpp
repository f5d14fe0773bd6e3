#include "config/directory_answer.h"

#include <json/reader.h>
#include <json/value.h>

#include <algorithm>
#include <exception>
#include <iterator>

std::string JoinAnswerLines(const std::string& answer)
{
    std::string joined;
    joined.reserve(answer.size());
    std::copy_if(answer.begin(), answer.end(), std::back_inserter(joined),
                 [](char byte) { return byte != '\r' && byte != '\n'; });
    return joined;
}

DirectoryAnswer ReadDirectoryAnswer(const std::string& text)
{
    Json::Value root;
    try {
        // The reader gives up on very deep nesting by throwing.
        Json::Reader reader;
        if (!reader.parse(text.data(), text.data() + text.size(), root, false))
            return {DirectoryAnswer::Kind::NotJson, {}};
    } catch (const std::exception&) {
        return {DirectoryAnswer::Kind::NotJson, {}};
    }
    if (!root.isObject() && !root.isNull())
        return {DirectoryAnswer::Kind::Unusable, {}};

    const Json::Value domain = root.get("Domain", "null");
    if (domain.isArray() || domain.isObject())
        return {DirectoryAnswer::Kind::Unusable, {}};
    return {DirectoryAnswer::Kind::Host, domain.asString()};
}
