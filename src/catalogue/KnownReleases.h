#pragma once
// The built-in table of the suite's releases and of the registry traces each one's installer leaves.
#include <string>
#include <vector>

inline constexpr const char* kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kUninstallRoot32 =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

enum class UseDetectionKind {
    // One value names the root, optionally only while a product is registered.
    Value,
    // One installation per product-code subkey of a suite key (UseScanSuiteKey).
    SuiteScan,
    // A 17.x release: client or file-server installation, found through any uninstall view. The row's
    // presence code is the product, its key the release key; it picks its view itself.
    ClientOrServer,
};

enum class UseViewRule {
    Machine,
    // Retried in the user view only when the row's first test (presence, else read) failed.
    MachineElseUser,
    // Scanned in both views, the user view last so that it wins for the same name.
    MachineAndUser,
    // Machine view, evaluated only when the preceding row found its product in neither view.
    MachineWhenPreviousAbsent,
};

struct UseKnownRelease {
    int row;
    std::string displayName;
    UseDetectionKind kind;
    // The product whose uninstall key must carry a display name; empty when the row has none.
    std::string presenceCode;
    // The key holding the value (the suite key for scans and 17.x rows).
    std::string key;
    std::string valueName;
    // Appended to the root: when that folder exists, the installation is a client of a file server.
    std::string clientSetupSuffix;
    UseViewRule viewRule;
    // Suite scans: the subkey that belongs to another row of the same release.
    std::string exceptionKey;
};

// The rows in the order they are evaluated; later rows replace earlier ones that give the same name.
const std::vector<UseKnownRelease>& UseKnownReleases();

// SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<code>, and its 32-bit twin.
std::string UseUninstallKey(const std::string& productCode);
std::string UseUninstallKey32(const std::string& productCode);
// The name of the counter-th installation of a release whose suite key holds several.
std::string UseNumberedReleaseName(const std::string& displayName, int counter);
