#pragma once
// Environment text: %NAME% references and PATH entries. Strings in, strings out.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A variable's value by its name, as the reference writes it; nothing when the variable is not set.
using UseVariableLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Replaces every %NAME% reference that lookup knows by its value, as Windows expands environment
// strings: a reference to a variable that is not set stays as written (its closing "%" may open the
// next one), and a value is not expanded again. Any length.
std::string UseExpandReferences(std::string_view text, const UseVariableLookup& lookup);

// Whether text holds a %NAME% reference, NAME being one character or more.
bool UseHoldsReference(std::string_view text);

// The non-empty entries of a PATH text, in order; ";" alone separates them.
std::vector<std::string> UsePathEntries(std::string_view text);

// PATH as a process sees it: the system's, then the user's, joined by ";" when both hold something.
std::string UseJoinPaths(const std::string& systemPath, const std::string& userPath);

// Whether a folder is absolute: a drive and its root (C:\..., C:/...) or a network path
// (\\server\share). A relative one (bin, \bin, C:bin) names a folder of whatever the current folder is.
bool UseIsAbsoluteFolder(std::string_view folder);
