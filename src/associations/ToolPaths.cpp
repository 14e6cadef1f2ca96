#include "associations/ToolPaths.h"

#include "environment/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

const std::vector<UseToolGroup>& UseToolGroups() {
    static const std::vector<UseToolGroup> groups = {
        {{"nsd", "nsk", "nsl", "nsj"},
         {"%NVLROOT%\\tools\\draft\\bin\\draftsch.exe", "%NVLROOT%\\tools\\bin\\draftsch.exe"}},
        {{"nym"}, {"%NVLROOT%\\tools\\draft\\bin\\symedit.exe", "%NVLROOT%\\tools\\bin\\symview.exe"}},
        {{"nnt"}, {"%NVLROOT%\\tools\\draft\\bin\\netgen.exe", "%NVLROOT%\\tools\\bin\\netgen.exe"}},
        {{"nbm"}, {"%NVLROOT%\\tools\\draft\\bin\\bomgen.exe", "%NVLROOT%\\tools\\bin\\bomgen.exe"}},
        {{"nck"}, {"%NVLROOT%\\tools\\draft\\bin\\rulecheck.exe", "%NVLROOT%\\tools\\bin\\rulecheck.exe"}},
        {{"wvf"}, {"%NVLROOT%\\tools\\wave\\bin\\scope.exe", "%NVLROOT%\\tools\\bin\\scope.exe"}},
        {{"nlb", "nlx", "nlc"},
         {"%NVLROOT%\\tools\\draft\\bin\\libman.exe", "%NVLROOT%\\tools\\bin\\libman.exe"}},
        {{"nbd"}, {"%NVLROOT%\\tools\\board\\layout.exe", "%NVLROOT%\\tools\\bin\\layout.exe"}},
        {{"nbx", "nby", "nbz"}, {"%NVLROOT%\\tools\\board\\board.exe", "%NVLROOT%\\tools\\bin\\board.exe"}},
        {{"nrt"}, {"%NVLROOT%\\tools\\board\\router.exe", "%NVLROOT%\\tools\\bin\\router.exe"}},
        {{"sgn", "sgt", "sgm", "sgp", "sgw"},
         {"%NVLROOT%\\tools\\signal\\signal.exe", "%NVLROOT%\\tools\\bin\\signal.exe"}},
        {{"plt"},
         {"%NVLROOT%\\tools\\signal\\signal.exe", "%NVLROOT%\\tools\\bin\\signal.exe",
          "%NVLROOT%\\tools\\trace\\bin\\traceview.exe", "%NVLROOT%\\tools\\bin\\traceview.exe"}},
        {{"out"}, {"%NVLROOT%\\tools\\probe\\waveview.exe", "%NVLROOT%\\tools\\bin\\waveview.exe"}},
        {{"nvw"}, {"%NVLROOT%\\tools\\Board\\boardview.exe", "%NVLROOT%\\tools\\bin\\boardview.exe"}},
    };
    return groups;
}

const UseToolGroup* UseToolGroupFor(const std::string& extension) {
    for (const UseToolGroup& group : UseToolGroups())
        for (const std::string& known : group.extensions)
            if (UseEqualsNoCase(known, extension)) return &group;
    return nullptr;
}

std::vector<std::string> UseDefaultExtensions() {
    std::vector<std::string> extensions;
    for (const UseToolGroup& group : UseToolGroups())
        extensions.insert(extensions.end(), group.extensions.begin(), group.extensions.end());
    return extensions;
}

std::string UseDefaultOptionsFor(const std::string& extension) {
    return extension == "out" ? "/dde" : "";
}

bool UseProgramExists(const std::string& program) {
    return UseFileExists(UseExpandSuitePath(program));
}

UseProgramProbe::UseProgramProbe() : root_(UseFindSuiteRoot()) {}

bool UseProgramProbe::Exists(const std::string& program) {
    const auto [entry, added] = found_.try_emplace(program, false);
    if (added) entry->second = UseFileExists(UseExpandSuitePath(program, root_));
    return entry->second;
}

std::string UseToolProgramFor(const std::string& extension) {
    const UseToolGroup* group = UseToolGroupFor(extension);
    if (!group) return {};
    for (const std::string& candidate : group->candidates)
        if (UseProgramExists(candidate)) return candidate;
    return {};
}
