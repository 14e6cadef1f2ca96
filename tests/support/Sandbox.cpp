#include "support/Sandbox.h"

#include "platform/Registry.h"

#include <aclapi.h>

#include <atomic>
#include <fstream>

namespace {
std::atomic<int> sandboxCounter{0};

HKEY CreateRealKey(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    return key;
}
} // namespace

ScopedRegistrySandbox::ScopedRegistrySandbox() {
    scratchPath_ = "Software\\KelmoraTestSandbox\\" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(sandboxCounter++);
    // Process ids come round again: a case that died before its clean-up must not leave keys to the next.
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
    machine_ = CreateRealKey(HKEY_CURRENT_USER, scratchPath_ + "\\HKLM");
    user_ = CreateRealKey(HKEY_CURRENT_USER, scratchPath_ + "\\HKCU");
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_));
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, user_));
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

StoredValue GetStored(bool machineWide, const std::string& path, const std::string& name) {
    const auto value = UseRegOpenKey(path, machineWide, KEY_READ).QueryValue(name.c_str());
    if (!value) return {};
    std::string text = value->data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return {value->type, text};
}

bool KeyExists(bool machineWide, const std::string& path) {
    return UseRegKeyExists(path, machineWide);
}

void CreateEnvironmentKeys() {
    CreateKey(true, kSystemEnvironmentKey);
    CreateKey(false, kUserEnvironmentKey);
}

namespace {
// Replaces the key's access list with one entry: everyone gets exactly permissions.
void SetEveryoneAccess(bool machineWide, const std::string& path, DWORD permissions) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.c_str(),
                                           0, READ_CONTROL | WRITE_DAC, &key));
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    EXPLICIT_ACCESSA access{};
    access.grfAccessPermissions = permissions;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL acl = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, SetEntriesInAclA(1, &access, nullptr, &acl));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor));
    LocalFree(acl);
    FreeSid(everyone);
    RegCloseKey(key);
}
} // namespace

void DenyWrite(bool machineWide, const std::string& path) {
    SetEveryoneAccess(machineWide, path,
                      KEY_READ | READ_CONTROL | WRITE_DAC | DELETE); // DELETE lets the sandbox go
}

void DenyRead(bool machineWide, const std::string& path) {
    SetEveryoneAccess(machineWide, path, READ_CONTROL | WRITE_DAC | DELETE);
}

void AllowAllAccess(bool machineWide, const std::string& path) {
    SetEveryoneAccess(machineWide, path, KEY_ALL_ACCESS);
}
