#pragma once
// Test support: every case runs against a registry of its own and files of its own.
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline constexpr const char* kSystemEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
inline constexpr const char* kUserEnvironmentKey = "Environment";
inline const char* EnvironmentKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

// Maps HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of this process onto two empty scratch keys for its
// lifetime, and deletes them afterwards. Code under test sees a registry that holds only what the
// case put there.
class ScopedRegistrySandbox {
public:
    ScopedRegistrySandbox();
    ~ScopedRegistrySandbox();
    ScopedRegistrySandbox(const ScopedRegistrySandbox&) = delete;
    ScopedRegistrySandbox& operator=(const ScopedRegistrySandbox&) = delete;

private:
    std::string scratchPath_;
    HKEY machine_ = nullptr;
    HKEY user_ = nullptr;
};

// A folder of its own under the Wine prefix's temporary folder, removed with everything in it.
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

// Registry fixture helpers; each fails the current test with its line when the registry refuses.
void SetString(bool machineWide, const std::string& path, const std::string& name, const std::string& value,
               DWORD type = REG_SZ);
void CreateKey(bool machineWide, const std::string& path);
// Creates both environment keys (writes open them but never create them).
void CreateEnvironmentKeys();
// The value's type and raw text (the terminating zero byte cut off), or type REG_NONE when missing.
struct StoredValue {
    DWORD type = REG_NONE;
    std::string text;
};
StoredValue GetStored(bool machineWide, const std::string& path, const std::string& name);
// Replaces the key's access list with one entry, everyone's: kReadOnly (with leave to delete, so that
// the sandbox can go), kNoAccess, or KEY_ALL_ACCESS. The sandbox cannot remove a key nobody may read:
// give all access back before the case ends.
inline constexpr DWORD kReadOnly = KEY_READ | WRITE_DAC | DELETE,
                       kNoAccess = READ_CONTROL | WRITE_DAC | DELETE;
void SetAccess(bool machineWide, const std::string& path, DWORD everyone);

// A fixture for cases that need nothing but a clean registry.
class SandboxedTest : public ::testing::Test {
protected:
    ScopedRegistrySandbox registry_;
};
