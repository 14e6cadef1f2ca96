#include "support/PrefixState.h"

#include "support/Sandbox.h"

#include <windows.h>

namespace {
const char* const kTouchedVariables[] = {"NVLROOT", "PATH", "NVL_SITE", "NVL_LIC_FILE"};

HKEY RootOf(bool machineWide) { return machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }
const char* EnvironmentKey(bool machineWide) { return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey; }

// Removes the program's and the suite's keys and the shell registrations the program writes.
void RemoveSuiteKeys() {
    for (bool machineWide : {true, false}) {
        RegDeleteTreeA(RootOf(machineWide), "SOFTWARE\\Norvale");
        RegDeleteTreeA(RootOf(machineWide), "SOFTWARE\\Wow6432Node\\Norvale");
        HKEY classes = nullptr;
        if (RegOpenKeyExA(RootOf(machineWide), "SOFTWARE\\Classes", 0, KEY_ALL_ACCESS, &classes) != ERROR_SUCCESS)
            continue;
        std::vector<std::string> doomed;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(classes, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            const std::string key(name, length);
            if (key.ends_with("_auto_file_mvxnrvl")) {
                doomed.push_back(key);
                doomed.push_back("." + key.substr(0, key.size() - 18));
            }
        }
        for (const std::string& key : doomed) RegDeleteTreeA(classes, key.c_str());
        RegCloseKey(classes);
    }
}
} // namespace

ScopedPrefixRegistry::ScopedPrefixRegistry() {
    for (bool machineWide : {true, false}) {
        for (const char* name : kTouchedVariables) {
            Saved saved{machineWide, name, std::nullopt};
            HKEY key = nullptr;
            if (RegOpenKeyExA(RootOf(machineWide), EnvironmentKey(machineWide), 0, KEY_READ, &key) == ERROR_SUCCESS) {
                DWORD type = 0, size = 0;
                if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
                    std::string data(size, '\0');
                    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
                    saved.value = std::make_pair(static_cast<unsigned long>(type), data);
                }
                RegCloseKey(key);
            }
            environment_.push_back(saved);
        }
    }
    RemoveSuiteKeys();
}

ScopedPrefixRegistry::~ScopedPrefixRegistry() {
    for (const Saved& saved : environment_) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(RootOf(saved.machineWide), EnvironmentKey(saved.machineWide), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            continue;
        if (saved.value)
            RegSetValueExA(key, saved.name.c_str(), 0, saved.value->first,
                           reinterpret_cast<const BYTE*>(saved.value->second.data()),
                           static_cast<DWORD>(saved.value->second.size()));
        else
            RegDeleteValueA(key, saved.name.c_str());
        RegCloseKey(key);
    }
    RemoveSuiteKeys();
}
