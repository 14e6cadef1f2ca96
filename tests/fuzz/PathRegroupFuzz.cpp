// PATH regrouping on any text, in both scopes: every distinct non-empty entry comes out exactly once
// and unchanged, nothing else does, the text never grows, a second pass changes nothing, and the
// order is the one a plain substring search over each entry gives.
#include "FuzzCheck.h"

#include "environment/PathRegroup.h"

#include <set>

namespace {
constexpr std::string_view kWindowsMarkers[] = {"%SYSTEMROOT%", "%WINDIR%", "WINDOWS", "SYSTEM32",
                                                "MICROSOFT"};

bool ContainsAny(const std::string& upper, const auto& markers) {
    for (std::string_view marker : markers)
        if (upper.find(marker) != std::string::npos) return true;
    return false;
}

// 0 Windows folders (system scope only), 1 suite entries, 2 the rest.
int GroupOf(const std::string& entry, bool machineWide) {
    std::string upper = entry;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (ContainsAny(upper, kSuiteMarkers)) return 1;
    return machineWide && ContainsAny(upper, kWindowsMarkers) ? 0 : 2;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzText(data, size);
    std::vector<std::string> distinct; // non-empty entries in order of first appearance
    std::set<std::string> seen;
    for (const std::string& entry : FuzzSplit(path, ';'))
        if (!entry.empty() && seen.insert(entry).second) distinct.push_back(entry);

    for (const bool machineWide : {true, false}) {
        const std::string once = UseRegroupPath(path, machineWide);
        FUZZ_CHECK(once.size() <= path.size());
        FUZZ_CHECK(UseRegroupPath(once, machineWide) == once);

        const std::vector<std::string> after =
            once.empty() ? std::vector<std::string>{} : FuzzSplit(once, ';');
        for (const std::string& entry : after)
            FUZZ_CHECK(seen.count(entry) == 1); // an empty or altered entry is in no input set
        FUZZ_CHECK(after.size() == distinct.size());
        FUZZ_CHECK(std::set<std::string>(after.begin(), after.end()) == seen);

        std::string grouped;
        for (int group = 0; group < 3; ++group)
            for (const std::string& entry : distinct)
                if (GroupOf(entry, machineWide) == group) grouped += entry + ";";
        if (!grouped.empty()) grouped.pop_back();
        FUZZ_CHECK(once == grouped);
    }
    return 0;
}
