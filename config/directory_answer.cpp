#include "config/directory_answer.h"

#include "platform/address_syntax.h"

#include <json/reader.h>
#include <json/value.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <string_view>

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
    // Nothing but a usable host is written: any other text would stay in the
    // file, and every later start would report to it without asking again.
    constexpr std::string_view kDomain = "Domain";
    const Json::Value* domain =
        root.isObject() ? root.find(kDomain.data(), kDomain.data() + kDomain.size()) : nullptr;
    if (!domain || domain->isArray() || domain->isObject())
        return {DirectoryAnswer::Kind::Unusable, {}};
    // A JSON null leaves the host empty: the next start asks for the code again.
    std::string host = domain->asString();
    if (!domain->isNull() && !IsUsableHost(host))
        return {DirectoryAnswer::Kind::Unusable, {}};
    return {DirectoryAnswer::Kind::Host, std::move(host)};
}
