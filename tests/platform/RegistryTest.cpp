#include "platform/Registry.h"

#include "support/Sandbox.h"

namespace {
constexpr const char* kKey = "SOFTWARE\\KelmoraRegistryTest";

using RegistryTest = SandboxedTest;

TEST_F(RegistryTest, StringsAreReadByTheReadRulesAndWrittenWithTheirZeroByte) {
    // A value's name, type and bytes as stored (a terminating zero only where written), and what is read.
    const std::tuple<const char*, DWORD, std::string, std::optional<std::string>> cases[] = {
        {"backslashes", REG_SZ, std::string("C:\\Suite\\\\\0", 11), "C:\\Suite"},
        {"expand kept raw", REG_EXPAND_SZ, std::string("%NVLROOT%\\bin\0", 14), "%NVLROOT%\\bin"},
        {"empty", REG_SZ, "", ""},
        {"multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), "a"},
        {"multi one zero", REG_MULTI_SZ, std::string("a\0", 2), ""},
        {"dword", REG_DWORD, std::string("\1\0\0\0", 4), ""},
    };
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key);
    for (const auto& [name, type, bytes, expected] : cases) {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()));
        EXPECT_EQ(expected, UseRegReadString(kKey, name, false)) << name;
    }
    EXPECT_EQ(std::nullopt, UseRegReadString("SOFTWARE\\Nowhere", "empty", false));
    ASSERT_TRUE(UseRegWriteString(kKey, "plain", "C:\\x", false));
    DWORD type = REG_NONE, size = 0;
    RegQueryValueExA(key, "plain", nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    EXPECT_TRUE(type == REG_SZ && size == 5) << type << " " << size; // with its zero byte
}

// Deleting answers whether the parent opened; classes are read from the user's first.
TEST_F(RegistryTest, DeletesSubKeysAndReadsClassesFromTheUserFirst) {
    CreateKey(false, "SOFTWARE\\P\\Branch\\Twig");
    EXPECT_TRUE(UseRegDeleteSubKey("SOFTWARE\\P", "Branch", false)); // it has a subkey: it stays
    EXPECT_TRUE(UseRegDeleteSubKey("SOFTWARE\\P\\Branch", "twig", false));
    EXPECT_FALSE(UseRegKeyExists("SOFTWARE\\P\\Branch\\Twig", false));
    EXPECT_FALSE(UseRegDeleteSubKey("SOFTWARE\\Absent", "Leaf", false));
    SetString(true, "SOFTWARE\\Classes\\.abc", "", "machine");
    EXPECT_EQ("machine", UseRegOpenClassesKey(".abc", KEY_READ).QueryString("", UseStringRule::AnyEnding));
    SetString(false, "SOFTWARE\\Classes\\.abc", "", "user");
    EXPECT_EQ("user", UseRegOpenClassesKey(".abc", KEY_READ).QueryString("", UseStringRule::AnyEnding));
}
} // namespace
