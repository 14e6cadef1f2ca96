#pragma once
// Finding the installed releases through the traces that the suite's installers leave in the
// registry, walking the built-in known-release table, and looking a release up by name among them and
// the hand-configured ones.
#include "catalogue/ReleaseSet.h"

#include <string>

// The process-wide set of detected releases, built by UseDetectReleases on the first call.
UseReleaseSet& UseDetectedReleases();
// The same, from the traces in HKEY_LOCAL_MACHINE alone: what only administrators can have written.
const UseReleaseSet& UseMachineDetectedReleases();

// Evaluates every row of the known-release table in order and adds what it finds to set. With
// machineTracesOnly, the rows that would look again in the user's view (or scan it too) do not.
void UseDetectReleases(UseReleaseSet& set, bool machineTracesOnly = false);

struct UseRelease {
    std::string name, root;
};
// Who may have written what names a release's root: for what only the user sees or writes, anything
// the user's programs could write counts too (HKEY_CURRENT_USER's traces, the user's own hand-configured
// list); for a write to the system environment, only what administrators alone can write.
enum class UseReleaseTrust { User, Machine };
// The release named (letter case ignored), detected or else hand-configured, as trust allows: its name
// as the catalogue holds it and its root, both empty when there is none. Throws UseException when the
// hand-configured list cannot be read.
UseRelease UseLookUpRelease(const std::string& name, UseReleaseTrust trust);

// The suite-key scan: one installation per product-code subkey of suiteKey.
void UseScanSuiteKey(UseReleaseSet& set, bool machineWide, const std::string& suiteKey,
                     const std::string& uninstallRoot, const std::string& valueName,
                     const std::string& clientSetupSuffix, const std::string& exceptionKey,
                     const std::string& displayName);
