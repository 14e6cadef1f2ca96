// The suite's variables as the program reads and writes them, and the switch log's own rules.
#include "environment/Environment.h"
#include "environment/SwitchLog.h"
#include "environment/SwitchLogTesting.h"

#include "support/Sandbox.h"

#include <fstream>

namespace {
// Each place the root is read from takes over from those added before it; the process's own
// environment, which predates any switch, is never used.
TEST(EnvironmentTest, SuitePathTakesTheRootFromTheRegistryInItsOrder) {
    const ScopedPrefixRegistry prefix;
    SetEnvironmentVariableA("NVLROOT", "Z:\\Stale");
    SetEnvironmentVariableA("KELMORA_TEST_BASE", "C:\\Base");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "NVLROOT");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserEnvironmentKey, "NVLROOT");
    EXPECT_EQ("c:\\base\\x.exe", UseExpandSuitePath("%KELMORA_TEST_BASE%\\X.EXE"));
    SetString(true, kFileAssociationsKey, "rootDirectory", "G:\\Machine"); // never used either
    EXPECT_EQ("%nvlroot%\\bin\\x.exe", UseExpandSuitePath("%nvlroot%\\Bin\\X.exe"));
    SetString(false, kFileAssociationsKey, "rootDirectory", "F:\\Record");
    EXPECT_EQ("f:\\record\\a.exe", UseExpandSuitePath("%NVLROOT%\\a.exe"));
    SetString(false, kUserEnvironmentKey, "NVLROOT", "E:\\User");
    EXPECT_EQ("e:\\user\\a.exe", UseExpandSuitePath("%NVLROOT%\\a.exe"));
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "D:\\Suite\\");
    EXPECT_EQ("d:\\suite\\x;%windir%", UseExpandSuitePath("%nvlroot%\\X;%WINDIR%"));
    EXPECT_EQ("", UseExpandSuitePath("%NVLROOT%\\" + std::string(32760, 'x'))); // past the platform's limit
}

std::string Read(const std::string& file) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {});
}

TEST(SwitchLogTest, AFullLogStartsOverAndTheTimeIsInEnglish) {
    const ScopedTempFolder temp;
    UseRedirectSwitchLogForTests(temp.Path());
    for (size_t size : {1048575u, 1048576u}) {
        temp.AddFile("log.txt", std::string(size, 'x'));
        UseWriteSwitchLog("old", "new", false);
        EXPECT_EQ(size < 1048576 ? size : 0, Read(temp.Path() + "\\log.txt").find("\r\n\r\n============ "))
            << size;
    }
    // The log's parent folder is not the program's to create.
    UseRedirectSwitchLogForTests(temp.Path() + "\\Missing\\Morvane");
    UseWriteSwitchLog("old", "new", true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((temp.Path() + "\\Missing").c_str()));
    UseRedirectSwitchLogForTests("");
    EXPECT_EQ("Friday, December 04, 2026, 07:43:01 AM", UseFormatLogTime({1, 43, 7, 4, 11, 126, 5, 0, 0}));
    EXPECT_EQ("Saturday, January 01, 2027, 12:00:00 AM", UseFormatLogTime({0, 0, 0, 1, 0, 127, 6, 0, 0}));
}
// Another program storing PATH between the program's read of it and its store: the update is made
// over from what that program stored, and what it stored is never stored over.
TEST(PathUpdateTest, AChangeStoredMeanwhileIsUpdatedInsteadOfStoredOver) {
    // Another program stores PATH after the first read only, or after every read.
    for (const std::size_t otherStores : {1u, 5u}) {
        const ScopedPrefixRegistry registry;
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\a", REG_EXPAND_SZ);
        std::size_t reads = 0;
        const UsePathUpdate result = UseEnvUpdatePath(true, [&](const std::string& path) {
            if (++reads <= otherStores)
                SetString(true, kSystemEnvironmentKey, "PATH", path + ";C:\\" + std::to_string(reads),
                          REG_EXPAND_SZ);
            return std::optional(path + ";C:\\mine");
        });
        const bool once = otherStores == 1;
        EXPECT_EQ(once ? UsePathUpdate::Stored : UsePathUpdate::KeptChanging, result);
        EXPECT_EQ(once ? 2u : 5u, reads);
        EXPECT_EQ(once ? "C:\\a;C:\\1;C:\\mine" : "C:\\a;C:\\1;C:\\2;C:\\3;C:\\4;C:\\5",
                  GetStored(true, kSystemEnvironmentKey, "PATH").text);
    }
}
} // namespace
