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

bool UseRewritePath(bool machineWide) {
    const std::string oldText = TrimSeparators(UseEnvReadPath(machineWide));
    // A PATH without the suite is not the program's to reorder.
    if (!HasSuiteEntry(oldText)) return false;
    const std::string updated = UseRegroupPath(oldText, machineWide);
    if (UseEqualsNoCase(updated, oldText)) return false;
    if (!UseEnvWritePath(updated, machineWide)) return false;
    UseWriteSwitchLog(oldText, updated, machineWide);
    return true;
}
