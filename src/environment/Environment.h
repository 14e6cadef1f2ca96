#pragma once
// The suite's variables in the system environment (machineWide true, HKLM\SYSTEM\...\Environment)
// or the user environment (machineWide false, HKCU\Environment), and the change broadcast.
#include "platform/Registry.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

inline constexpr const char* kFileAssociationsKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";

// Reads return the empty string when the key, the value or a string type is missing.
std::string UseEnvReadRoot(bool machineWide);    // NVLROOT, expanded and trimmed
std::string UseEnvReadSite(bool machineWide);    // NVL_SITE, expanded and trimmed
std::string UseEnvReadLicFile(bool machineWide); // NVL_LIC_FILE, expanded, untrimmed
// PATH, raw, as UTF-8: a folder named outside the code page keeps every character through a rewrite.
std::string UseEnvReadPath(bool machineWide);
// "rootDirectory" of the File Associations key, under HKLM when machineWide, else HKCU; expanded
// and trimmed like NVLROOT.
std::string UseReadRootDirectory(bool machineWide);
// Records root as the current user's "rootDirectory", creating the File Associations key when it is
// missing; true when stored.
bool UseWriteRootDirectory(const std::string& root);

// A variable as the suite's tools see it: the system environment's value, else the user's.
std::string UseEnvReadSystemElseUser(std::string (*read)(bool machineWide));
// The root of the active release as the suite's tools see it: NVLROOT of the system environment,
// else the user's; empty when neither is set.
std::string UseEnvReadActiveRoot();
// The root of the active release: NVLROOT (system, else user), else the user's recorded
// "rootDirectory"; empty when none is set.
std::string UseFindSuiteRoot();

// Removes trailing backslashes from root (the caller's string too), stores it as NVLROOT (REG_SZ) in
// an existing environment key and broadcasts. Returns 0 or the registry's error code.
LONG UseEnvWriteRoot(std::string& root, bool machineWide);
// Stores PATH (UTF-8) as REG_EXPAND_SZ in an existing environment key and broadcasts; true when stored.
bool UseEnvWritePath(const std::string& path, bool machineWide);

// A variable exactly as stored (its type and bytes, a string in UTF-16), for putting it back later;
// nothing when it is not set.
std::optional<UseRegKey::Value> UseEnvReadStored(const char* name, bool machineWide);
// Why NVLROOT and PATH of an environment cannot be taken as set or not set, as one line: its key or one
// of them cannot be read, or one is stored as something other than a string. Empty when both read (a
// missing key or value is one that is not set): a read refused is never taken for an empty one.
std::string UseEnvUnreadable(bool machineWide);
// Puts a variable back exactly as UseEnvReadStored gave it, or removes it when it was not set, in an
// existing environment key, and broadcasts. Returns 0 or the registry's error code.
LONG UseEnvWriteStored(const char* name, const std::optional<UseRegKey::Value>& value, bool machineWide);
enum class UsePathUpdate {
    Left,         // the update wanted no change
    Stored,       // stored, then broadcast
    Refused,      // the key did not open for writing, or refused the store (broadcast all the same)
    KeptChanging, // another program wrote PATH between every read and the store: left as it was
};
// Gives PATH (UTF-8, empty when missing) to update, which returns the value to store or nothing to
// leave PATH alone, and stores that as REG_EXPAND_SZ in an existing environment key. PATH is read again
// through the same key just before the store: when another program wrote it since, update is asked
// again with what it wrote, a few times at most, so that its change is never stored over.
UsePathUpdate UseEnvUpdatePath(bool machineWide,
                               const std::function<std::optional<std::string>(const std::string&)>& update);

// WM_SETTINGCHANGE "Environment" to every top-level window, 5000 ms each, hung windows skipped.
void UseBroadcastEnvChange();

// A stored program path made real: "%NVLROOT%" resolved from the registry (system, user, root
// record), or every other reference expanded from the process environment; in lower case. Empty
// when the expansion fails (text of 32,767 characters or more).
std::string UseExpandSuitePath(const std::string& text);
// The same with the root already found by UseFindSuiteRoot (empty when none is set): for a run of
// paths that nothing in it can move to another release, so that the registry is read once for all.
std::string UseExpandSuitePath(const std::string& text, const std::string& root);
