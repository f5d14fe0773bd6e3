#include "bench/process_tree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// The parent of each process; the field after the command name, which may
// itself hold blanks and parentheses.
std::multimap<pid_t, pid_t> ChildrenByParent()
{
    std::multimap<pid_t, pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const std::size_t commandEnd = text.rfind(')');
        if (commandEnd == std::string::npos)
            continue;
        std::istringstream fields(text.substr(commandEnd + 1));
        std::string state;
        pid_t parent = 0;
        if (fields >> state >> parent)
            children.emplace(parent, static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

}

std::vector<pid_t> DescendantsOf(pid_t ancestor, pid_t spared)
{
    const std::multimap<pid_t, pid_t> children = ChildrenByParent();
    std::vector<pid_t> found;
    std::vector<pid_t> parents{ancestor};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto child = first; child != last; ++child) {
            if (child->second == spared)
                continue;
            found.push_back(child->second);
            parents.push_back(child->second);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

TreeMemory MemoryOf(const std::vector<pid_t>& processes)
{
    TreeMemory memory;
    for (const pid_t pid : processes) {
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string name;
        long kiB = 0;
        std::string unit;
        bool counted = false;
        while (rollup >> name) {
            if (name == "Pss:" && rollup >> kiB >> unit) {
                memory.pssKiB += kiB;
                counted = true;
            } else if (name == "Rss:" && rollup >> kiB >> unit) {
                memory.rssKiB += kiB;
            } else {
                rollup.ignore(1 << 16, '\n');
            }
        }
        if (counted)
            ++memory.processes;
    }
    return memory;
}
