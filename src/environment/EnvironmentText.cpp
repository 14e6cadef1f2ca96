#include "environment/EnvironmentText.h"

#include <algorithm>

std::string UseExpandReferences(std::string_view text, const UseVariableLookup& lookup) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t open = text.find('%', at);
        result.append(text.substr(at, open - at));
        if (open == std::string_view::npos) break;
        const size_t close = text.find('%', open + 1);
        if (close != std::string_view::npos && close > open + 1)
            if (const std::optional<std::string> value = lookup(text.substr(open + 1, close - open - 1))) {
                result += *value;
                at = close + 1;
                continue;
            }
        result += '%';
        at = open + 1;
    }
    return result;
}

bool UseHoldsReference(std::string_view text) {
    for (size_t open = text.find('%'); open != std::string_view::npos;) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) return false;
        if (close > open + 1) return true;
        open = close;
    }
    return false;
}

std::vector<std::string> UsePathEntries(std::string_view text) {
    std::vector<std::string> entries;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(';', start), text.size());
        if (end > start) entries.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::string UseJoinPaths(const std::string& systemPath, const std::string& userPath) {
    return systemPath.empty() || userPath.empty() ? systemPath + userPath : systemPath + ";" + userPath;
}

bool UseIsAbsoluteFolder(std::string_view folder) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (folder.size() >= 2 && separator(folder[0]) && separator(folder[1])) return true;
    const char drive = static_cast<char>(folder.empty() ? 0 : folder[0] | 0x20);
    return folder.size() >= 3 && drive >= 'a' && drive <= 'z' && folder[1] == ':' && separator(folder[2]);
}
