// PATH regrouping on any text, in both scopes: every distinct non-empty entry comes out exactly once
// and unchanged, nothing else does, the text never grows, a second pass changes nothing, and the
// order is the one a plain substring search over each entry gives. References expand to the text
// itself when no variable is set or each stands for itself, and change it exactly when it holds one.
#include "FuzzCheck.h"

#include "environment/EnvironmentText.h"
#include "environment/PathRegroup.h"

#include <algorithm>
#include <set>

namespace {
constexpr std::string_view kWindowsMarkers[] = {"%SYSTEMROOT%", "%WINDIR%", "WINDOWS", "SYSTEM32",
                                                "MICROSOFT"};

// 0 Windows folders (system scope only), 1 suite entries, 2 the rest.
int GroupOf(std::string entry, bool machineWide) {
    for (char& c : entry)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const auto holdsAny = [&](const auto& markers) {
        return std::ranges::any_of(
            markers, [&](std::string_view marker) { return entry.find(marker) != std::string::npos; });
    };
    return holdsAny(kSuiteMarkers) ? 1 : machineWide && holdsAny(kWindowsMarkers) ? 0 : 2;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzText(data, size);
    std::vector<std::string> distinct, entries; // non-empty entries: in order of first appearance, all
    std::set<std::string> seen;
    for (const std::string& entry : FuzzSplit(path, ';'))
        if (!entry.empty() && (entries.push_back(entry), seen.insert(entry).second))
            distinct.push_back(entry);
    FUZZ_CHECK(UsePathEntries(path) == entries);
    FUZZ_CHECK(UseExpandReferences(path, [](std::string_view) { return std::nullopt; }) == path);
    FUZZ_CHECK(UseExpandReferences(
                   path, [](std::string_view name) { return "%" + std::string(name) + "%"; }) == path);
    FUZZ_CHECK(UseHoldsReference(path) ==
               (UseExpandReferences(path, [](std::string_view) { return ""; }) != path));

    for (const bool machineWide : {true, false}) {
        const std::string once = UseRegroupPath(path, machineWide);
        FUZZ_CHECK(once.size() <= path.size());
        FUZZ_CHECK(UseRegroupPath(once, machineWide) == once);
        std::multiset<std::string> after; // an empty, altered or repeated entry matches nothing seen
        for (const std::string& entry : FuzzSplit(once, ';'))
            after.insert(entry);
        FUZZ_CHECK(once.empty() ? seen.empty() : std::ranges::equal(after, seen));

        std::string grouped;
        for (int group = 0; group < 3; ++group)
            for (const std::string& entry : distinct)
                if (GroupOf(entry, machineWide) == group) grouped += entry + ";";
        FUZZ_CHECK(once == grouped.substr(0, grouped.empty() ? 0 : grouped.size() - 1));
    }
    return 0;
}
