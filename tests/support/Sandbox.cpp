#include "support/Sandbox.h"

#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ranges>

namespace {
const char* const kTouchedVariables[] = {"NVLROOT", "PATH", "NVL_SITE", "NVL_LIC_FILE"};
constexpr UINT kShellNotice = WM_APP + 1;

// What the running case planted, and the access lists it replaced, undone when its sandbox ends.
std::vector<std::pair<bool, std::string>> plantedKeys;
std::vector<std::tuple<bool, std::string, std::vector<BYTE>>> takenAccess;

void NotePlanted(bool machineWide, const std::string& path) {
    if (!UseRegKeyExists(path, machineWide)) plantedKeys.emplace_back(machineWide, path);
}

// Removes the program's and the suite's keys and the shell registrations the program writes.
void RemoveSuiteKeys() {
    for (bool machineWide : {true, false}) {
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Norvale");
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Wow6432Node\\Norvale");
        const UseRegKey classes = UseRegOpenKey("SOFTWARE\\Classes", machineWide, KEY_ALL_ACCESS);
        for (const std::string& name : classes.SubKeyNames().value_or(std::vector<std::string>()))
            if (name.ends_with("_auto_file_mvxnrvl")) {
                RegDeleteTreeA(classes.Get(), name.c_str());
                RegDeleteTreeA(classes.Get(), ("." + name.substr(0, name.size() - 18)).c_str());
            }
    }
}

// The key itself is left out at the top: a key like HKCU\SOFTWARE\Classes that a new prefix lacks
// until some program writes under it is not a change of this program's.
void Walk(HKEY parent, const std::string& path, const std::string& name, RegistrySnapshot& snapshot,
          bool top = false) {
    UseRegKey key;
    if (key.Open(parent, path, KEY_READ) != ERROR_SUCCESS) return;
    if (!top) snapshot[name] = "";
    std::string value(16384, '\0'), data(65536, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = 16384, type = 0, size = 65536;
        if (RegEnumValueA(key.Get(), index, value.data(), &length, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            break;
        snapshot[name + "[" + value.substr(0, length) + "]"] =
            std::to_string(type) + ":" + data.substr(0, size);
    }
    for (const std::string& child : key.SubKeyNames().value_or(std::vector<std::string>()))
        Walk(key.Get(), child, name + child + "\\", snapshot);
}
} // namespace

ScopedPrefixRegistry::ScopedPrefixRegistry() {
    for (bool machineWide : {true, false})
        for (const char* name : kTouchedVariables)
            environment_.push_back(
                {machineWide, name,
                 UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ).QueryValue(name)});
    // Each case starts from the variables of a new prefix, whatever a case stopped before its end (a
    // time limit, a planted fault) left behind.
    for (bool machineWide : {true, false})
        for (const char* name : kTouchedVariables)
            RegDeleteKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name);
    constexpr char kNewPrefixPath[] = "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem;%"
                                      "SystemRoot%\\system32\\WindowsPowershell\\v1.0";
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "PATH", REG_EXPAND_SZ, kNewPrefixPath,
                    sizeof kNewPrefixPath);
    RemoveSuiteKeys();
}

ScopedPrefixRegistry::~ScopedPrefixRegistry() {
    for (auto& [machineWide, path, descriptor] : std::ranges::reverse_view(takenAccess))
        RegSetKeySecurity(UseRegOpenKey(path, machineWide, WRITE_DAC).Get(), DACL_SECURITY_INFORMATION,
                          descriptor.data());
    takenAccess.clear();
    for (const auto& [machineWide, name, value] : environment_)
        if (value)
            RegSetKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name, value->type,
                            value->data.data(), static_cast<DWORD>(value->data.size()));
        else
            RegDeleteKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name);
    for (const auto& [machineWide, path] : std::ranges::reverse_view(plantedKeys))
        RegDeleteTreeA(UseRegRoot(machineWide), path.c_str());
    plantedKeys.clear();
    RemoveSuiteKeys();
}

void SetString(bool machineWide, const std::string& path, const std::string& name, const std::string& value,
               DWORD type) {
    NotePlanted(machineWide, path);
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(UseRegRoot(machineWide), path, KEY_ALL_ACCESS)) << path;
    ASSERT_EQ(ERROR_SUCCESS, key.SetUtf8String(name.c_str(), value, type)) << path << " " << name;
}

void CreateKey(bool machineWide, const std::string& path) {
    NotePlanted(machineWide, path);
    UseRegKey key;
    EXPECT_EQ(ERROR_SUCCESS, key.Create(UseRegRoot(machineWide), path, KEY_ALL_ACCESS)) << path;
}

StoredValue GetStored(bool machineWide, const std::string& path, const std::string& name) {
    const auto value = UseRegOpenKey(path, machineWide, KEY_READ).QueryValue(name.c_str());
    if (!value) return {};
    return {value->type,
            value->data.ends_with('\0') ? value->data.substr(0, value->data.size() - 1) : value->data};
}

void SetAccess(bool machineWide, const std::string& path, DWORD everyone) {
    UseRegKey key;
    if (key.Open(UseRegRoot(machineWide), path, READ_CONTROL | WRITE_DAC) == ERROR_FILE_NOT_FOUND)
        CreateKey(machineWide, path);
    ASSERT_EQ(ERROR_SUCCESS, key.Open(UseRegRoot(machineWide), path, READ_CONTROL | WRITE_DAC)) << path;
    DWORD size = 0;
    RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> original(size);
    if (RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, original.data(), &size) == ERROR_SUCCESS)
        takenAccess.emplace_back(machineWide, path, std::move(original));
    char sddl[64];
    std::snprintf(sddl, sizeof sddl, "D:(A;;0x%lx;;;WD)", static_cast<unsigned long>(everyone));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor)) << path;
    LocalFree(descriptor);
}

RegistrySnapshot TakeSnapshot() {
    RegistrySnapshot snapshot;
    for (const auto& [machineWide, path] : {std::pair{true, kSystemEnvironmentKey},
                                            {false, kUserEnvironmentKey},
                                            {true, "SOFTWARE\\Norvale"},
                                            {false, "SOFTWARE\\Norvale"},
                                            {true, "SOFTWARE\\Classes\\.nsd"},
                                            {false, "SOFTWARE\\Classes"}})
        Walk(UseRegRoot(machineWide), path, std::string(machineWide ? "HKLM\\" : "HKCU\\") + path + "\\",
             snapshot, true);
    return snapshot;
}

void ExpectOnlyChanges(const RegistrySnapshot& before, const RegistrySnapshot& after,
                       const std::vector<std::string>& expected) {
    std::vector<std::pair<std::string, std::string>> changed;
    std::ranges::set_symmetric_difference(before, after, std::back_inserter(changed));
    for (const auto& [entry, value] : changed)
        EXPECT_TRUE(
            std::ranges::any_of(expected, [&](const std::string& name) { return entry.starts_with(name); }))
            << "unexpected change: " << entry;
    for (const std::string& name : expected)
        EXPECT_TRUE(
            std::ranges::any_of(changed, [&](const auto& entry) { return entry.first.starts_with(name); }))
            << "missing change: " << name;
}

BroadcastListener::BroadcastListener() {
    thread_ = std::thread([this] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Count;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KelmoraTestListener";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SHChangeNotifyEntry everything{nullptr, TRUE};
        const ULONG registration = SHChangeNotifyRegister(window, SHCNRF_ShellLevel | SHCNRF_NewDelivery,
                                                          SHCNE_ASSOCCHANGED, kShellNotice, 1, &everything);
        window_ = window;
        for (MSG message; !stop_;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        }
        SHChangeNotifyDeregister(registration);
        DestroyWindow(window);
    });
    while (window_ == nullptr)
        Sleep(1);
}

LRESULT CALLBACK BroadcastListener::Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* listener = reinterpret_cast<BroadcastListener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (listener && message == WM_SETTINGCHANGE && lParam &&
        lstrcmpA(reinterpret_cast<const char*>(lParam), "Environment") == 0)
        ++listener->environment_;
    if (listener && message == kShellNotice) ++listener->shell_;
    return DefWindowProcA(window, message, wParam, lParam);
}

BroadcastListener::~BroadcastListener() {
    stop_ = true;
    thread_.join();
}

ScopedTempFolder::ScopedTempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static std::atomic<int> counter{0};
    path_ = std::string(base) + "morvane-test-" + std::to_string(GetCurrentProcessId()) + "-" +
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
