// kelmora.exe run as a script would run it, with writes refused and odd data in the registry and in
// association files: each case checks the exit code, what was printed, and that the registry holds
// exactly what it held before except for what the run was able to do.
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";
// Keys and values by the names a snapshot gives them.
const std::string kSystem = std::string("HKLM\\") + kSystemEnvironmentKey + "\\";
const std::string kUser = std::string("HKCU\\") + kUserEnvironmentKey + "\\";
const std::string kRecord = std::string("HKCU\\") + kRecordKey + "\\";
// A switch that changed an environment is recorded here.
const std::string kHistory = "HKCU\\SOFTWARE\\Norvale\\Morvane\\History\\";

// Every key ("HKCU\path\") and value ("HKCU\path\[name]" -> type and raw bytes) under a key.
using Snapshot = std::map<std::string, std::string>;
void Walk(HKEY parent, const std::string& path, const std::string& name, Snapshot& snapshot) {
    UseRegKey key;
    if (key.Open(parent, path, KEY_READ) != ERROR_SUCCESS) return;
    snapshot[name] = "";
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

Snapshot TakeSnapshot() {
    Snapshot snapshot;
    for (const auto& [machineWide, path] : {std::pair{true, kSystemEnvironmentKey},
                                            {false, kUserEnvironmentKey},
                                            {true, "SOFTWARE\\Norvale"},
                                            {false, "SOFTWARE\\Norvale"},
                                            {true, "SOFTWARE\\Classes\\.nsd"},
                                            {false, "SOFTWARE\\Classes"}})
        Walk(UseRegRoot(machineWide), path, std::string(machineWide ? "HKLM\\" : "HKCU\\") + path + "\\",
             snapshot);
    return snapshot;
}

// Every entry added, removed or changed lies under one of the expected names (a key with everything
// in it, or one value), and each expected name saw a change.
void ExpectOnlyChanges(const Snapshot& before, const Snapshot& after,
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

struct FaultCase {
    const char* description;
    bool userScope;        // NVLROOT in the user environment, none in the system's
    const char* otherType; // a system variable stored as a DWORD
    std::string denied;    // a key that refuses writes
    std::string arguments;
    unsigned long exitCode;
    std::vector<std::string> changes;
    std::string output = ""; // the first line printed
};

// Gives everyone exactly read access, or all access again, to a key named as a snapshot names it.
void Refuse(const std::string& key, bool refused) {
    if (key.empty()) return;
    const bool machineWide = key.starts_with("HKLM");
    const std::string path = key.substr(5, key.size() - 6);
    if (refused) CreateKey(machineWide, path);
    SetAccess(machineWide, path, refused ? kReadOnly : KEY_ALL_ACCESS);
}

TEST(FaultMatrixTest, RefusedWritesAndOddInputsChangeOnlyWhatSucceeded) {
    CreateDirectoryA("C:\\Temp", nullptr);
    const ScopedTempFolder temp;
    const std::string old = temp.AddFolder("Old"), toPath = "-path \"" + temp.AddFolder("Suite\\Root") + "\"";
    const std::string tool = temp.AddFile("Tools\\draftsch.exe"), nsdLine = "nsd \"" + tool + "\" -r\r\n";
    const auto lineFile = [&](const std::string& name, const std::string& content) {
        return "-fa \"" + temp.AddFile(name, content) + "\"";
    };
    const std::string utf16("n\0s\0d\0 \0\"\0c\0:\0\\\0x\0\"\0\r\0\n\0", 24);
    const std::string missing = temp.Path() + "\\missing.reg", classes = "HKCU\\SOFTWARE\\Classes\\";
    const FaultCase cases[] = {
        // clang-format off
        {"system environment refused", false, "", kSystem, toPath, 1, {kRecord + "[rootDirectory]"}},
        {"user environment refused", true, "", kUser, toPath, 1, {kRecord + "[rootDirectory]"}},
        {"root record refused", false, "", kRecord, toPath, 1,
         {kSystem + "[NVLROOT]", kSystem + "[PATH]", kHistory}},
        {"user classes refused", false, "", classes + ".nsd\\", lineFile("refused.txt", nsdLine), 1,
         {kRecord + "nsd\\"}},
        {"machine record refused", false, "", "HKLM" + kRecord.substr(4) + "nsd\\",
         "-fas \"" + temp.Path() + "\\refused.txt\"", 1, {}},
        {"system root of another type", true, "NVLROOT", "", toPath, 0,
         {kUser + "[NVLROOT]", kUser + "[PATH]", kRecord + "[rootDirectory]", kHistory}},
        {"system PATH of another type", false, "PATH", "", toPath, 0,
         {kSystem + "[NVLROOT]", kRecord + "[rootDirectory]", kHistory}},
        {"byte order mark", false, "", "", lineFile("bom.txt", "\xEF\xBB\xBF" + nsdLine), 0,
         {kRecord + "nsd\\", classes + ".nsd\\", classes + "nsd_auto_file_mvxnrvl\\"}},
        {"UTF-16 file", false, "", "", lineFile("utf16.txt", "\xFF\xFE" + utf16), 1, {}},
        {"extension with a backslash", false, "", "", lineFile("nested.txt", "a\\b \"" + tool + "\"\r\n"), 1,
         {}},
        {"missing file", false, "", "", "-fa \"" + temp.Path() + "\\missing.txt\"", 1, {}},
        {"open command too long", false, "", "",
         lineFile("long.txt", "nsd \"" + tool + "\" " + std::string(40000, 'x') + "\r\n"), 1, {}},
        {"missing registry script", false, "", "", "-reg \"" + missing + "\"", 1, {},
         "The registry script " + UseToLower(missing) + " does not exist.\n"},
        // clang-format on
    };
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.description);
        const ScopedPrefixRegistry prefix;
        SetString(true, kSystemEnvironmentKey, "NVLROOT", old);
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\tools\\bin;%SystemRoot%",
                  REG_EXPAND_SZ);
        SetString(false, kUserEnvironmentKey, "PATH", "C:\\Mine", REG_EXPAND_SZ);
        CreateKey(false, kRecordKey);
        if (fault.userScope) {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "NVLROOT");
            SetString(false, kUserEnvironmentKey, "NVLROOT", "C:\\UserOld");
            SetString(false, kUserEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\bin", REG_EXPAND_SZ);
        }
        const DWORD one = 1;
        if (*fault.otherType)
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, fault.otherType, REG_DWORD, &one,
                            sizeof one);
        Refuse(fault.denied, true);
        const Snapshot before = TakeSnapshot();
        const ProcessResult result = RunKelmora(fault.arguments);
        const Snapshot after = TakeSnapshot();
        Refuse(fault.denied, false);
        EXPECT_EQ(fault.exitCode, result.exitCode);
        // The first line is the program's own; Wine's registry editor adds its word on a missing file.
        EXPECT_EQ(fault.output, result.output.substr(0, result.output.find('\n') + 1));
        ExpectOnlyChanges(before, after, fault.changes);
    }
}

// Regrouping moves entries named outside the code page without changing a character of them.
TEST(FaultMatrixTest, PathOutsideTheCodePageKeepsEveryCharacter) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS,
              key.SetUtf8String("PATH", "C:\\Caf\xC3\xA9;%NVLROOT%\\bin;C:\\\xE5\xB7\xA5;%SystemRoot%",
                                REG_EXPAND_SZ));
    EXPECT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
    EXPECT_EQ("%SystemRoot%;%NVLROOT%\\bin;C:\\Caf\xC3\xA9;C:\\\xE5\xB7\xA5", key.QueryUtf8String("PATH"));
}
} // namespace
