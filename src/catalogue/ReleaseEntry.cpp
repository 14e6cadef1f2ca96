#include "catalogue/ReleaseEntry.h"

#include "platform/Text.h"

std::string UseReleaseEntryText(const std::string& name, const std::string& root) {
    return name + "(" + root + ")";
}

bool UseSplitReleaseEntry(const std::string& entry, std::string& name, std::string& root) {
    const std::size_t close = entry.rfind(')');
    if (close == std::string::npos) return false;
    int depth = 1;
    std::size_t open = close;
    while (open > 0 && depth > 0) {
        --open;
        if (entry[open] == ')') ++depth;
        if (entry[open] == '(') --depth;
    }
    // Running out of text before the parentheses balance means the root has no start.
    if (depth != 0 || open == 0 || close - open == 1) return false;
    name = entry.substr(0, open);
    root = entry.substr(open + 1, close - open - 1);
    return true;
}

std::optional<std::string> UseCurrentReleaseName(const std::vector<std::string>& entries,
                                                 const std::string& root) {
    const std::string wanted = UseToLower(root);
    for (const std::string& entry : entries) {
        const std::size_t at = UseToLower(entry).find(wanted);
        if (at == std::string::npos) continue;
        // The "(" before the root is not part of the name.
        return entry.substr(0, at == 0 ? 0 : at - 1);
    }
    return std::nullopt;
}

int UseFirstItemContaining(const std::vector<std::string>& items, const std::string& root) {
    for (std::size_t index = 0; index < items.size(); ++index)
        if (items[index].find(root) != std::string::npos) return static_cast<int>(index);
    return -1;
}
