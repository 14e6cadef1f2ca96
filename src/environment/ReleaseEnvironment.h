#pragma once
// The environment a process started for one release sees, worked out without writing anything: for
// printing it into a console or starting a program with it. Text is UTF-8 throughout.
#include <optional>
#include <string>
#include <string_view>

// A variable of this process's environment; nothing when it is not set.
std::optional<std::string> UseProcessVariable(std::string_view name);

// text with "%NVLROOT%" (any letter case) standing for root and every other reference taken from this
// process's environment.
std::string UseExpandWithRoot(std::string_view text, const std::string& root);

struct UseReleaseVariables {
    std::string root; // NVLROOT: the release's root, references in it expanded
    // PATH as Windows joins it, the system's then the user's, each regrouped as a switch leaves it,
    // expanded with the release's root
    std::string path;
};
// The variables of the release whose root the catalogue gives (8-bit text).
UseReleaseVariables UseReleaseEnvironment(const std::string& catalogueRoot);
