#include "environment/PathRewrite.h"

#include "environment/Environment.h"
#include "environment/PathRegroup.h"
#include "environment/SwitchLog.h"
#include "platform/Text.h"

namespace {
bool HasSuiteEntry(const std::string& text) {
    const std::string upper = UseToUpper(text);
    for (std::string_view marker : kSuiteMarkers)
        if (upper.find(marker) != std::string::npos) return true;
    return false;
}

std::string TrimSeparators(const std::string& text) {
    const size_t first = text.find_first_not_of(';');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(';') - first + 1);
}
} // namespace

UsePathRewrite UseRewritePath(bool machineWide) {
    std::string oldText, updated;
    const auto regroup = [&](const std::string& path) -> std::optional<std::string> {
        oldText = TrimSeparators(path);
        // A PATH without the suite is not the program's to reorder.
        if (!HasSuiteEntry(oldText)) return std::nullopt;
        updated = UseRegroupPath(oldText, machineWide);
        if (UseEqualsNoCase(updated, oldText)) return std::nullopt;
        return updated;
    };
    UsePathRewrite rewrite;
    switch (UseEnvUpdatePath(machineWide, regroup)) {
    case UsePathUpdate::Stored:
        rewrite.written = true;
        rewrite.logRefusal = UseWriteSwitchLog(oldText, updated, machineWide);
        break;
    case UsePathUpdate::KeptChanging:
        rewrite.refusal = std::string("PATH of the ") + (machineWide ? "system" : "user") +
                          " environment kept changing while it was being regrouped; it was left as it was.";
        break;
    default:
        break;
    }
    return rewrite;
}
