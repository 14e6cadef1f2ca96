#include "environment/Environment.h"

#include "EnvironmentProbe.h"

#include <functional>

namespace {
class EnvironmentTest : public SandboxedTest {
  protected:
    void SetUp() override { CreateEnvironmentKeys(); }
};

// Text followed by its terminating zero byte, as the registry stores a string.
std::string Z(std::string text) {
    return text + '\0';
}

const char* EnvKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

TEST(EnvironmentReadTest, EachVariableIsReadByItsOwnRules) {
    SetEnvironmentVariableA("KELMORA_TEST_BASE", "C:\\Base");
    struct Case {
        const char* what;
        bool machineWide;
        const char* name;
        DWORD type;
        std::string bytes; // stored as they are, terminating zero byte included only where written
        std::function<std::string(bool)> read;
        std::string expected;
    } cases[] = {
        {"root trimmed", true, "NVLROOT", REG_SZ, Z("C:\\Suite\\17.2\\\\ "), UseEnvReadRoot,
         "C:\\Suite\\17.2"},
        {"root expanded", false, "NVLROOT", REG_EXPAND_SZ, Z(" %KELMORA_TEST_BASE%\\17.2\\"), UseEnvReadRoot,
         "C:\\Base\\17.2"},
        {"root without zero byte", true, "NVLROOT", REG_SZ, "D:\\Suite", UseEnvReadRoot, "D:\\Suite"},
        {"root of another type", false, "NVLROOT", REG_DWORD, std::string("\1\0\0\0", 4), UseEnvReadRoot, ""},
        {"root empty", true, "NVLROOT", REG_SZ, "", UseEnvReadRoot, ""},
        {"site trimmed", true, "NVL_SITE", REG_SZ, Z("\t%KELMORA_TEST_BASE%\\Site\\ "), UseEnvReadSite,
         "C:\\Base\\Site"},
        {"licence untrimmed", false, "NVL_LIC_FILE", REG_EXPAND_SZ, Z(" 1717@%KELMORA_TEST_BASE%\\ "),
         UseEnvReadLicFile, " 1717@C:\\Base\\ "},
        {"path raw", true, "PATH", REG_EXPAND_SZ, Z("%NVLROOT%\\tools\\bin;%KELMORA_TEST_BASE%\\;"),
         UseEnvReadPath, "%NVLROOT%\\tools\\bin;%KELMORA_TEST_BASE%\\;"},
        {"path up to the first zero", false, "PATH", REG_SZ, std::string("C:\\a\0C:\\b\0", 10),
         UseEnvReadPath, "C:\\a"},
    };
    for (const Case& c : cases) {
        ScopedRegistrySandbox registry;
        CreateEnvironmentKeys();
        SetRawValue(c.machineWide, EnvKey(c.machineWide), c.name, c.type, c.bytes);
        EXPECT_EQ(c.expected, c.read(c.machineWide)) << c.what;
        EXPECT_EQ("", c.read(!c.machineWide)) << c.what << ": the other scope holds nothing";
    }
}

TEST_F(EnvironmentTest, AnExpansionLongerThanTheFixedBufferComesBackWhole) {
    const std::string longFolder = "C:\\" + std::string(700, 'x');
    SetEnvironmentVariableA("KELMORA_TEST_LONG", longFolder.c_str());
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "%KELMORA_TEST_LONG%\\", REG_EXPAND_SZ);
    EXPECT_EQ(longFolder, UseEnvReadRoot(true));
}

TEST_F(EnvironmentTest, RootRecordIsReadFromTheScopeAsked) {
    SetString(true, kFileAssociationsKey, "rootDirectory", "C:\\Machine\\ ");
    SetString(false, kFileAssociationsKey, "rootDirectory", "C:\\User\\\\");
    EXPECT_EQ("C:\\Machine", UseReadRootDirectory(true));
    EXPECT_EQ("C:\\User", UseReadRootDirectory(false));
}

TEST(EnvironmentWithoutKeysTest, ReadsAreEmptyAndWritesCreateNothing) {
    ScopedRegistrySandbox registry;
    for (bool machineWide : {true, false}) {
        BroadcastRecorder broadcasts(machineWide);
        EXPECT_EQ("", UseEnvReadRoot(machineWide));
        EXPECT_EQ("", UseEnvReadPath(machineWide));
        EXPECT_EQ("", UseReadRootDirectory(machineWide));
        std::string root = "D:\\Suite\\";
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, UseEnvWriteRoot(root, machineWide));
        EXPECT_EQ("D:\\Suite", root);
        EXPECT_FALSE(UseEnvWritePath("%NVLROOT%\\bin", machineWide));
        EXPECT_FALSE(KeyExists(machineWide, EnvKey(machineWide)));
        EXPECT_TRUE(broadcasts.Seen().empty());
    }
}

TEST_F(EnvironmentTest, WritesStoreTheirTypeAndZeroByteThenBroadcastOnceEach) {
    const std::string path = "%NVLROOT%\\tools\\bin;C:\\Tools";
    for (bool machineWide : {true, false}) {
        BroadcastRecorder broadcasts(machineWide);
        std::string root = "D:\\Suite\\17.2\\";
        EXPECT_EQ(ERROR_SUCCESS, UseEnvWriteRoot(root, machineWide));
        EXPECT_EQ("D:\\Suite\\17.2", root);
        EXPECT_TRUE(UseEnvWritePath(path, machineWide));
        EXPECT_EQ((RawValue{REG_SZ, Z("D:\\Suite\\17.2")}),
                  ReadRawValue(machineWide, EnvKey(machineWide), "NVLROOT"));
        EXPECT_EQ((RawValue{REG_EXPAND_SZ, Z(path)}), ReadRawValue(machineWide, EnvKey(machineWide), "PATH"));
        // Each write is announced once, after its value is in place, so a listener that re-reads sees it.
        const std::vector<BroadcastRecorder::Snapshot> expected = {{"D:\\Suite\\17.2", ""},
                                                                   {"D:\\Suite\\17.2", path}};
        EXPECT_EQ(expected, broadcasts.Seen()) << machineWide;
    }
}

TEST_F(EnvironmentTest, RefusedSystemWriteStoresNothingAndStaysQuiet) {
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "C:\\Old");
    DenyWrite(true, kSystemEnvironmentKey);
    BroadcastRecorder broadcasts(true);
    std::string root = "D:\\New\\";
    EXPECT_EQ(ERROR_ACCESS_DENIED, UseEnvWriteRoot(root, true));
    EXPECT_FALSE(UseEnvWritePath("%NVLROOT%\\bin", true));
    EXPECT_EQ("C:\\Old", GetStored(true, kSystemEnvironmentKey, "NVLROOT").text);
    EXPECT_EQ(REG_NONE, GetStored(true, kSystemEnvironmentKey, "PATH").type);
    EXPECT_TRUE(broadcasts.Seen().empty());
}

TEST(ExpandSuitePathTest, RootComesFromTheRegistryInItsOrder) {
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("WINDIR", windows, MAX_PATH), 0u);
    std::string windowsLower = windows;
    for (char& c : windowsLower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // The process's own NVLROOT predates any switch and must never be used.
    SetEnvironmentVariableA("NVLROOT", "Z:\\Stale");
    struct Case {
        const char* what;
        const char* systemRoot;
        const char* userRoot;
        const char* userRecord;
        const char* machineRecord;
        const char* text;
        std::string expected;
    } cases[] = {
        {"system first", "D:\\Suite\\", "E:\\User", "F:\\Record", nullptr, "%nvlroot%\\Tools\\Bin\\X.exe",
         "d:\\suite\\tools\\bin\\x.exe"},
        {"then user", nullptr, "E:\\User", "F:\\Record", nullptr, "%NVLROOT%\\a.exe", "e:\\user\\a.exe"},
        {"then the user's record", nullptr, nullptr, "F:\\Record", nullptr, "%NVLROOT%\\a.exe",
         "f:\\record\\a.exe"},
        {"none: the reference stays", nullptr, nullptr, nullptr, "G:\\MachineRecord",
         "%nvlroot%\\Tools\\Bin\\X.exe", "%nvlroot%\\tools\\bin\\x.exe"},
        {"other references kept beside the root", "D:\\Suite", nullptr, nullptr, nullptr,
         "%NVLROOT%\\bin;%WINDIR%\\X", "d:\\suite\\bin;%windir%\\x"},
        {"no root reference", "D:\\Suite", nullptr, nullptr, nullptr, "%WINDIR%\\Notepad.EXE",
         windowsLower + "\\notepad.exe"},
    };
    for (const Case& c : cases) {
        ScopedRegistrySandbox registry;
        if (c.systemRoot) SetString(true, kSystemEnvironmentKey, "NVLROOT", c.systemRoot);
        if (c.userRoot) SetString(false, kUserEnvironmentKey, "NVLROOT", c.userRoot);
        if (c.userRecord) SetString(false, kFileAssociationsKey, "rootDirectory", c.userRecord);
        if (c.machineRecord) SetString(true, kFileAssociationsKey, "rootDirectory", c.machineRecord);
        EXPECT_EQ(c.expected, UseExpandSuitePath(c.text)) << c.what;
    }
}
} // namespace
