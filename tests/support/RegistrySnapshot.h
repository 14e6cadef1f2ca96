#pragma once
// Everything under a few registry keys, so that a case can tell exactly what a run changed.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct SnapshotRoot {
    bool machineWide;
    std::string path;
};

// One line per key ("HKCU\path\") and per value ("HKCU\path\[name]" -> type and raw bytes), read
// through the wide functions so that no character is lost. Keys that cannot be read are listed with
// "<unreadable>".
using RegistrySnapshot = std::map<std::string, std::string>;
RegistrySnapshot TakeSnapshot(const std::vector<SnapshotRoot>& roots);

// The entries that differ between before and after (added, removed or changed), by name.
std::vector<std::string> ChangedEntries(const RegistrySnapshot& before, const RegistrySnapshot& after);
