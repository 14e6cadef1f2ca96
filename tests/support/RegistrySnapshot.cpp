#include "support/RegistrySnapshot.h"

#include "platform/Unicode.h"

#include <cstdio>

namespace {
std::string Utf8(const std::wstring& text) {
    return UseUtf8FromWide(text).value_or("<not UTF-16>");
}

void Walk(HKEY parent, const std::wstring& path, const std::string& name, RegistrySnapshot& snapshot) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        // A key that does not exist is simply absent; one that exists but refuses reading is noted.
        if (RegOpenKeyExW(parent, path.c_str(), 0, READ_CONTROL, &key) == ERROR_SUCCESS) {
            snapshot[name] = "<unreadable>";
            RegCloseKey(key);
        }
        return;
    }
    snapshot[name] = "";
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        nameLength = 16384;
        RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &size);
        std::string text = std::to_string(type) + ":";
        for (unsigned char byte : data.substr(0, size)) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", byte);
            text += hex;
        }
        snapshot[name + "[" + Utf8(valueName) + "]"] = text;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t child[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Walk(key, child, name + Utf8(child) + "\\", snapshot);
    }
    RegCloseKey(key);
}
} // namespace

RegistrySnapshot TakeSnapshot(const std::vector<SnapshotRoot>& roots) {
    RegistrySnapshot snapshot;
    for (const SnapshotRoot& root : roots)
        Walk(root.machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, UseWideFromUtf8(root.path).value(),
             std::string(root.machineWide ? "HKLM\\" : "HKCU\\") + root.path + "\\", snapshot);
    return snapshot;
}

std::vector<std::string> ChangedEntries(const RegistrySnapshot& before, const RegistrySnapshot& after) {
    std::vector<std::string> changed;
    for (const auto& [name, value] : before)
        if (const auto found = after.find(name); found == after.end() || found->second != value)
            changed.push_back(name);
    for (const auto& [name, value] : after)
        if (!before.contains(name)) changed.push_back(name);
    return changed;
}
