#include "platform/Registry.h"

#include "platform/Text.h"
#include "platform/Unicode.h"

#include <cstring>
#include <vector>

namespace {
constexpr DWORD kFirstReadSize = 512; // bytes: a record, a registration, most values read
} // namespace

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

std::optional<std::vector<std::string>> UseRegKey::SubKeyNames() const {
    const std::optional<DWORD> count = SubKeyCount();
    if (!count) return std::nullopt;
    std::vector<std::string> names;
    names.reserve(*count);
    char name[kUseSubKeyNameBuffer];
    for (DWORD index = 0; index < *count; ++index) {
        DWORD length = kUseSubKeyNameBuffer;
        if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<UseRegKey::Value> UseRegKey::QueryValue(const char* name) const {
    Value value;
    // Most values fit a small buffer and cost one request to the registry; a longer one is read again
    // at the size it reported. The buffer always has one byte more than the registry may fill, so a
    // value stored without its zero byte still ends in one here.
    std::vector<char> buffer(kFirstReadSize + 1, '\0');
    DWORD size = kFirstReadSize;
    LONG status =
        RegQueryValueExA(key_, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_MORE_DATA) {
        buffer.assign(static_cast<std::size_t>(size) + 1, '\0');
        status =
            RegQueryValueExA(key_, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.data.assign(buffer.data(), size);
    return value;
}

std::optional<std::string> UseRegKey::QueryString(const char* name, UseStringRule rule) const {
    const std::optional<Value> value = QueryValue(name);
    if (!value) return std::nullopt;
    const std::string& data = value->data;
    bool taken = false;
    switch (value->type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        // QueryValue reads one byte past the data, so even a value stored without its zero ends in one.
        taken = rule == UseStringRule::AnyEnding || (!data.empty() && data.back() == '\0');
        break;
    case REG_MULTI_SZ:
        taken = rule == UseStringRule::Terminated &&
                (data.size() >= 2 ? data[data.size() - 1] == '\0' && data[data.size() - 2] == '\0'
                                  : data.size() == 1 && data[0] == '\0');
        break;
    default:
        break;
    }
    return taken ? std::string(data.c_str()) : std::string();
}

LONG UseRegKey::SetString(const char* name, const std::string& text, DWORD type) const noexcept {
    // The stored size counts the terminating zero byte; readers rely on it.
    return RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

namespace {
// Value names are ASCII, so their wide form is their bytes widened.
std::wstring WideName(const char* name) {
    return std::wstring(name, name + std::char_traits<char>::length(name));
}
} // namespace

std::optional<std::string> UseRegKey::QueryUtf8String(const char* name) const {
    const std::wstring wideName = WideName(name);
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // One character more than reported, so a value stored without its zero still ends in one here.
    std::u16string buffer(size / sizeof(char16_t) + 2, u'\0');
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    return UseUtf8FromUtf16(buffer.c_str());
}

LONG UseRegKey::SetUtf8String(const char* name, const std::string& text, DWORD type) const {
    const std::optional<std::u16string> wideText = UseUtf16FromUtf8(text);
    if (!wideText) return ERROR_INVALID_DATA;
    return RegSetValueExW(key_, WideName(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(wideText->c_str()),
                          static_cast<DWORD>((wideText->size() + 1) * sizeof(char16_t)));
}

std::optional<UseRegKey::Value> UseRegKey::QueryStoredValue(const char* name, LONG* status) const {
    const std::wstring wideName = WideName(name);
    Value value;
    DWORD size = 0;
    LONG read = RegQueryValueExW(key_, wideName.c_str(), nullptr, &value.type, nullptr, &size);
    // A value that another program lengthens between the two reads is read again at its new size:
    // reported as missing, it would be put back as missing.
    while (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) {
        value.data.assign(size, '\0');
        read = RegQueryValueExW(key_, wideName.c_str(), nullptr, &value.type,
                                reinterpret_cast<BYTE*>(value.data.data()), &size);
        if (read == ERROR_SUCCESS) {
            value.data.resize(size);
            break;
        }
    }
    if (status) *status = read;
    if (read != ERROR_SUCCESS) return std::nullopt;
    return value;
}

LONG UseRegKey::SetStoredValue(const char* name, const Value& value) const {
    return RegSetValueExW(key_, WideName(name).c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size()));
}

LONG UseRegKey::DeleteValue(const char* name) const {
    return RegDeleteValueW(key_, WideName(name).c_str());
}

LONG UseRegKey::ReplaceUtf8String(const char* name, const std::optional<Value>& expected,
                                  const std::string& text, DWORD type) const {
    const std::optional<std::u16string> wideText = UseUtf16FromUtf8(text);
    if (!wideText) return ERROR_INVALID_DATA;
    const std::wstring wideName = WideName(name);
    // Room for one byte more than expected: a longer value does not fit, and reads as changed. Like is
    // compared with like, the whole value as stored, a zero inside it and what follows included.
    std::string now(expected ? expected->data.size() + 1 : 1, '\0');
    DWORD nowType = REG_NONE, size = static_cast<DWORD>(now.size());
    const LONG read = RegQueryValueExW(key_, wideName.c_str(), nullptr, &nowType,
                                       reinterpret_cast<BYTE*>(now.data()), &size);
    const bool unchanged = expected ? read == ERROR_SUCCESS && nowType == expected->type &&
                                          std::string_view(now.data(), size) == expected->data
                                    : read == ERROR_FILE_NOT_FOUND;
    if (!unchanged) return ERROR_RETRY;
    return RegSetValueExW(key_, wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(wideText->c_str()),
                          static_cast<DWORD>((wideText->size() + 1) * sizeof(char16_t)));
}

std::string UseStoredUtf8Text(const std::optional<UseRegKey::Value>& value) {
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    std::u16string units(value->data.size() / sizeof(char16_t), u'\0');
    std::memcpy(units.data(), value->data.data(), units.size() * sizeof(char16_t));
    return UseUtf8FromUtf16(units.c_str());
}

HKEY UseRegRoot(bool machineWide) noexcept {
    return machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
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
    return UseRegOpenKey(path, machineWide, KEY_READ).QueryString(valueName, UseStringRule::Terminated);
}

bool DeleteTree(HKEY parent, const std::string& subKey) {
    UseRegKey key;
    if (key.Open(parent, subKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return false;
    for (const std::string& child : key.SubKeyNames().value_or(std::vector<std::string>()))
        if (!DeleteTree(key.Get(), child)) return false;
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
