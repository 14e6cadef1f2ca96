#pragma once
// Release list entries, name + "(" + root + ")", and the current release among them. Strings in,
// strings out.
#include <optional>
#include <string>
#include <vector>

// The text a release list shows for one release: name + "(" + root + ")", nothing between them.
std::string UseReleaseEntryText(const std::string& name, const std::string& root);

// Splits a release list entry, name + "(" + root + ")", at the opening parenthesis that matches its
// last closing one, so names and roots may hold balanced parentheses of their own; anything after
// the last ")" is ignored. Fails, leaving name and root as they were, when the entry has no ")", when
// no "(" matches it, or when the name or the root would be empty.
bool UseSplitReleaseEntry(const std::string& entry, std::string& name, std::string& root);

// The name of the current release: the text before the "(" that precedes the root in the first
// entry that contains the root, letter case ignored. Nothing when no entry contains it.
std::optional<std::string> UseCurrentReleaseName(const std::vector<std::string>& entries,
                                                 const std::string& root);

// The index of the first item that contains the root, letter case compared exactly; -1 when none.
int UseFirstItemContaining(const std::vector<std::string>& items, const std::string& root);
