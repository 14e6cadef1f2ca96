#pragma once
// Registering the suite's file types with the shell, and keeping them pointed at the active release.
#include <string>

// Registers the extension under SOFTWARE\Classes and records the command as its "Application", all
// under the root chosen by machineWide; nothing for an extension that cannot be associated
// (UseExtensionProblem). The program is resolved ("%NVLROOT%" and lower case) and
// should come enclosed in double quotes. Failures are silent; each step runs whatever the one before
// gave.
void UseApplyAssociation(const std::string& extension, const std::string& program, const std::string& options,
                         bool machineWide);

// For every extension recorded under the File Associations key of the root chosen by machineWide,
// registers the first existing tool of the active release in the current user's classes, keeping the
// options of the current shell command. Extensions without a tool keep their registration. False
// when the record key does not open or its subkeys cannot be counted.
bool UseReapplyAssociations(bool machineWide);

// The options of the extension's current open command (quoted placeholders removed), or empty.
std::string UseReadShellOptions(const std::string& extension);
