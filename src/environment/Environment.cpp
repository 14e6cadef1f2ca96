#include "environment/Environment.h"

#include "platform/Registry.h"
#include "platform/Text.h"

#include <vector>

namespace {
constexpr const char* kSystemEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kUserEnvironmentKey = "Environment";
constexpr const char* kRootVariable = "NVLROOT";
constexpr const char* kRootReference = "%NVLROOT%";
constexpr DWORD kExpansionBufferSize = 512; // bytes, the terminating zero included
constexpr DWORD kExpansionLimit = 32767;    // characters the platform expands, its zero included

const char* EnvironmentKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

std::string ReadStringValue(const std::string& keyPath, const char* name, bool machineWide) {
    return UseRegOpenKey(keyPath, machineWide, KEY_READ)
        .QueryString(name, UseStringRule::AnyEnding)
        .value_or(std::string());
}

// Expands %NAME% references from the process environment. The first attempt uses the fixed 512-byte
// buffer; a value whose expansion does not fit is expanded again into a buffer of the size the
// platform asked for, so a long value comes back whole rather than cut or empty, and no unfilled
// buffer is ever read. The platform takes at most 32,767 characters either way (Wine reads past
// a longer source), so longer text is not handed to it. A failed expansion gives the empty string.
std::string ExpandReferences(const std::string& text) {
    if (text.size() >= kExpansionLimit) return {};
    std::vector<char> buffer(kExpansionBufferSize, '\0');
    for (;;) {
        const DWORD needed =
            ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (needed == 0 || needed > kExpansionLimit) return {};
        if (needed <= buffer.size()) return std::string(buffer.data());
        buffer.assign(needed, '\0');
    }
}

// Folder values lose surrounding white space first, then every trailing backslash.
std::string TrimFolder(const std::string& text) {
    return UseTrimTrailingBackslashes(UseTrimWhite(text));
}

std::string ReadEnvironmentVariable(const char* name, bool machineWide) {
    return ExpandReferences(ReadStringValue(EnvironmentKey(machineWide), name, machineWide));
}

// Stores one environment value in an existing environment key, then broadcasts. The key is never
// created: an environment without its key is not the program's to make. Nothing is broadcast when
// the key does not open; otherwise the broadcast follows the close, whatever the store gave.
template <typename Store> LONG WriteEnvironmentVariable(bool machineWide, Store store) {
    LONG status = ERROR_SUCCESS;
    UseRegKey key = UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_WRITE, &status);
    if (!key) return status;
    status = store(key);
    key.Close();
    UseBroadcastEnvChange();
    return status;
}
} // namespace

std::string UseEnvReadRoot(bool machineWide) {
    return TrimFolder(ReadEnvironmentVariable(kRootVariable, machineWide));
}

std::string UseEnvReadSite(bool machineWide) {
    return TrimFolder(ReadEnvironmentVariable("NVL_SITE", machineWide));
}

std::string UseEnvReadLicFile(bool machineWide) {
    return ReadEnvironmentVariable("NVL_LIC_FILE", machineWide);
}

std::string UseEnvReadPath(bool machineWide) {
    const UseRegKey key = UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ);
    if (!key) return {};
    return key.QueryUtf8String("PATH").value_or(std::string());
}

std::string UseReadRootDirectory(bool machineWide) {
    return TrimFolder(ExpandReferences(ReadStringValue(kFileAssociationsKey, "rootDirectory", machineWide)));
}

LONG UseEnvWriteRoot(std::string& root, bool machineWide) {
    root = UseTrimTrailingBackslashes(root);
    return WriteEnvironmentVariable(
        machineWide, [&root](const UseRegKey& key) { return key.SetString(kRootVariable, root, REG_SZ); });
}

bool UseEnvWritePath(const std::string& path, bool machineWide) {
    return UseEnvUpdatePath(machineWide, [&path](const std::string&) { return std::optional(path); }) ==
           UsePathUpdate::Stored;
}

UsePathUpdate UseEnvUpdatePath(bool machineWide,
                               const std::function<std::optional<std::string>(const std::string&)>& update) {
    constexpr int kTries = 5;
    UseRegKey key = UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ | KEY_WRITE);
    if (!key) return UsePathUpdate::Refused;
    std::optional<UseRegKey::Value> read = key.QueryStoredValue("PATH");
    for (int attempt = 0; attempt < kTries; ++attempt) {
        // The text up to a stray zero is regrouped, as every reader of PATH reads it.
        const std::optional<std::string> wanted = update(UseStoredUtf8Text(read));
        if (!wanted) return UsePathUpdate::Left;
        // Stored only while PATH is still stored as it was read, so that another program's change is
        // regrouped in turn rather than lost.
        const LONG status = key.ReplaceUtf8String("PATH", read, *wanted, REG_EXPAND_SZ);
        if (status == ERROR_RETRY) {
            read = key.QueryStoredValue("PATH");
            continue;
        }
        key.Close();
        UseBroadcastEnvChange();
        return status == ERROR_SUCCESS ? UsePathUpdate::Stored : UsePathUpdate::Refused;
    }
    return UsePathUpdate::KeptChanging;
}

std::optional<UseRegKey::Value> UseEnvReadStored(const char* name, bool machineWide) {
    return UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ).QueryStoredValue(name);
}

std::string UseEnvUnreadable(bool machineWide) {
    const std::string scope = machineWide ? "system" : "user";
    const auto why = [](LONG status) {
        return status == ERROR_ACCESS_DENIED ? std::string("access denied")
                                             : "error " + std::to_string(status);
    };
    LONG status = ERROR_SUCCESS;
    const UseRegKey key = UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ, &status);
    if (status == ERROR_FILE_NOT_FOUND) return {};
    if (!key) return "The " + scope + " environment could not be read (" + why(status) + ").";
    for (const char* name : {kRootVariable, "PATH"}) {
        const std::optional<UseRegKey::Value> value = key.QueryStoredValue(name, &status);
        if (!value && status != ERROR_FILE_NOT_FOUND)
            return std::string(name) + " of the " + scope + " environment could not be read (" + why(status) +
                   ").";
        if (value && value->type != REG_SZ && value->type != REG_EXPAND_SZ)
            return std::string(name) + " of the " + scope + " environment is stored as type " +
                   std::to_string(value->type) + ", not as a string.";
    }
    return {};
}

LONG UseEnvWriteStored(const char* name, const std::optional<UseRegKey::Value>& value, bool machineWide) {
    return WriteEnvironmentVariable(machineWide, [&](const UseRegKey& key) {
        if (value) return key.SetStoredValue(name, *value);
        const LONG status = key.DeleteValue(name);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    });
}

void UseBroadcastEnvChange() {
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

std::string UseEnvReadSystemElseUser(std::string (*read)(bool machineWide)) {
    std::string value = read(true);
    return value.empty() ? read(false) : value;
}

std::string UseEnvReadActiveRoot() {
    return UseEnvReadSystemElseUser(UseEnvReadRoot);
}

std::string UseFindSuiteRoot() {
    const std::string root = UseEnvReadActiveRoot();
    return root.empty() ? UseReadRootDirectory(false) : root;
}

bool UseWriteRootDirectory(const std::string& root) {
    return UseRegCreateKey(kFileAssociationsKey, false) &&
           UseRegWriteString(kFileAssociationsKey, "rootDirectory", root, false);
}

std::string UseExpandSuitePath(const std::string& text) {
    // The root comes from the registry, never from this process's environment, which does not see a
    // switch made since the process started; it is read only for a text that names it.
    const bool namesRoot = UseToUpper(text).find(kRootReference) != std::string::npos;
    return UseExpandSuitePath(text, namesRoot ? UseFindSuiteRoot() : std::string());
}

std::string UseExpandSuitePath(const std::string& text, const std::string& root) {
    const std::string upper = UseToUpper(text);
    std::string resolved;
    if (upper.find(kRootReference) == std::string::npos)
        resolved = ExpandReferences(upper);
    else
        resolved = root.empty() ? upper : UseReplaceAll(upper, kRootReference, root);
    // The limit is the platform's, wherever the root came from.
    return resolved.size() >= kExpansionLimit ? std::string() : UseToLower(resolved);
}
