#include "browser/permission_answers.h"

std::optional<bool> PermissionAnswers::Find(const std::string& origin, int feature) const
{
    const auto answer = m_answers.find({origin, feature});
    if (answer == m_answers.end())
        return std::nullopt;
    return answer->second;
}

void PermissionAnswers::Remember(const std::string& origin, int feature, bool granted)
{
    m_answers[{origin, feature}] = granted;
}
