// The suite's variables as the program reads and writes them, and the switch log's own rules.
#include "environment/Environment.h"
#include "environment/SwitchLog.h"
#include "environment/SwitchLogTesting.h"

#include "support/Sandbox.h"

#include <fstream>

namespace {
// Each reader's rules on values stored raw: which types count, the terminating zero, expansion, and
// trailing blanks and backslashes.
TEST(EnvironmentTest, EachValueIsReadByItsOwnRules) {
    SetEnvironmentVariableA("KELMORA_TEST_BASE", "C:\\Base");
    const auto registry = [](const char* key, const char* name) {
        return [=](bool machineWide) { return UseRegReadString(key, name, machineWide).value_or("(none)"); };
    };
    struct Case {
        bool machineWide;
        const char* name;
        DWORD type;
        std::string bytes; // as stored, with a terminating zero only where written
        std::function<std::string(bool)> read;
        std::string expected;
    };
    const Case cases[] = {
        {true, "NVLROOT", REG_SZ, std::string("C:\\Suite\\17.2\\\\ \0", 17), UseEnvReadRoot,
         "C:\\Suite\\17.2"},
        {false, "NVLROOT", REG_EXPAND_SZ, " %KELMORA_TEST_BASE%\\17.2\\", UseEnvReadRoot, "C:\\Base\\17.2"},
        {false, "NVLROOT", REG_DWORD, std::string("\1\0\0\0", 4), UseEnvReadRoot, ""},
        {true, "NVL_SITE", REG_MULTI_SZ, std::string("C:\\Site\0\0", 9), UseEnvReadSite, ""},
        {false, "NVL_LIC_FILE", REG_EXPAND_SZ, " 1@%KELMORA_TEST_BASE% ", UseEnvReadLicFile, " 1@C:\\Base "},
        {true, "PATH", REG_EXPAND_SZ, "%NVLROOT%;%WINDIR%;", UseEnvReadPath, "%NVLROOT%;%WINDIR%;"},
        {false, "Location", REG_SZ, std::string("C:\\Suite\\\\\0", 11), registry("Environment", "Location"),
         "C:\\Suite"},
        {false, "Location", REG_MULTI_SZ, std::string("a\0b\0\0", 5), registry("Environment", "Location"),
         "a"},
        {false, "Location", REG_MULTI_SZ, std::string("a\0", 2), registry("Environment", "Location"), ""},
        {false, "Missing", REG_SZ, "", registry("Environment", "Other"), "(none)"},
    };
    for (const Case& c : cases) {
        const ScopedPrefixRegistry prefix;
        CreateKey(c.machineWide, EnvironmentKey(c.machineWide));
        RegSetKeyValueA(UseRegRoot(c.machineWide), EnvironmentKey(c.machineWide), c.name, c.type,
                        c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(c.expected, c.read(c.machineWide)) << c.name << " " << c.bytes;
        const std::string other = c.read(!c.machineWide); // the other scope holds nothing
        EXPECT_TRUE(other == "" || other == "(none)") << c.name << " " << other;
    }
}

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
    EXPECT_TRUE(Read(temp.Path() + "\\log.txt")
                    .ends_with("Original USER Path: \r\n\r\nold\r\n\r\nUpdated USER Path: \r\n\r\nnew"));
    // The log's parent folder is not the program's to create.
    UseRedirectSwitchLogForTests(temp.Path() + "\\Missing\\Morvane");
    UseWriteSwitchLog("old", "new", true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((temp.Path() + "\\Missing").c_str()));
    UseRedirectSwitchLogForTests("");
    EXPECT_EQ("Friday, December 04, 2026, 07:43:01 AM", UseFormatLogTime({1, 43, 7, 4, 11, 126, 5, 0, 0}));
    EXPECT_EQ("Saturday, January 01, 2027, 12:00:00 AM", UseFormatLogTime({0, 0, 0, 1, 0, 127, 6, 0, 0}));
}
} // namespace
