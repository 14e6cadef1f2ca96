#include "environment/PathRewrite.h"

#include "environment/SwitchLog.h"
#include "environment/SwitchLogTesting.h"

#include "EnvironmentProbe.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace {
std::vector<std::string> Entries(const std::string& path) {
    std::vector<std::string> entries;
    std::string entry;
    for (std::istringstream in(path); std::getline(in, entry, ';');)
        entries.push_back(entry);
    if (!path.empty() && path.back() == ';') entries.push_back("");
    return entries;
}

TEST(RegroupPathTest, GroupsAndRepeats) {
    struct Case {
        const char* what;
        bool machineWide;
        const char* old;
        const char* updated;
    } cases[] = {
        {"system: Windows, suite, rest", true, "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin",
         "%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;C:\\Tools"},
        {"user: no Windows group", false, "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin",
         "%NVLROOT%\\tools\\bin;C:\\Tools;%SystemRoot%\\system32"},
        {"both suite references, any case", false, "C:\\x;%nvl_inst_dir%\\bin;%NvlRoot%\\bin",
         "%nvl_inst_dir%\\bin;%NvlRoot%\\bin;C:\\x"},
        {"suite entry naming a Windows folder", true, "C:\\Windows;%NVLROOT%\\Windows\\System32",
         "C:\\Windows;%NVLROOT%\\Windows\\System32"},
        {"every Windows marker", true, "a;%WINDIR%;C:\\WINDOWS\\x;d:\\system32;%systemroot%;%NVLROOT%",
         "%WINDIR%;C:\\WINDOWS\\x;d:\\system32;%systemroot%;%NVLROOT%;a"},
        {"MICROSOFT inside an entry", true, "%NVLROOT%\\bin;C:\\Program Files\\Microsoft Office",
         "C:\\Program Files\\Microsoft Office;%NVLROOT%\\bin"},
        {"exact repeats dropped at their later places", true,
         "%NVLROOT%\\bin;C:\\Tools;%NVLROOT%\\bin;C:\\Tools;C:\\Windows;C:\\Windows",
         "C:\\Windows;%NVLROOT%\\bin;C:\\Tools"},
        {"case-only differences are different entries", false, "C:\\Tools;C:\\TOOLS;%NVLROOT%;%nvlroot%",
         "%NVLROOT%;%nvlroot%;C:\\Tools;C:\\TOOLS"},
        {"a shorter entry is no repeat of a longer one", true, "%SystemRoot%\\system32;%SystemRoot%",
         "%SystemRoot%\\system32;%SystemRoot%"},
        {"empty entries and outer separators", true, ";;%NVLROOT%\\bin;;C:\\Tools;;;",
         "%NVLROOT%\\bin;C:\\Tools"},
        {"blanks belong to the entry", false, " C:\\a ; C:\\a;%NVLROOT%", "%NVLROOT%; C:\\a ; C:\\a"},
        {"nothing but separators", true, ";;;", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.updated, UseRegroupPath(c.old, c.machineWide)) << c.what;
}

// Generated PATH values: whatever the mix, regrouping keeps every distinct entry exactly once, invents
// nothing, and a second pass changes nothing.
TEST(RegroupPathTest, KeepsEveryEntryAndSettlesAfterOnePass) {
    const std::vector<std::string> pool = {
        "C:\\Tools",
        "c:\\tools",
        "%SystemRoot%\\system32",
        "%SYSTEMROOT%",
        "C:\\Windows",
        "C:\\Program Files\\Microsoft SQL",
        "%NVLROOT%\\tools\\bin",
        "%nvlroot%\\bin",
        "%NVL_INST_DIR%\\x",
        "D:\\Suite\\Windows\\%NVLROOT%",
        " C:\\Spaced ",
        "%WINDIR%\\x",
        "E:\\Other",
        "F:\\system32\\y",
    };
    std::mt19937 random(20261204);
    for (int round = 0; round < 400; ++round) {
        std::string path;
        const int count = std::uniform_int_distribution<int>(0, 40)(random);
        for (int i = 0; i < count; ++i) {
            const int pick = std::uniform_int_distribution<int>(0, static_cast<int>(pool.size()))(random);
            if (pick < static_cast<int>(pool.size())) path += pool[pick];
            if (i + 1 < count || random() % 4 == 0) path += ';'; // sometimes a trailing separator
        }
        if (random() % 4 == 0) path = ";" + path;
        const bool machineWide = random() % 2 == 0;

        const std::string once = UseRegroupPath(path, machineWide);
        std::set<std::string> before;
        for (const std::string& entry : Entries(path))
            if (!entry.empty()) before.insert(entry);
        const std::vector<std::string> after = Entries(once);
        const std::set<std::string> afterSet(after.begin(), after.end());
        EXPECT_EQ(before, afterSet) << path;
        EXPECT_EQ(after.size(), afterSet.size()) << "a repeat survived: " << once;
        EXPECT_EQ(0u, afterSet.count("")) << "an empty entry survived: " << once;
        EXPECT_EQ(once, UseRegroupPath(once, machineWide)) << path;
    }
}

class RewritePathTest : public SandboxedTest {
  protected:
    void SetUp() override {
        CreateEnvironmentKeys();
        UseRedirectSwitchLogForTests(logFolder_.Path() + "\\Morvane");
    }
    void TearDown() override { UseRedirectSwitchLogForTests(""); }

    std::string Log() const {
        std::ifstream in(logFolder_.Path() + "\\Morvane\\log.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static const char* Key(bool machineWide) {
        return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
    }

    ScopedTempFolder logFolder_;
};

TEST_F(RewritePathTest, WritesAndLogsOnlyARealChange) {
    struct Case {
        const char* what;
        bool machineWide;
        const char* stored;
        bool rewritten;
        const char* logged; // the old text as the log shows it
        const char* after;
    } cases[] = {
        {"regrouped", true, ";C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;", true,
         "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin",
         "%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;C:\\Tools"},
        {"only empty entries to drop", false, "%NVLROOT%\\bin;;C:\\Tools", true, "%NVLROOT%\\bin;;C:\\Tools",
         "%NVLROOT%\\bin;C:\\Tools"},
        {"no suite entry, repeats and all", true, "C:\\Tools;;C:\\Tools;%SystemRoot%", false, nullptr,
         "C:\\Tools;;C:\\Tools;%SystemRoot%"},
        {"outer separators alone", true, ";%NVLROOT%\\bin;", false, nullptr, ";%NVLROOT%\\bin;"},
        {"already grouped, case variants kept", true, "%windir%;%NVLROOT%\\bin;%nvlroot%\\BIN;c:\\x;C:\\X",
         false, nullptr, "%windir%;%NVLROOT%\\bin;%nvlroot%\\BIN;c:\\x;C:\\X"},
    };
    for (const Case& c : cases) {
        SetString(c.machineWide, Key(c.machineWide), "PATH", c.stored, REG_EXPAND_SZ);
        const std::string logBefore = Log();
        EXPECT_EQ(c.rewritten, UseRewritePath(c.machineWide)) << c.what;
        const StoredValue stored = GetStored(c.machineWide, Key(c.machineWide), "PATH");
        EXPECT_EQ(REG_EXPAND_SZ, stored.type) << c.what;
        EXPECT_EQ(c.after, stored.text) << c.what;
        const std::string added = Log().substr(logBefore.size());
        if (!c.rewritten) {
            EXPECT_EQ("", added) << c.what;
            continue;
        }
        const std::string scope = c.machineWide ? "SYSTEM" : "USER";
        EXPECT_NE(std::string::npos, added.find("Original " + scope + " Path: \r\n\r\n" + c.logged +
                                                "\r\n\r\nUpdated " + scope + " Path: \r\n\r\n" + c.after))
            << c.what << ": " << added;
        EXPECT_FALSE(UseRewritePath(c.machineWide)) << c.what << ": a second pass finds nothing to do";
    }
}

TEST_F(RewritePathTest, RefusedWriteLeavesPathAndLogAlone) {
    SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\bin", REG_EXPAND_SZ);
    DenyWrite(true, kSystemEnvironmentKey);
    EXPECT_FALSE(UseRewritePath(true));
    EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", GetStored(true, kSystemEnvironmentKey, "PATH").text);
    EXPECT_FALSE(std::filesystem::exists(logFolder_.Path() + "\\Morvane\\log.txt"));
}

TEST_F(RewritePathTest, MissingPathIsLeftMissing) {
    EXPECT_FALSE(UseRewritePath(false));
    EXPECT_EQ(REG_NONE, GetStored(false, kUserEnvironmentKey, "PATH").type);
}
} // namespace
