// Release list entries from any text, one a line: a split entry is its name, "(", its root and ")"
// followed by text without ")", with a non-empty name and a root of balanced parentheses, and the
// entry rebuilt from the two parts splits back into them. The last line is looked up as a root among
// the lines before it.
#include "FuzzCheck.h"

#include "catalogue/ReleaseEntry.h"
#include "platform/Text.h"

#include <algorithm>

namespace {
void CheckSplit(const std::string& entry) {
    std::string name = "unset", root = "unset";
    if (!UseSplitReleaseEntry(entry, name, root)) {
        FUZZ_CHECK(name == "unset" && root == "unset");
        return;
    }
    FUZZ_CHECK(!name.empty() && !root.empty());
    const std::string rebuilt = name + "(" + root + ")";
    FUZZ_CHECK(entry.starts_with(rebuilt) && entry.find(')', rebuilt.size()) == std::string::npos);
    FUZZ_CHECK(std::count(root.begin(), root.end(), '(') == std::count(root.begin(), root.end(), ')'));
    std::string nameAgain, rootAgain;
    FUZZ_CHECK(UseSplitReleaseEntry(rebuilt, nameAgain, rootAgain) && nameAgain == name && rootAgain == root);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines = FuzzSplit(FuzzText(data, size), '\n');
    for (const std::string& line : lines)
        CheckSplit(line);

    const std::string root = lines.back();
    lines.pop_back();
    const auto first = std::ranges::find_if(
        lines, [&](const std::string& line) { return line.find(root) != std::string::npos; });
    FUZZ_CHECK(UseFirstItemContaining(lines, root) == (first == lines.end() ? -1 : first - lines.begin()));

    const std::optional<std::string> name = UseCurrentReleaseName(lines, root);
    const auto holder = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return UseToLower(line).find(UseToLower(root)) != std::string::npos;
    });
    FUZZ_CHECK(name.has_value() == (holder != lines.end()));
    if (name)
        FUZZ_CHECK(holder->starts_with(*name) && name->size() < std::max<std::size_t>(holder->size(), 1));
    return 0;
}
