#pragma once
// Test support. Every case runs against the test prefix's own registry, the one kelmora.exe sees:
// a ScopedPrefixRegistry starts the case without the suite's and the program's keys, with the
// environment variables of a new prefix, and puts back what the case changed (environment values, keys
// it planted, access it took away). Cases run one at
// a time (ctest holds one lock for all of them), so each also sees only its own broadcasts.
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

inline constexpr const char* kSystemEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
inline constexpr const char* kUserEnvironmentKey = "Environment";
inline const char* EnvironmentKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

class ScopedPrefixRegistry {
public:
    ScopedPrefixRegistry();
    ~ScopedPrefixRegistry();
    ScopedPrefixRegistry(const ScopedPrefixRegistry&) = delete;
    ScopedPrefixRegistry& operator=(const ScopedPrefixRegistry&) = delete;

private:
    // Scope, name and value (nothing when the variable was not set) of each variable a case may change.
    std::vector<std::tuple<bool, const char*, std::optional<UseRegKey::Value>>> environment_;
};

// A fixture for cases that need nothing but a clean registry.
class SandboxedTest : public ::testing::Test {
protected:
    ScopedPrefixRegistry registry_;
};

// Registry helpers. A key they create goes again with the case; each fails the case with its line
// when the registry refuses. Values are UTF-8, stored through the wide functions.
void SetString(bool machineWide, const std::string& path, const std::string& name, const std::string& value,
               DWORD type = REG_SZ);
void CreateKey(bool machineWide, const std::string& path);
// The value's type and raw text (the terminating zero byte cut off), or type REG_NONE when missing.
struct StoredValue {
    DWORD type = REG_NONE;
    std::string text;
    bool operator==(const StoredValue&) const = default;
};
StoredValue GetStored(bool machineWide, const std::string& path, const std::string& name);
// Gives everyone exactly the access (kReadOnly, kNoAccess or KEY_ALL_ACCESS) to the key, creating it
// when missing; its own access list comes back at the end of the case.
inline constexpr DWORD kReadOnly = KEY_READ | WRITE_DAC | DELETE,
                       kNoAccess = READ_CONTROL | WRITE_DAC | DELETE;
void SetAccess(bool machineWide, const std::string& path, DWORD everyone);

// Every key ("HKCU\path\") and value ("HKCU\path\[name]" -> type and raw bytes) the program may write:
// both environments, both SOFTWARE\Norvale, the user's classes and the machine's ".nsd".
using RegistrySnapshot = std::map<std::string, std::string>;
RegistrySnapshot TakeSnapshot();
// Every entry added, removed or changed lies under one of the expected names (a key with all in it,
// or one value), and each expected name saw a change.
void ExpectOnlyChanges(const RegistrySnapshot& before, const RegistrySnapshot& after,
                       const std::vector<std::string>& expected);

// Counts what the running program tells other windows while it exists: environment-change broadcasts
// (WM_SETTINGCHANGE "Environment", from any process) and the shell's file-association notices (this
// process's).
class BroadcastListener {
public:
    BroadcastListener();
    ~BroadcastListener();
    int EnvironmentChanges() const { return environment_; }
    int ShellNotices() const { return shell_; }

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::atomic<int> environment_{0}, shell_{0};
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A folder of its own under the prefix's temporary folder (its path free of the program's base name),
// removed with everything in it.
class ScopedTempFolder {
public:
    ScopedTempFolder();
    ~ScopedTempFolder();
    const std::string& Path() const { return path_; }
    // Creates a file (and its missing parent folders) at path relative to the folder; returns its full path.
    std::string AddFile(const std::string& relativePath, const std::string& content = "") const;
    std::string AddFolder(const std::string& relativePath) const;

private:
    std::string path_;
};
