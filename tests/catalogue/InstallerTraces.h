#pragma once
// What the suite's installers leave in the registry, written by the detection tests.
#include "catalogue/Detection.h"
#include "catalogue/KnownReleases.h"

#include "support/Sandbox.h"

#include <map>
#include <string>

using DetectedEntries = std::map<std::string, std::string>;

inline std::string U(const std::string& productCode) {
    return std::string(kUninstallRoot) + "\\" + productCode;
}
inline std::string U32(const std::string& productCode) {
    return std::string(kUninstallRoot32) + "\\" + productCode;
}

// Registers a product the way an installer does: a display name in its uninstall key.
inline void Register(bool machineWide, const std::string& uninstallKey) {
    SetString(machineWide, uninstallKey, "DisplayName", "Norvale");
}

inline DetectedEntries Detect() {
    UseReleaseSet set;
    UseDetectReleases(set);
    return set.Entries();
}
