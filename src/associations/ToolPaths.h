#pragma once
// The suite's tools by file type: for each group of extensions, the programs that open them in a
// release, tried in order. Candidates keep "%NVLROOT%" so they follow whichever release is active.
#include <string>
#include <unordered_map>
#include <vector>

struct UseToolGroup {
    std::vector<std::string> extensions; // three lower-case letters each, compared ignoring case
    std::vector<std::string> candidates; // "%NVLROOT%\..." paths, the preferred one first
};

// The 14 groups, in table order.
const std::vector<UseToolGroup>& UseToolGroups();
// The group that holds the extension, ignoring case; nullptr for an extension outside the table.
const UseToolGroup* UseToolGroupFor(const std::string& extension);
// The 25 extensions of the table, in table order: the file types registered when no defaults file
// is found.
std::vector<std::string> UseDefaultExtensions();
// The options a default registration gives the extension: "/dde" for "out", else none.
std::string UseDefaultOptionsFor(const std::string& extension);

// True when the path, "%NVLROOT%" resolved from the registry, names an existing file or folder.
bool UseProgramExists(const std::string& program);

// UseProgramExists for a run of adds (an import): the root is read once, and each program text is
// looked for once, since nothing the run writes moves the suite to another release or its files.
class UseProgramProbe {
public:
    UseProgramProbe(); // reads the root
    const std::string& Root() const { return root_; }
    bool Exists(const std::string& program);

private:
    std::string root_;
    std::unordered_map<std::string, bool> found_;
};

// The first candidate of the extension's group that exists in the active release, unresolved; empty
// when the extension is outside the table or no candidate exists.
std::string UseToolProgramFor(const std::string& extension);
