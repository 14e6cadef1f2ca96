// kelmora.exe run as a script would run it, with writes refused and odd data in the registry and in
// association files: each case checks the exit code, what was printed, and that the registry holds
// exactly what it held before except for what the run was able to do.
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/RegistrySnapshot.h"
#include "support/Sandbox.h"

#include <algorithm>
#include <functional>

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";
const std::string kSystemPrefix = std::string("HKLM\\") + kSystemEnvironmentKey + "\\";
const std::string kRecordPrefix = std::string("HKCU\\") + kRecordKey + "\\";
const std::string kRootRecord = kRecordPrefix + "[rootDirectory]";
const std::string kUserRecord = kRecordPrefix + "nsd\\";
const std::string kUserClasses[] = {"HKCU\\SOFTWARE\\Classes\\.nsd\\",
                                    "HKCU\\SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl\\"};

void SetUtf8(bool machineWide, const std::string& path, const char* name, const std::string& text) {
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(UseRegRoot(machineWide), path, KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, key.SetUtf8String(name, text, REG_EXPAND_SZ));
}

std::string GetUtf8(bool machineWide, const std::string& path, const char* name) {
    return UseRegOpenKey(path, machineWide, KEY_READ).QueryUtf8String(name).value_or("<none>");
}

void SetDword(bool machineWide, const std::string& path, const char* name) {
    const DWORD value = 1;
    RegSetKeyValueA(UseRegRoot(machineWide), path.c_str(), name, REG_DWORD, &value, sizeof value);
}

// Every changed entry lies under one of the expected names (a key with everything in it, or one
// value), and each expected name saw a change.
void ExpectOnlyChanges(const std::vector<std::string>& changed, const std::vector<std::string>& expected) {
    for (const std::string& entry : changed)
        EXPECT_TRUE(
            std::ranges::any_of(expected, [&](const std::string& name) { return entry.starts_with(name); }))
            << "unexpected change: " << entry;
    for (const std::string& name : expected)
        EXPECT_TRUE(
            std::ranges::any_of(changed, [&](const std::string& entry) { return entry.starts_with(name); }))
            << "missing change: " << name;
}

struct FaultCase {
    std::string description;
    std::function<void()> arrange; // run after the common state is in place
    std::string arguments;
    unsigned long exitCode;
    std::string output;
    std::vector<std::string> changes;
    std::function<void()> restore = [] {};
};

TEST(FaultMatrixTest, RefusedWritesAndOddInputsChangeOnlyWhatSucceeded) {
    CreateDirectoryA("C:\\Temp", nullptr);
    const ScopedTempFolder temp;
    const std::string target = temp.AddFolder("Suite\\Root"), old = temp.AddFolder("Old");
    const std::string toPath = "-path \"" + target + "\"";
    const std::string tool = temp.AddFile("Tools\\draftsch.exe");
    const auto lineFile = [&](const std::string& name, const std::string& content) {
        return "-fa \"" + temp.AddFile(name, content) + "\"";
    };
    const std::string nsdLine = "nsd \"" + tool + "\" -r\r\n";
    const std::string utf16("n\0s\0d\0 \0\"\0c\0:\0\\\0x\0\"\0\r\0\n\0", 24);
    const std::string system = kSystemPrefix + "[NVLROOT]", systemPath = kSystemPrefix + "[PATH]";
    const std::string user = std::string("HKCU\\") + kUserEnvironmentKey + "\\";
    const auto denied = [](bool machineWide, std::string path) {
        return [=] { DenyWrite(machineWide, path); };
    };
    const auto allowed = [](bool machineWide, std::string path) {
        return [=] { AllowAllAccess(machineWide, path); };
    };
    const auto userScope = [] {
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "NVLROOT");
        SetString(false, kUserEnvironmentKey, "NVLROOT", "C:\\UserOld");
        SetString(false, kUserEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\bin", REG_EXPAND_SZ);
    };
    const FaultCase cases[] = {
        {"system environment refused",
         denied(true, kSystemEnvironmentKey),
         toPath,
         1,
         "",
         {kRootRecord},
         allowed(true, kSystemEnvironmentKey)},
        {"user environment refused",
         [&] {
             userScope();
             DenyWrite(false, kUserEnvironmentKey);
         },
         toPath,
         1,
         "",
         {kRootRecord},
         allowed(false, kUserEnvironmentKey)},
        {"root record refused",
         denied(false, kRecordKey),
         toPath,
         1,
         "",
         {system, systemPath},
         allowed(false, kRecordKey)},
        {"user classes refused",
         [] {
             CreateKey(false, "SOFTWARE\\Classes\\.nsd");
             DenyWrite(false, "SOFTWARE\\Classes\\.nsd");
         },
         lineFile("refused.txt", nsdLine),
         1,
         "",
         {kUserRecord},
         allowed(false, "SOFTWARE\\Classes\\.nsd")},
        {"machine record refused",
         [] {
             CreateKey(true, std::string(kRecordKey) + "\\nsd");
             DenyWrite(true, std::string(kRecordKey) + "\\nsd");
         },
         "-fas \"" + temp.Path() + "\\refused.txt\"",
         1,
         "",
         {},
         allowed(true, std::string(kRecordKey) + "\\nsd")},
        {"system root of another type",
         [&] {
             userScope();
             SetDword(true, kSystemEnvironmentKey, "NVLROOT");
         },
         toPath,
         0,
         "",
         {user + "[NVLROOT]", user + "[PATH]", kRootRecord}},
        {"system PATH of another type",
         [] { SetDword(true, kSystemEnvironmentKey, "PATH"); },
         toPath,
         0,
         "",
         {system, kRootRecord}},
        {"byte order mark",
         [] {},
         lineFile("bom.txt", "\xEF\xBB\xBF" + nsdLine),
         0,
         "",
         {kUserRecord, kUserClasses[0], kUserClasses[1]}},
        {"UTF-16 file", [] {}, lineFile("utf16.txt", "\xFF\xFE" + utf16), 1, "", {}},
        {"extension with a backslash", [] {}, lineFile("nested.txt", "a\\b \"" + tool + "\"\r\n"), 1, "", {}},
        {"missing file", [] {}, "-fa \"" + temp.Path() + "\\missing.txt\"", 1, "", {}},
        {"open command too long",
         [] {},
         lineFile("long.txt", "nsd \"" + tool + "\" " + std::string(40000, 'x') + "\r\n"),
         1,
         "",
         {}},
        {"missing registry script",
         [] {},
         "-reg \"" + temp.Path() + "\\missing.reg\"",
         1,
         "The registry script " + UseToLower(temp.Path()) + "\\missing.reg does not exist.\n",
         {}},
    };
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.description);
        const ScopedPrefixRegistry prefix;
        for (bool machineWide : {true, false})
            RegDeleteKeyValueA(UseRegRoot(machineWide),
                               machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey, "NVLROOT");
        SetString(true, kSystemEnvironmentKey, "NVLROOT", old);
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\tools\\bin;%SystemRoot%",
                  REG_EXPAND_SZ);
        SetString(false, kUserEnvironmentKey, "PATH", "C:\\Mine", REG_EXPAND_SZ);
        CreateKey(false, kRecordKey);
        fault.arrange();
        const std::vector<SnapshotRoot> roots = {
            {true, kSystemEnvironmentKey}, {false, kUserEnvironmentKey},      {true, "SOFTWARE\\Norvale"},
            {false, "SOFTWARE\\Norvale"},  {true, "SOFTWARE\\Classes\\.nsd"}, {false, "SOFTWARE\\Classes"}};
        const RegistrySnapshot before = TakeSnapshot(roots);
        const ProcessResult result = RunKelmora(fault.arguments);
        const RegistrySnapshot after = TakeSnapshot(roots);
        fault.restore();
        EXPECT_EQ(fault.exitCode, result.exitCode);
        // The first line is the program's own; Wine's registry editor adds its word on a missing file.
        EXPECT_EQ(fault.output, result.output.substr(0, result.output.find('\n') + 1));
        ExpectOnlyChanges(ChangedEntries(before, after), fault.changes);
    }
}

// Regrouping moves entries named outside the code page without changing a character of them.
TEST(FaultMatrixTest, PathOutsideTheCodePageKeepsEveryCharacter) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    SetUtf8(true, kSystemEnvironmentKey, "PATH",
            "C:\\Caf\xC3\xA9;%NVLROOT%\\bin;C:\\\xE5\xB7\xA5;%SystemRoot%");
    EXPECT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
    EXPECT_EQ("%SystemRoot%;%NVLROOT%\\bin;C:\\Caf\xC3\xA9;C:\\\xE5\xB7\xA5",
              GetUtf8(true, kSystemEnvironmentKey, "PATH"));
}

} // namespace
