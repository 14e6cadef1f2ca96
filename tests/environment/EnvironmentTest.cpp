#include "environment/Environment.h"
#include "environment/PathRegroup.h"
#include "environment/PathRewrite.h"
#include "environment/SwitchLog.h"
#include "environment/SwitchLogTesting.h"

#include "support/Sandbox.h"

#include <fstream>
#include <regex>
#include <tuple>

namespace {
TEST(EnvironmentTest, EachVariableIsReadByItsOwnRules) {
    SetEnvironmentVariableA("KELMORA_TEST_BASE", "C:\\Base");
    const std::tuple<bool, const char*, DWORD, const char*, std::string (*)(bool), std::string> cases[] = {
        {true, "NVLROOT", REG_SZ, "C:\\Suite\\17.2\\\\ ", UseEnvReadRoot, "C:\\Suite\\17.2"},
        {false, "NVLROOT", REG_EXPAND_SZ, " %KELMORA_TEST_BASE%\\17.2\\", UseEnvReadRoot, "C:\\Base\\17.2"},
        {false, "NVLROOT", REG_DWORD, "C:\\Suite", UseEnvReadRoot, ""}, // text bytes, but not a string
        {true, "NVL_SITE", REG_SZ, "\t%KELMORA_TEST_BASE%\\Site\\ ", UseEnvReadSite, "C:\\Base\\Site"},
        {false, "NVL_LIC_FILE", REG_EXPAND_SZ, " 1@%KELMORA_TEST_BASE% ", UseEnvReadLicFile, " 1@C:\\Base "},
        {true, "PATH", REG_EXPAND_SZ, "%NVLROOT%;%WINDIR%;", UseEnvReadPath, "%NVLROOT%;%WINDIR%;"},
    };
    for (const auto& [machineWide, name, type, stored, read, expected] : cases) {
        ScopedRegistrySandbox registry;
        SetString(machineWide, EnvironmentKey(machineWide), name, stored, type);
        EXPECT_EQ(expected, read(machineWide)) << name << " " << stored;
        EXPECT_EQ("", read(!machineWide)) << name << ": the other scope holds nothing";
    }
}

TEST(EnvironmentTest, WritesStoreIntoAnExistingWritableKeyOnly) {
    for (bool machineWide : {true, false}) {
        ScopedRegistrySandbox registry;
        const char* key = EnvironmentKey(machineWide);
        std::string root = "D:\\Suite\\17.2\\\\";
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, UseEnvWriteRoot(root, machineWide));
        EXPECT_FALSE(UseEnvWritePath("%NVLROOT%\\bin", machineWide) || UseRegKeyExists(key, machineWide));

        CreateEnvironmentKeys();
        EXPECT_EQ(ERROR_SUCCESS, UseEnvWriteRoot(root += "\\", machineWide));
        EXPECT_TRUE(UseEnvWritePath("%NVLROOT%\\bin", machineWide));
        EXPECT_EQ("D:\\Suite\\17.2", root);
        EXPECT_EQ(root, GetStored(machineWide, key, "NVLROOT").text);

        SetAccess(machineWide, key, kReadOnly);
        EXPECT_EQ(ERROR_ACCESS_DENIED, UseEnvWriteRoot(root, machineWide));
        EXPECT_FALSE(UseEnvWritePath("C:\\x", machineWide));
        EXPECT_EQ("%NVLROOT%\\bin", GetStored(machineWide, key, "PATH").text);
    }
}

// Each place the root is read from takes over from those added before it.
TEST(EnvironmentTest, SuitePathTakesTheRootFromTheRegistryInItsOrder) {
    ScopedRegistrySandbox registry;
    SetEnvironmentVariableA("NVLROOT", "Z:\\Stale"); // predates any switch: never used
    SetEnvironmentVariableA("KELMORA_TEST_BASE", "C:\\Base");
    EXPECT_EQ("c:\\base\\x.exe", UseExpandSuitePath("%KELMORA_TEST_BASE%\\X.EXE"));
    SetString(true, kFileAssociationsKey, "rootDirectory", "G:\\Machine"); // never used either
    EXPECT_EQ("%nvlroot%\\bin\\x.exe", UseExpandSuitePath("%nvlroot%\\Bin\\X.exe"));
    SetString(false, kFileAssociationsKey, "rootDirectory", "F:\\Record");
    EXPECT_EQ("f:\\record\\a.exe", UseExpandSuitePath("%NVLROOT%\\a.exe"));
    SetString(false, kUserEnvironmentKey, "NVLROOT", "E:\\User");
    EXPECT_EQ("e:\\user\\a.exe", UseExpandSuitePath("%NVLROOT%\\a.exe"));
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "D:\\Suite\\");
    EXPECT_EQ("d:\\suite\\x;%windir%", UseExpandSuitePath("%nvlroot%\\X;%WINDIR%"));
}

std::string Read(const std::string& file) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {});
}

// Every Windows marker, both suite references, repeats, a case-only difference, empty entries and outer
// separators; a suite entry naming a Windows folder belongs to the suite. That any mix keeps every
// distinct entry once and settles after one pass is the fuzz target's to show.
TEST(RegroupPathTest, WindowsThenSuiteThenTheRestEachEntryOnce) {
    const char* mixed = ";a;%WINDIR%;;%NVLROOT%\\Windows;C:\\WINDOWS;a;D:\\system32;%SystemRoot%;"
                        "Microsoft;%nvl_inst_dir%;A;;";
    EXPECT_EQ(
        "%WINDIR%;C:\\WINDOWS;D:\\system32;%SystemRoot%;Microsoft;%NVLROOT%\\Windows;%nvl_inst_dir%;a;A",
        UseRegroupPath(mixed, true));
    EXPECT_EQ(
        "%NVLROOT%\\Windows;%nvl_inst_dir%;a;%WINDIR%;C:\\WINDOWS;D:\\system32;%SystemRoot%;Microsoft;A",
        UseRegroupPath(mixed, false));
}

TEST(SwitchLogTest, EachRewriteAddsOneRecordInEnglishAndAFullLogStartsOver) {
    ScopedRegistrySandbox registry;
    ScopedTempFolder temp;
    const std::string file = temp.Path() + "\\log.txt";
    UseRedirectSwitchLogForTests(temp.Path());
    SetString(true, kSystemEnvironmentKey, "PATH", ";C:\\a;%NVLROOT%;", REG_EXPAND_SZ);
    SetString(false, kUserEnvironmentKey, "PATH", "C:\\b;;%NVLROOT%", REG_EXPAND_SZ);
    EXPECT_TRUE(UseRewritePath(true).written && UseRewritePath(false).written);
    SetString(true, kSystemEnvironmentKey, "PATH", "C:\\c;;C:\\c", REG_EXPAND_SZ);
    EXPECT_FALSE(UseRewritePath(true).written); // without suite entries PATH is not the program's to reorder
    EXPECT_EQ("\r\n\r\n============ T ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\nC:\\a;%NVLROOT%"
              "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n%NVLROOT%;C:\\a"
              "\r\n\r\n============ T ===========\r\n\r\nOriginal USER Path: \r\n\r\nC:\\b;;%NVLROOT%"
              "\r\n\r\nUpdated USER Path: \r\n\r\n%NVLROOT%;C:\\b",
              std::regex_replace(Read(file), std::regex("= [^\r\n]* ="), "= T ="));
    for (size_t size : {1048575u, 1048576u}) {
        temp.AddFile("log.txt", std::string(size, 'x'));
        UseWriteSwitchLog("old", "new", true);
        EXPECT_EQ(size < 1048576 ? size : 0, Read(file).find("\r\n\r\n============ ")) << size;
    }
    // The log's parent folder is not the program's to create.
    UseRedirectSwitchLogForTests(temp.Path() + "\\Missing\\Morvane");
    UseWriteSwitchLog("old", "new", true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((temp.Path() + "\\Missing").c_str()));
    // The time is in English with a twelve-hour clock.
    EXPECT_EQ("Friday, December 04, 2026, 07:43:01 AM", UseFormatLogTime({1, 43, 7, 4, 11, 126, 5, 0, 0}));
    EXPECT_EQ("Saturday, January 01, 2027, 12:00:00 AM", UseFormatLogTime({0, 0, 0, 1, 0, 127, 6, 0, 0}));
}
} // namespace
