// kelmora -fa against each state of the user's record key: what it stores and with which types, what
// it prints, its exit code. A record key it cannot use stops the import before any line is written.
#include "platform/Text.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";

struct ImportCase {
    const char* description;
    int runs;    // the second imports over the records of the first
    bool denied; // the record key is there, and nobody may read it
    unsigned long exitCode;
    std::string output;
};

TEST(AssociationImportTest, EveryStateOfTheRecordKeyStoresTheSameOrNothing) {
    const ScopedTempFolder temp;
    const std::string root = temp.AddFolder("Root"), tool = temp.AddFile("Root\\Tools\\View.exe");
    const std::string lines =
        "nsd \"%NVLROOT%\\tools\\view.exe\" -a\r\nnsd \"%NVLROOT%\\tools\\VIEW.exe\" -B\r\n"
        "nsd \"%NVLROOT%\\missing.exe\" -c\r\nnym \"" +
        tool + "\"\r\n";
    const std::string file = "-fa \"" + temp.AddFile("assoc.txt", lines) + "\"";
    const std::string record = std::string(kRecordKey) + "\\", classes = "SOFTWARE\\Classes\\";
    // Key, value name, type and text after a complete import: the last line that could be added wins.
    const std::tuple<std::string, const char*, DWORD, std::string> stored[] = {
        {record + "nsd", "Application", REG_EXPAND_SZ, "%NVLROOT%\\tools\\VIEW.exe"},
        {record + "nym", "Application", REG_SZ, tool},
        {classes + ".nsd", "", REG_SZ, "nsd_auto_file_mvxnrvl"},
        {classes + "nsd_auto_file_mvxnrvl\\shell\\open\\command", "", REG_EXPAND_SZ,
         "\"" + UseToLower(root) + "\\tools\\view.exe\" \"%1\" -b"},
        {classes + "nym_auto_file_mvxnrvl\\shell\\open\\command", "", REG_EXPAND_SZ,
         "\"" + UseToLower(tool) + "\" \"%1\""},
    };
    const ImportCase cases[] = {
        {"no record key yet", 1, false, 0, ""},
        {"the same file again", 2, false, 0, ""},
        {"record key unreadable", 1, true, 1, "Unable to create registry entry for file extension\n"},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.description);
        const ScopedPrefixRegistry prefix;
        // Blanks past the registry's first 512 bytes: the root is read whole, then trimmed.
        SetString(true, kSystemEnvironmentKey, "NVLROOT", root + std::string(600, ' '));
        if (c.denied) {
            CreateKey(false, kRecordKey);
            SetAccess(false, kRecordKey, kNoAccess);
        }
        ProcessResult result;
        for (int run = 0; run < c.runs; ++run)
            result = RunKelmora(file);
        if (c.denied) SetAccess(false, kRecordKey, KEY_ALL_ACCESS);
        EXPECT_EQ(c.exitCode, result.exitCode);
        EXPECT_EQ(c.output, result.output);
        for (const auto& [key, name, type, text] : stored) {
            const StoredValue value = GetStored(false, key, name);
            EXPECT_EQ(c.denied ? REG_NONE : type, value.type) << key;
            EXPECT_EQ(c.denied ? "" : text, value.text) << key;
        }
    }
}
} // namespace
