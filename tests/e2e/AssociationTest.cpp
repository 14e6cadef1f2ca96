#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include "platform/Text.h"

#include <windows.h>

namespace {
using AssociationImportTest = PrefixTest;

std::string RegQuery(const std::string& key) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const ProcessResult result = RunProgram(std::string(system) + "\\reg.exe", "query \"" + key + "\"");
    EXPECT_EQ(0u, result.exitCode) << key << "\n" << result.output;
    return result.output;
}

TEST_F(AssociationImportTest, ImportRegistersTheFileTypeForTheCurrentUser) {
    ScopedTempFolder folder;
    const std::string root = folder.AddFolder("Suite17.2");
    folder.AddFile("Suite17.2\\tools\\draft\\bin\\draftsch.exe");
    SetString(true, kSystemEnvironmentKey, "NVLROOT", root);
    folder.AddFile("assoc.txt", "# schematics\r\nnsd \"%NVLROOT%\\tools\\draft\\bin\\draftsch.exe\" -r\r\n");

    const ProcessResult run = RunKelmora("-fa assoc.txt", folder.Path());
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(0u, run.exitCode) << run.output;

    EXPECT_NE(std::string::npos,
              RegQuery("HKCU\\Software\\Classes\\.nsd").find("REG_SZ    nsd_auto_file_mvxnrvl"));
    const std::string command = "\"" + UseToLower(root) + "\\tools\\draft\\bin\\draftsch.exe\" \"%1\" -r";
    const std::string shown =
        RegQuery("HKCU\\Software\\Classes\\nsd_auto_file_mvxnrvl\\shell\\open\\command");
    EXPECT_NE(std::string::npos, shown.find("REG_EXPAND_SZ    " + command + "\r\n")) << shown;
    const StoredValue application =
        GetStored(false, "SOFTWARE\\Norvale\\Morvane\\File Associations\\nsd", "Application");
    EXPECT_EQ(REG_EXPAND_SZ, application.type);
    EXPECT_EQ("%NVLROOT%\\tools\\draft\\bin\\draftsch.exe", application.text);
}
} // namespace
