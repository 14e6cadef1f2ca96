#pragma once
// Where an association lives in the registry, and what the shell reads of it: the record under the
// program's File Associations key, the extension key and its class's open command under
// SOFTWARE\Classes. Also the one notice the shell gets of changed registrations.
#include <string>

inline constexpr const char* kUseClassesKey = "SOFTWARE\\Classes";

// The keys of one association: its record under File Associations, its extension key and its class's
// open command key under SOFTWARE\Classes.
std::string UseRecordKeyFor(const std::string& extension);
std::string UseExtensionKeyFor(const std::string& extension);
std::string UseCommandKeyFor(const std::string& associationClass);

// The open command of the extension's shell registration, user's classes before the machine's, raw;
// empty when the extension or its class has none.
std::string UseReadShellOpenCommand(const std::string& extension);
// UseReadShellOpenCommand with every quoted placeholder removed.
std::string UseShellCommandFor(const std::string& extension);

// PATHEXT of this process: the types that the command interpreter runs as programs here.
std::string UseExecutableFileTypes();
// Why no association may be recorded for the extension (UseExtensionRefusal with this process's
// PATHEXT), or empty. Every writer of an association or a registration asks it first.
std::string UseExtensionProblem(const std::string& extension);

// Every writer of a registration calls this once a write of it succeeded; the shell hears of the
// changes once, at the end of the run, through UseNotifyShellOfAssociationChanges.
void UseNoteAssociationChange();
// Tells the shell that file associations changed, when any changed since the last notice; true when
// it told. shell32 is loaded for it only then.
bool UseNotifyShellOfAssociationChanges();
