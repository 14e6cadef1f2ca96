#pragma once
// Finding the installed releases through the traces that the suite's installers leave in the
// registry, walking the built-in known-release table.
#include "catalogue/ReleaseSet.h"

#include <string>

// The process-wide set of detected releases, built by UseDetectReleases on the first call.
UseReleaseSet& UseDetectedReleases();

// Evaluates every row of the known-release table in order and adds what it finds to set.
void UseDetectReleases(UseReleaseSet& set);

// The suite-key scan: one installation per product-code subkey of suiteKey.
void UseScanSuiteKey(UseReleaseSet& set, bool machineWide, const std::string& suiteKey,
                     const std::string& uninstallRoot, const std::string& valueName,
                     const std::string& clientSetupSuffix, const std::string& exceptionKey,
                     const std::string& displayName);
