#include "catalogue/Detection.h"

#include "catalogue/KnownReleases.h"
#include "catalogue/ManualReleases.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace {
bool Present(const std::string& productCode, bool machineWide) {
    return UseRegHasDisplayName(UseUninstallKey(productCode), machineWide);
}

// Whether a value row went past its first test (presence when it has one, else the read), which is
// what decides a retry in the user view.
enum class UseRowOutcome { FirstTestFailed, Evaluated };

UseRowOutcome DetectValueRow(const UseKnownRelease& row, UseReleaseSet& set, bool machineWide) {
    const bool hasPresence = !row.presenceCode.empty();
    if (hasPresence && !Present(row.presenceCode, machineWide)) return UseRowOutcome::FirstTestFailed;
    const auto root = UseRegReadString(row.key, row.valueName, machineWide);
    if (!root) return hasPresence ? UseRowOutcome::Evaluated : UseRowOutcome::FirstTestFailed;
    // A client of a file server leaves this folder behind; the file-server row names the release.
    if (!row.clientSetupSuffix.empty() && UseFileExists(*root + row.clientSetupSuffix))
        return UseRowOutcome::Evaluated;
    set.Set(row.displayName, *root);
    return UseRowOutcome::Evaluated;
}

struct UseInstallPlace {
    bool machineWide;
    std::string uninstallKey;
};

// The view and uninstall key under which a 17.x installer registered its product, if any.
std::optional<UseInstallPlace> FindInstallPlace(const std::string& productCode, bool machineTracesOnly) {
    if (Present(productCode, true)) return UseInstallPlace{true, UseUninstallKey(productCode)};
    if (!machineTracesOnly && Present(productCode, false))
        return UseInstallPlace{false, UseUninstallKey(productCode)};
    if (UseRegHasDisplayName(UseUninstallKey32(productCode), true))
        return UseInstallPlace{true, UseUninstallKey32(productCode)};
    return std::nullopt;
}

void DetectClientOrServer(const UseKnownRelease& row, UseReleaseSet& set, bool machineTracesOnly) {
    const auto place = FindInstallPlace(row.presenceCode, machineTracesOnly);
    if (!place) return;
    std::optional<std::string> root;
    if (UseRegIsClientInstall(row.key, place->machineWide)) {
        // A client's own folder is no release root; only the file server it points at is.
        root = UseRegReadString(row.key, "FileServer", place->machineWide);
    } else {
        root = UseRegReadString(row.key, "TargetDir", place->machineWide);
        if (!root) root = UseRegReadString(place->uninstallKey, "InstallLocation", place->machineWide);
    }
    if (root) set.Set(row.displayName, *root);
}

void ScanRow(const UseKnownRelease& row, UseReleaseSet& set, bool machineWide) {
    UseScanSuiteKey(set, machineWide, row.key, kUninstallRoot, row.valueName, row.clientSetupSuffix,
                    row.exceptionKey, row.displayName);
}
} // namespace

void UseScanSuiteKey(UseReleaseSet& set, bool machineWide, const std::string& suiteKey,
                     const std::string& uninstallRoot, const std::string& valueName,
                     const std::string& clientSetupSuffix, const std::string& exceptionKey,
                     const std::string& displayName) {
    const auto productCodes = UseRegOpenKey(suiteKey, machineWide, KEY_READ).SubKeyNames();
    if (!productCodes) return;
    // The only release whose installer keeps the root in its suite subkey rather than in the uninstall key.
    const bool rootInSuiteKey = displayName == "QDR 15.0";
    int counter = 0;
    for (const std::string& productCode : *productCodes) {
        const std::string suitePath = suiteKey + "\\" + productCode;
        const std::string uninstallPath = uninstallRoot + "\\" + productCode;
        if (!UseRegHasDisplayName(uninstallPath, machineWide)) continue;
        if (UseEqualsNoCase(productCode, exceptionKey)) continue;
        const auto root =
            UseRegReadString(rootInSuiteKey ? suitePath : uninstallPath, valueName, machineWide);
        if (!root) continue;
        if (!UseFileExists(*root + "\\compnts.dat")) continue;
        if (UseFileExists(*root + clientSetupSuffix)) continue;
        set.Set(productCodes->size() == 1 ? displayName : UseNumberedReleaseName(displayName, ++counter),
                *root);
    }
}

void UseDetectReleases(UseReleaseSet& set, bool machineTracesOnly) {
    auto previous = UseRowOutcome::Evaluated;
    for (const UseKnownRelease& row : UseKnownReleases()) {
        switch (row.kind) {
        case UseDetectionKind::Value: {
            if (row.viewRule == UseViewRule::MachineWhenPreviousAbsent &&
                previous != UseRowOutcome::FirstTestFailed) {
                previous = UseRowOutcome::Evaluated;
                break;
            }
            auto outcome = DetectValueRow(row, set, true);
            if (outcome == UseRowOutcome::FirstTestFailed && row.viewRule == UseViewRule::MachineElseUser &&
                !machineTracesOnly)
                outcome = DetectValueRow(row, set, false);
            previous = outcome;
            break;
        }
        case UseDetectionKind::SuiteScan:
            ScanRow(row, set, true);
            if (row.viewRule == UseViewRule::MachineAndUser && !machineTracesOnly) ScanRow(row, set, false);
            previous = UseRowOutcome::Evaluated;
            break;
        case UseDetectionKind::ClientOrServer:
            DetectClientOrServer(row, set, machineTracesOnly);
            previous = UseRowOutcome::Evaluated;
            break;
        }
    }
}

UseReleaseSet& UseDetectedReleases() {
    static UseReleaseSet detected = [] {
        UseReleaseSet set;
        UseDetectReleases(set);
        return set;
    }();
    return detected;
}

const UseReleaseSet& UseMachineDetectedReleases() {
    static const UseReleaseSet detected = [] {
        UseReleaseSet set;
        UseDetectReleases(set, true);
        return set;
    }();
    return detected;
}

UseRelease UseLookUpRelease(const std::string& name, UseReleaseTrust trust) {
    const bool machine = trust == UseReleaseTrust::Machine;
    const UseReleaseSet& detected = machine ? UseMachineDetectedReleases() : UseDetectedReleases();
    if (std::string root = detected.FindRoot(name); !root.empty()) return {detected.FindName(name), root};
    if (machine) {
        const UseReleaseSet listed = UseMachineManualReleases();
        return {listed.FindName(name), listed.FindRoot(name)};
    }
    const UseReleaseSet& listed = UseManualReleases().Releases();
    return {listed.FindName(name), listed.FindRoot(name)};
}
