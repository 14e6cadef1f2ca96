#include "support/Sandbox.h"

#include <sddl.h>

#include <atomic>
#include <cstdio>
#include <fstream>

ScopedRegistrySandbox::ScopedRegistrySandbox() {
    static std::atomic<int> counter{0};
    scratchPath_ = "Software\\KelmoraTestSandbox\\" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(counter++);
    // Process ids come round again: a case that died before its clean-up must not leave keys to the next.
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
    for (auto [root, key] : {std::pair{HKEY_LOCAL_MACHINE, &machine_}, {HKEY_CURRENT_USER, &user_}}) {
        const std::string path = scratchPath_ + (root == HKEY_LOCAL_MACHINE ? "\\HKLM" : "\\HKCU");
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(root, *key));
    }
}

ScopedRegistrySandbox::~ScopedRegistrySandbox() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(machine_);
    RegCloseKey(user_);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
}

ScopedTempFolder::ScopedTempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static std::atomic<int> counter{0};
    path_ = std::string(base) + "kelmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScopedTempFolder::~ScopedTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScopedTempFolder::AddFile(const std::string& relativePath, const std::string& content) const {
    const std::filesystem::path full = std::filesystem::path(path_) / relativePath;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full.string();
}

std::string ScopedTempFolder::AddFolder(const std::string& relativePath) const {
    const std::filesystem::path full = std::filesystem::path(path_) / relativePath;
    std::filesystem::create_directories(full);
    return full.string();
}

// The registry layer under test has tests of its own; the helpers lean on its RAII key.
void SetString(bool machineWide, const std::string& path, const std::string& name, const std::string& value,
               DWORD type) {
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(UseRegRoot(machineWide), path, KEY_ALL_ACCESS)) << path;
    ASSERT_EQ(ERROR_SUCCESS, key.SetString(name.c_str(), value, type)) << path << " " << name;
}

void CreateKey(bool machineWide, const std::string& path) {
    UseRegKey key;
    EXPECT_EQ(ERROR_SUCCESS, key.Create(UseRegRoot(machineWide), path, KEY_ALL_ACCESS)) << path;
}

void CreateEnvironmentKeys() {
    CreateKey(true, kSystemEnvironmentKey);
    CreateKey(false, kUserEnvironmentKey);
}

StoredValue GetStored(bool machineWide, const std::string& path, const std::string& name) {
    const auto value = UseRegOpenKey(path, machineWide, KEY_READ).QueryValue(name.c_str());
    if (!value) return {};
    std::string text = value->data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return {value->type, text};
}

void SetAccess(bool machineWide, const std::string& path, DWORD everyone) {
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(UseRegRoot(machineWide), path, READ_CONTROL | WRITE_DAC)) << path;
    char sddl[64];
    std::snprintf(sddl, sizeof sddl, "D:(A;;0x%lx;;;WD)", static_cast<unsigned long>(everyone));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor)) << path;
    LocalFree(descriptor);
}
