#pragma once
// The text side of the main dialog: release list entries, the current release among them, the scope
// a switch writes to and the blocks of the environment summary. Strings in, strings out.
#include <optional>
#include <string>
#include <vector>

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

// Where a switch writes NVLROOT and rewrites PATH.
enum class UseSwitchScope { System, User, None };

// The system environment when NVLROOT is set there, else the user environment when it is set there,
// else the environment whose PATH mentions "%NVLROOT%" (letter case as written; the user's first),
// else none.
UseSwitchScope UseChooseSwitchScope(const std::string& systemRoot, const std::string& userRoot,
                                    const std::string& systemPath, const std::string& userPath);

// The summary's pieces, each inserted at the caret in turn: the environment as the dialog found it,
// and the environment after a switch (the system PATH directly followed by the user PATH).
std::vector<std::string> UseInitialSettingPieces(const std::string& root, const std::string& licenceFile);
std::vector<std::string> UseSwitchSummaryPieces(const std::string& root, const std::string& systemPath,
                                                const std::string& userPath);
