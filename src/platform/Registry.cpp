#include "platform/Registry.h"

#include "platform/Text.h"
#include "platform/Unicode.h"

#include <vector>

UseRegKey& UseRegKey::operator=(UseRegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.Release();
    }
    return *this;
}

HKEY UseRegKey::Release() noexcept {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

void UseRegKey::Close() noexcept {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

LONG UseRegKey::Open(HKEY parent, const std::string& path, REGSAM access) noexcept {
    Close();
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(parent, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) key_ = key;
    return status;
}

LONG UseRegKey::Create(HKEY parent, const std::string& path, REGSAM access) noexcept {
    Close();
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) key_ = key;
    return status;
}

std::optional<DWORD> UseRegKey::SubKeyCount() const {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return count;
}

std::optional<std::string> UseRegKey::SubKeyName(DWORD index, DWORD bufferSize) const {
    std::vector<char> name(bufferSize, '\0');
    DWORD length = bufferSize;
    if (RegEnumKeyExA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(name.data(), length);
}

std::optional<UseRegKey::Value> UseRegKey::QueryValue(const char* name) const {
    Value value;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // One byte more than reported, so a value stored without its zero byte still ends in one here.
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key_, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.assign(buffer.data(), size);
    return value;
}

LONG UseRegKey::SetString(const char* name, const std::string& text, DWORD type) const noexcept {
    // The stored size counts the terminating zero byte; readers rely on it.
    return RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

std::optional<std::string> UseRegKey::QueryUtf8String(const char* name) const {
    const std::optional<std::wstring> wideName = UseWideFromUtf8(name);
    DWORD type = REG_NONE, size = 0;
    if (!wideName ||
        RegQueryValueExW(key_, wideName->c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // One character more than reported, so a value stored without its zero still ends in one here.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key_, wideName->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    return UseUtf8FromWide(buffer.data());
}

LONG UseRegKey::SetUtf8String(const char* name, const std::string& text, DWORD type) const {
    const std::optional<std::wstring> wideName = UseWideFromUtf8(name);
    const std::optional<std::wstring> wideText = UseWideFromUtf8(text);
    if (!wideName || !wideText) return ERROR_INVALID_DATA;
    return RegSetValueExW(key_, wideName->c_str(), 0, type, reinterpret_cast<const BYTE*>(wideText->c_str()),
                          static_cast<DWORD>((wideText->size() + 1) * sizeof(wchar_t)));
}

HKEY UseRegRoot(bool machineWide) noexcept {
    return machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string UseRegStringOf(const UseRegKey::Value& value) {
    const std::string& data = value.data;
    bool terminated = false;
    switch (value.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        terminated = !data.empty() && data.back() == '\0';
        break;
    case REG_MULTI_SZ:
        terminated = data.size() >= 2 ? data[data.size() - 1] == '\0' && data[data.size() - 2] == '\0'
                                      : data.size() == 1 && data[0] == '\0';
        break;
    default:
        break;
    }
    if (!terminated) return {};
    return std::string(data.c_str());
}

UseRegKey UseRegOpenKey(const std::string& path, bool machineWide, REGSAM access, LONG* status) {
    UseRegKey key;
    const LONG result = key.Open(UseRegRoot(machineWide), path, access);
    if (status) *status = result;
    return key;
}

bool UseRegKeyExists(const std::string& path, bool machineWide) {
    return static_cast<bool>(UseRegOpenKey(path, machineWide, KEY_READ));
}

bool UseRegCreateKey(const std::string& path, bool machineWide) {
    UseRegKey key;
    return key.Create(UseRegRoot(machineWide), path, KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
}

namespace {
std::optional<std::string> ReadStringUntrimmed(const std::string& path, const char* valueName,
                                               bool machineWide) {
    const UseRegKey key = UseRegOpenKey(path, machineWide, KEY_READ);
    if (!key) return std::nullopt;
    const auto value = key.QueryValue(valueName);
    if (!value) return std::nullopt;
    return UseRegStringOf(*value);
}

bool DeleteTree(HKEY parent, const std::string& subKey) {
    UseRegKey key;
    if (key.Open(parent, subKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return false;
    while (const auto child = key.SubKeyName(0, 256))
        if (!DeleteTree(key.Get(), *child)) return false;
    key.Close();
    return RegDeleteKeyA(parent, subKey.c_str()) == ERROR_SUCCESS;
}
} // namespace

std::optional<std::string> UseRegReadString(const std::string& path, const std::string& valueName,
                                            bool machineWide) {
    auto text = ReadStringUntrimmed(path, valueName.c_str(), machineWide);
    if (text) *text = UseTrimTrailingBackslashes(*text);
    return text;
}

bool UseRegWriteString(const std::string& path, const std::string& valueName, const std::string& value,
                       bool machineWide) {
    UseRegKey key;
    if (key.Create(UseRegRoot(machineWide), path, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return false;
    const DWORD type = value.find('%') != std::string::npos ? REG_EXPAND_SZ : REG_SZ;
    return key.SetString(valueName.c_str(), value, type) == ERROR_SUCCESS;
}

bool UseRegDeleteSubKey(const std::string& parentPath, const std::string& subKey, bool machineWide) {
    const UseRegKey parent = UseRegOpenKey(parentPath, machineWide, KEY_READ | KEY_WRITE);
    if (!parent) return false;
    RegDeleteKeyA(parent.Get(), subKey.c_str());
    return true;
}

bool UseRegDeleteKeyTree(const std::string& parentPath, const std::string& subKey, bool machineWide) {
    const UseRegKey parent = UseRegOpenKey(parentPath, machineWide, KEY_READ | KEY_WRITE);
    if (!parent) return false;
    DeleteTree(parent.Get(), subKey);
    return true;
}

bool UseRegHasDisplayName(const std::string& path, bool machineWide) {
    const UseRegKey key = UseRegOpenKey(path, machineWide, KEY_READ);
    if (!key) return false;
    const auto value = key.QueryValue("DISPLAYNAME"); // value names are matched ignoring case
    return value && (value->type == REG_SZ || value->type == REG_EXPAND_SZ);
}

bool UseRegIsClientInstall(const std::string& path, bool machineWide) {
    const auto text = ReadStringUntrimmed(path, "ISCLIENTINSTALL", machineWide);
    return text && UseEqualsNoCase(*text, "TRUE");
}

UseRegKey UseRegOpenClassesKey(const std::string& path, REGSAM access) {
    const std::string classesPath = "SOFTWARE\\Classes\\" + path;
    UseRegKey key = UseRegOpenKey(classesPath, false, access);
    if (!key) key = UseRegOpenKey(classesPath, true, access);
    return key;
}
