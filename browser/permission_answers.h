#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

// The user's answers to the sites' permission questions, kept for this
// session only: by the site's origin and the feature's number.
class PermissionAnswers {
public:
    std::optional<bool> Find(const std::string& origin, int feature) const;
    void Remember(const std::string& origin, int feature, bool granted);

private:
    std::map<std::pair<std::string, int>, bool> m_answers;
};
