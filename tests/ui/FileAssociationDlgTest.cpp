#include "ui/FileAssociationDlg.h"

#include "associations/AssociationFixture.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

class FileAssociationDlgTest : public AssociationTest {
protected:
    INT_PTR Run(std::function<void(DialogDriver&)> script) { return RunDialog(dialog_, std::move(script)); }

    ScriptedPrompts prompts_;
    UseLazyAssociationTable tables_;
    CUse_FileAssociationDlg dialog_{tables_};
};

// The first opening applies the suite's defaults; the next re-registers the records for the release
// then active, keeping their options.
TEST_F(FileAssociationDlgTest, OpeningAppliesTheDefaultsThenFollowsTheActiveRelease) {
    const std::string old = MakeRelease("Old", {"tools\\bin\\draftsch.exe", "tools\\probe\\waveview.exe"});
    const std::string now =
        MakeRelease("Now", {"tools\\draft\\bin\\draftsch.exe", "tools\\bin\\waveview.exe"});
    SetSystemRoot(old);
    const std::string schematic = Quoted(old, "tools\\bin\\draftsch.exe") + "  ";
    const Items defaults = {"nsd    " + schematic, "nsj    " + schematic, "nsk    " + schematic,
                            "nsl    " + schematic,
                            "out    " + Quoted(old, "tools\\probe\\waveview.exe") + "  /dde"};
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ(defaults, dialog.ListItems(IDC_ASSOCIATION_LIST));
        EXPECT_EQ(4, dialog.ListSelection(IDC_ASSOCIATION_LIST));
        dialog.Click(IDOK);
    });
    SetSystemRoot(now);
    Run([&](DialogDriver& dialog) { dialog.PressEscape(); });
    EXPECT_EQ(Quoted(now, "tools\\draft\\bin\\draftsch.exe") + " \"%1\" ", CommandOf("nsj").text);
    EXPECT_EQ(Quoted(now, "tools\\bin\\waveview.exe") + " \"%1\" /dde", CommandOf("out").text);
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
}

TEST_F(FileAssociationDlgTest, AddNormalisesTheInputAndHighlightsTheRecordedLine) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\Viewer.EXE"});
    SetSystemRoot(root);
    const std::string program = root + "\\tools\\bin\\Viewer.EXE", listed = UseToLower(program);
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "aaa", program, "", false));
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "zzz", program, "", false));
    const std::string missing =
        "Unable to add this file association, please check to see if the program exists.";
    const std::string empty = "Empty File Extension or Default Program";
    struct Case {
        Items typed;                // extension, program, options
        std::string message;        // empty when the add succeeds
        std::string command;        // abc's open command afterwards
        std::string highlightedExt; // the extension of the highlighted line
    } cases[] = {
        {{".ABC", listed, ""}, "", "\"" + listed + "\" \"%1\" ", "abc"},
        // Typed with capitals or through %NVLROOT%, the program is not in the listed line, which is
        // resolved and in lower case: the first line is highlighted.
        {{" abc ", program, "  -R "}, "", "\"" + listed + "\" \"%1\" -r", "aaa"},
        {{"abc", "%NVLROOT%\\tools\\bin\\viewer.exe", ""}, "", "\"" + listed + "\" \"%1\" ", "aaa"},
        {{"abc", root + "\\missing.exe", "-r"}, missing, "", "aaa"},
        // An empty field is in every line: the last line holding the program is highlighted.
        {{" . . ", listed, ""}, empty, "", "zzz"},
        {{"abc", "   ", ""}, empty, "", "aaa"},
        {{"a\\bc", program, ""},
         "A file extension cannot contain any of the characters \\ / : * ? \" < > |",
         "",
         "aaa"},
    };
    for (const Case& c : cases) {
        prompts_.messages.clear();
        Run([&](DialogDriver& dialog) {
            dialog.Type(IDC_FILE_EXTENSION, c.typed[0]);
            dialog.Type(IDC_DEFAULT_PROGRAM, c.typed[1]);
            dialog.Type(IDC_PROGRAM_OPTIONS, c.typed[2]);
            dialog.Click(IDC_ADD_UPDATE);
            const Items left = {dialog.Text(IDC_FILE_EXTENSION), dialog.Text(IDC_DEFAULT_PROGRAM),
                                dialog.Text(IDC_PROGRAM_OPTIONS)};
            EXPECT_EQ(c.message.empty() ? Items(3) : c.typed, left);
            EXPECT_EQ(c.highlightedExt + " ", dialog.ListSelectedText(IDC_ASSOCIATION_LIST).substr(0, 4));
            dialog.Click(IDOK);
        });
        EXPECT_EQ(c.message.empty() ? Items{} : Items{c.message}, prompts_.MessageTexts()) << c.typed[0];
        EXPECT_EQ(c.command, CommandOf("abc").text) << c.typed[0];
        EXPECT_EQ(c.message.empty(), KeyExists(false, kStoreKey + std::string("\\abc"))) << c.typed[0];
        UseDeleteAssociation(tables_.Get(), "abc", false);
    }
}

TEST_F(FileAssociationDlgTest, AnUnreadableRecordIsReportedAndTheDialogStaysUsable) {
    BlockStoreKey();
    const INT_PTR result = Run([&](DialogDriver& dialog) {
        dialog.Type(IDC_FILE_EXTENSION, "abc");
        dialog.Click(IDC_ADD_UPDATE);
        EXPECT_TRUE(dialog.IsOpen());
        dialog.Click(IDOK);
    });
    EXPECT_EQ(IDOK, result);
    ASSERT_FALSE(prompts_.messages.empty());
    EXPECT_EQ("Unable to create registry entry for file extension", prompts_.messages[0].text);
}
} // namespace
