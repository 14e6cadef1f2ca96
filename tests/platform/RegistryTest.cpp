#include "platform/Registry.h"

#include "support/Sandbox.h"

namespace {
constexpr const char* kKey = "SOFTWARE\\KelmoraRegistryTest";

class RegistryTest : public SandboxedTest {};

// Raw bytes stored as they are, without the terminating zero that SetString adds.
void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    CreateKey(false, kKey);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key));
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ReadStringFollowsTheReadRules) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        std::optional<std::string> expected;
    } cases[] = {
        {"plain", REG_SZ, std::string("C:\\Suite\0", 9), "C:\\Suite"},
        {"backslashes", REG_SZ, std::string("C:\\Suite\\\\\0", 11), "C:\\Suite"},
        {"expand kept raw", REG_EXPAND_SZ, std::string("%NVLROOT%\\bin\0", 14), "%NVLROOT%\\bin"},
        {"empty", REG_SZ, "", ""},
        {"multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), "a"},
        {"multi one zero", REG_MULTI_SZ, std::string("a\0", 2), ""},
        {"dword", REG_DWORD, std::string("\1\0\0\0", 4), ""},
    };
    for (const Case& c : cases) SetRaw(c.name, c.type, c.bytes);
    for (const Case& c : cases) EXPECT_EQ(c.expected, UseRegReadString(kKey, c.name, false)) << c.name;
    EXPECT_EQ(std::nullopt, UseRegReadString(kKey, "missing", false));
    EXPECT_EQ(std::nullopt, UseRegReadString("SOFTWARE\\Nowhere", "plain", false));
}

TEST_F(RegistryTest, WriteStringChoosesTheTypeAndStoresTheZeroByte) {
    ASSERT_TRUE(UseRegWriteString("SOFTWARE\\A\\B", "plain", "C:\\x", true));
    ASSERT_TRUE(UseRegWriteString("SOFTWARE\\A\\B", "ref", "%NVLROOT%\\x", true));
    EXPECT_EQ(REG_SZ, GetStored(true, "SOFTWARE\\A\\B", "plain").type);
    EXPECT_EQ(REG_EXPAND_SZ, GetStored(true, "SOFTWARE\\A\\B", "ref").type);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", 0, KEY_READ, &key));
    DWORD size = 0;
    RegQueryValueExA(key, "plain", nullptr, nullptr, nullptr, &size);
    RegCloseKey(key);
    EXPECT_EQ(5u, size);
}

TEST_F(RegistryTest, DeleteSubKeyAnswersWhetherTheParentOpened) {
    CreateKey(false, "SOFTWARE\\P\\Leaf");
    CreateKey(false, "SOFTWARE\\P\\Branch\\Twig");
    EXPECT_TRUE(UseRegDeleteSubKey("SOFTWARE\\P", "Leaf", false));
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\P\\Leaf"));
    EXPECT_TRUE(UseRegDeleteSubKey("SOFTWARE\\P", "Absent", false));
    EXPECT_TRUE(UseRegDeleteSubKey("SOFTWARE\\P", "Branch", false)); // has a subkey: stays
    EXPECT_TRUE(KeyExists(false, "SOFTWARE\\P\\Branch"));
    EXPECT_TRUE(UseRegDeleteKeyTree("SOFTWARE\\P", "Branch", false));
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\P\\Branch"));
    EXPECT_FALSE(UseRegDeleteSubKey("SOFTWARE\\Absent", "Leaf", false));
}

TEST_F(RegistryTest, DisplayNameAndClientInstallProbes) {
    SetString(true, "U\\A", "DisplayName", "A");
    SetDword(true, "U\\B", "DisplayName", 1);
    SetString(true, "S\\C", "IsClientInstall", "true");
    SetString(true, "S\\D", "IsClientInstall", "TRUE\\");
    EXPECT_TRUE(UseRegHasDisplayName("U\\A", true));
    EXPECT_FALSE(UseRegHasDisplayName("U\\B", true));
    EXPECT_FALSE(UseRegHasDisplayName("U\\A", false));
    EXPECT_TRUE(UseRegIsClientInstall("S\\C", true));
    EXPECT_FALSE(UseRegIsClientInstall("S\\D", true)); // read without trimming
}

TEST_F(RegistryTest, ClassesAreReadFromTheUserFirst) {
    SetString(true, "SOFTWARE\\Classes\\.abc", "", "machine");
    UseRegKey key = UseRegOpenClassesKey(".abc", KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ("machine", UseRegStringOf(*key.QueryValue("")));
    SetString(false, "SOFTWARE\\Classes\\.abc", "", "user");
    key = UseRegOpenClassesKey(".abc", KEY_READ);
    EXPECT_EQ("user", UseRegStringOf(*key.QueryValue("")));
}

TEST_F(RegistryTest, RefusedWriteThroughAnAccessList) {
    CreateEnvironmentKeys();
    DenyWrite(true, kSystemEnvironmentKey);
    LONG status = ERROR_SUCCESS;
    EXPECT_FALSE(UseRegOpenKey(kSystemEnvironmentKey, true, KEY_WRITE, &status));
    EXPECT_EQ(ERROR_ACCESS_DENIED, status);
    EXPECT_TRUE(UseRegKeyExists(kSystemEnvironmentKey, true));
}
} // namespace
