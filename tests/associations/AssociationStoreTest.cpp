#include "associations/AssociationStore.h"

#include "AssociationFixture.h"
#include "app/UseException.h"

namespace {
using AssociationStoreTest = AssociationTest;

TEST_F(AssociationStoreTest, AddWritesTheOpenCommandByteForByte) {
    const std::string root = MakeRelease("Suite 17.2", {"tools\\bin\\Viewer.exe"});
    SetSystemRoot(root);
    const std::string viewer = Quoted(root, "tools\\bin\\viewer.exe"),
                      stored = "%NVLROOT%\\tools\\bin\\Viewer.exe";
    const struct {
        std::string program, options, command, line;
    } cases[] = {
        {stored, "", viewer + " \"%1\"", "abc    \"" + stored + "\" "},
        {stored, "-R", viewer + " \"%1\" -r", "abc    \"" + stored + "\"  -R"},
        {stored, "-x \"%1\" -y", viewer + " -x \"%1\" -y", "abc    \"" + stored + "\" -x  -y"},
        {root + "\\TOOLS\\bin\\viewer.exe", "", viewer + " \"%1\"",
         "abc    \"" + root + "\\TOOLS\\bin\\viewer.exe\" "},
    };
    for (const auto& c : cases) {
        UseAssociationTable table;
        ASSERT_TRUE(UseAddAssociation(table, "abc", c.program, c.options, false)) << c.program;
        EXPECT_EQ(c.command, CommandOf("abc").text) << c.options;
        EXPECT_EQ(REG_EXPAND_SZ, CommandOf("abc").type);
        EXPECT_EQ("abc_auto_file_mvxnrvl", ClassOf("abc"));
        EXPECT_EQ(c.program, ApplicationOf("abc").text);
        EXPECT_EQ(c.program == stored ? REG_EXPAND_SZ : REG_SZ, ApplicationOf("abc").type);
        EXPECT_EQ(std::vector<std::string>{c.line}, UseAssociationLines(table));
    }
}

TEST_F(AssociationStoreTest, AddWritesNothingForAMissingProgramAndStopsAtARefusal) {
    UseAssociationTable table;
    EXPECT_FALSE(UseAddAssociation(table, "abc", folder_.Path() + "\\absent.exe", "", false));
    EXPECT_FALSE(KeyExists(false, kStoreKey + std::string("\\abc")));

    const std::string program = folder_.AddFile("viewer.exe");
    CreateKey(false, "SOFTWARE\\Classes\\.abc");
    DenyWrite(false, "SOFTWARE\\Classes\\.abc");
    EXPECT_FALSE(UseAddAssociation(table, "abc", program, "", false));
    EXPECT_EQ(program, ApplicationOf("abc").text);
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\abc_auto_file_mvxnrvl"));
    EXPECT_TRUE(table.commands.empty());
}

TEST_F(AssociationStoreTest, LoadTakesRegisteredRecordsOnlyAndKeepsEarlierEntries) {
    for (const char* extension : {"abc", "def", "ghi"})
        CreateKey(false, kStoreKey + std::string("\\") + extension);
    RegisterByHand(false, "abc", "\"c:\\apps\\viewer.exe\" \"%1\" -r");
    RegisterByHand(true, "ghi", "\"c:\\apps\\other.exe\" \"%1\"");
    UseAssociationTable table;
    table.commands["old"] = "\"c:\\old.exe\" ";
    EXPECT_TRUE(UseLoadAssociations(table, false));
    const std::vector<std::string> expected = {"abc    \"c:\\apps\\viewer.exe\"  -r",
                                               "ghi    \"c:\\apps\\other.exe\" ", "old    \"c:\\old.exe\" "};
    EXPECT_EQ(expected, UseAssociationLines(table));
}

TEST_F(AssociationStoreTest, LoadCreatesAMissingKeyRaisesWhenItCannotAndRetries) {
    UseAssociationTable table;
    EXPECT_TRUE(UseLoadAssociations(table, true));
    EXPECT_TRUE(KeyExists(true, kStoreKey));

    BlockStoreKey();
    try {
        UseLoadAssociations(table, false);
        ADD_FAILURE() << "no exception";
    } catch (const UseException& failure) {
        EXPECT_EQ("Unable to create registry entry for file extension", failure.Message());
    }
    UseLazyAssociationTable tables;
    EXPECT_THROW(tables.Get(), UseException);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane"));
    EXPECT_NO_THROW(tables.Get());
    EXPECT_TRUE(KeyExists(false, kStoreKey));
}

TEST_F(AssociationStoreTest, DeleteRunsEveryStep) {
    const std::string program = folder_.AddFile("viewer.exe");
    UseAssociationTable table;
    ASSERT_TRUE(UseAddAssociation(table, "abc", program, "", false));
    ASSERT_TRUE(UseAddAssociation(table, "def", program, "", false));
    table.commands.erase("def");
    EXPECT_TRUE(UseDeleteAssociation(table, "abc", false));
    EXPECT_FALSE(UseDeleteAssociation(table, "def", false));
    for (const std::string extension : {"abc", "def"}) {
        EXPECT_FALSE(KeyExists(false, kStoreKey + std::string("\\") + extension));
        EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\." + extension));
        EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\" + extension + "_auto_file_mvxnrvl"));
    }
    EXPECT_TRUE(table.commands.empty());
}
} // namespace
