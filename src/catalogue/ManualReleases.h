#pragma once
// Releases added by hand, kept per user under SOFTWARE\Norvale\Morvane\ManualConfiguration.
#include "catalogue/ReleaseSet.h"

#include <string>

inline constexpr const char* kManualConfigurationKey = "SOFTWARE\\Norvale\\Morvane\\ManualConfiguration";

class UseManualReleaseStore {
public:
    // Migrates the machine-wide list to the user's key when the user has none, then loads the user's
    // key. Throws UseException "Unable to retrieve registry entry for manual configuration" when the
    // user's key exists but cannot be read.
    UseManualReleaseStore();

    // Adds a release or updates the root of an existing one; false when the registry refused.
    bool Add(const std::string& name, const std::string& location);
    // Deletes a release; true only when the set held exactly that name and the parent key opened.
    bool Remove(const std::string& name);

    UseReleaseSet& Releases() { return releases_; }

private:
    UseReleaseSet releases_;
};

// The process-wide store, created on the first call. A failed creation leaves nothing behind and is
// tried again at the next call.
UseManualReleaseStore& UseManualReleases();

// The releases that administrators added by hand for every user, read from HKEY_LOCAL_MACHINE alone and
// copied nowhere: what a user can write never chooses a write to the machine's environment. Throws as
// the store does when the key is there but cannot be read.
UseReleaseSet UseMachineManualReleases();
