#include "environment/PathRewrite.h"

#include "environment/Environment.h"
#include "environment/SwitchLog.h"
#include "platform/Text.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace {
constexpr std::string_view kSuiteMarkers[] = {"%NVL_INST_DIR%", "%NVLROOT%"};
constexpr std::string_view kWindowsMarkers[] = {"%SYSTEMROOT%", "%WINDIR%", "WINDOWS", "SYSTEM32",
                                                "MICROSOFT"};

template <size_t N> bool ContainsAny(std::string_view upperText, const std::string_view (&markers)[N]) {
    for (std::string_view marker : markers)
        if (upperText.find(marker) != std::string_view::npos) return true;
    return false;
}

// The entries of one class in order of first appearance, each exact text once. The set holds views
// into the caller's text, so a PATH of thousands of entries is regrouped in one pass.
struct EntryGroup {
    std::vector<std::string_view> entries;
    std::unordered_set<std::string_view> seen;

    void Add(std::string_view entry) {
        if (seen.insert(entry).second) entries.push_back(entry);
    }
};

std::string TrimSeparators(const std::string& text) {
    const size_t first = text.find_first_not_of(';');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(';') - first + 1);
}
} // namespace

std::string UseRegroupPath(const std::string& oldText, bool machineWide) {
    // Classes are decided on an upper-case copy; the entries keep their own letters.
    const std::string upper = UseToUpper(oldText);
    EntryGroup windows, suite, other;
    for (size_t start = 0; start <= oldText.size();) {
        size_t end = oldText.find(';', start);
        if (end == std::string::npos) end = oldText.size();
        if (end > start) {
            const std::string_view entry(oldText.data() + start, end - start);
            const std::string_view upperEntry(upper.data() + start, end - start);
            if (ContainsAny(upperEntry, kSuiteMarkers))
                suite.Add(entry);
            else if (machineWide && ContainsAny(upperEntry, kWindowsMarkers))
                windows.Add(entry);
            else
                other.Add(entry);
        }
        start = end + 1;
    }
    std::string result;
    result.reserve(oldText.size());
    for (const EntryGroup* group : {&windows, &suite, &other})
        for (std::string_view entry : group->entries) {
            result.append(entry);
            result.push_back(';');
        }
    if (!result.empty()) result.pop_back();
    return result;
}

bool UseRewritePath(bool machineWide) {
    const std::string oldText = TrimSeparators(UseEnvReadPath(machineWide));
    // A PATH without the suite is not the program's to reorder.
    if (!ContainsAny(UseToUpper(oldText), kSuiteMarkers)) return false;
    const std::string updated = UseRegroupPath(oldText, machineWide);
    if (UseEqualsNoCase(updated, oldText)) return false;
    if (!UseEnvWritePath(updated, machineWide)) return false;
    UseWriteSwitchLog(oldText, updated, machineWide);
    return true;
}
