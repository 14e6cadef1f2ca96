#include "ui/ReleaseEntry.h"

#include "platform/Text.h"

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

UseSwitchScope UseChooseSwitchScope(const std::string& systemRoot, const std::string& userRoot,
                                    const std::string& systemPath, const std::string& userPath) {
    constexpr const char* kReference = "%NVLROOT%";
    if (!systemRoot.empty()) return UseSwitchScope::System;
    if (!userRoot.empty()) return UseSwitchScope::User;
    if (userPath.find(kReference) != std::string::npos) return UseSwitchScope::User;
    if (systemPath.find(kReference) != std::string::npos) return UseSwitchScope::System;
    return UseSwitchScope::None;
}

std::vector<std::string> UseInitialSettingPieces(const std::string& root, const std::string& licenceFile) {
    return {
        "Original Setting: \r\n\r\n",
        "    NVLROOT       = " + root + "\r\n",
        "    NVL_LIC_FILE = " + licenceFile + "\r\n",
    };
}

std::vector<std::string> UseSwitchSummaryPieces(const std::string& root, const std::string& systemPath,
                                                const std::string& userPath) {
    return {
        std::string(53, '-') + "\r\n\r\n",
        "NVLROOT = " + root + "\r\n\r\n",
        "PATH = ",
        systemPath + userPath + "\r\n\r\n",
    };
}
