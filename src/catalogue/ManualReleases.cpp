#include "catalogue/ManualReleases.h"

#include "platform/Registry.h"
#include "platform/UseException.h"

namespace {
constexpr const char* kLocationValue = "Location";

std::string ReleaseKey(const std::string& name) {
    return std::string(kManualConfigurationKey) + "\\" + name;
}

// An administrator may have listed releases for every user; a user's first start takes them over.
// A user key that already exists, even an empty one, means the user has a list of their own.
void CopyMachineListToUser() {
    if (UseRegKeyExists(kManualConfigurationKey, false)) return;
    const auto names = UseRegOpenKey(kManualConfigurationKey, true, KEY_READ).SubKeyNames();
    if (!names) return;
    for (const std::string& name : *names) {
        const auto location = UseRegReadString(ReleaseKey(name), kLocationValue, true);
        if (location) UseRegWriteString(ReleaseKey(name), kLocationValue, *location, false);
    }
}

[[noreturn]] void ThrowUnreadable() {
    throw UseException("Unable to retrieve registry entry for manual configuration");
}

void LoadList(UseReleaseSet& releases, bool machineWide) {
    LONG status = ERROR_SUCCESS;
    const UseRegKey key = UseRegOpenKey(kManualConfigurationKey, machineWide, KEY_READ, &status);
    if (!key) {
        // Only a key that is not there means "no releases"; one that is there but refuses to be read
        // must not pass for an empty list.
        if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return;
        ThrowUnreadable();
    }
    const auto names = key.SubKeyNames();
    if (!names) ThrowUnreadable();
    for (const std::string& name : *names) {
        const auto location = UseRegReadString(ReleaseKey(name), kLocationValue, machineWide);
        if (location) releases.Set(name, *location);
    }
}
} // namespace

UseManualReleaseStore::UseManualReleaseStore() {
    CopyMachineListToUser();
    LoadList(releases_, false);
}

UseReleaseSet UseMachineManualReleases() {
    UseReleaseSet releases;
    LoadList(releases, true);
    return releases;
}

bool UseManualReleaseStore::Add(const std::string& name, const std::string& location) {
    const std::string key = ReleaseKey(name);
    if (!UseRegCreateKey(key, false)) return false;
    if (!UseRegWriteString(key, kLocationValue, location, false)) return false;
    releases_.Set(name, location);
    return true;
}

bool UseManualReleaseStore::Remove(const std::string& name) {
    const bool held = releases_.Remove(name);
    // Registry names ignore case, so this may delete a subkey the set spelt differently.
    const bool parentOpened = UseRegDeleteSubKey(kManualConfigurationKey, name, false);
    return held && parentOpened;
}

UseManualReleaseStore& UseManualReleases() {
    // A constructor that throws leaves the static uninitialised, so the next call tries again.
    static UseManualReleaseStore store;
    return store;
}
