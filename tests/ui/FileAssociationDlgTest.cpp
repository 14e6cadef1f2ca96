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
    static std::string Line(const std::string& extension, const std::string& quotedProgram,
                            const std::string& options = "") {
        return extension + "    " + quotedProgram + "  " + options;
    }
    static void Fill(DialogDriver& dialog, const std::string& extension, const std::string& program,
                     const std::string& options) {
        dialog.Type(IDC_FILE_EXTENSION, extension);
        dialog.Type(IDC_DEFAULT_PROGRAM, program);
        dialog.Type(IDC_PROGRAM_OPTIONS, options);
    }
    static Items Edits(DialogDriver& dialog) {
        return {dialog.Text(IDC_FILE_EXTENSION), dialog.Text(IDC_DEFAULT_PROGRAM),
                dialog.Text(IDC_PROGRAM_OPTIONS)};
    }

    ScriptedPrompts prompts_;
    UseLazyAssociationTable tables_;
    CUse_FileAssociationDlg dialog_{tables_};
};

// A user without records, or with an empty record key, gets the suite's defaults for the active release.
TEST_F(FileAssociationDlgTest, OpeningWithoutRecordsAppliesTheDefaults) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\draftsch.exe", "tools\\probe\\waveview.exe"});
    SetSystemRoot(root);
    const std::string schematic = Quoted(root, "tools\\bin\\draftsch.exe");
    const Items expected = {Line("nsd", schematic), Line("nsj", schematic), Line("nsk", schematic),
                            Line("nsl", schematic),
                            Line("out", Quoted(root, "tools\\probe\\waveview.exe"), "/dde")};
    for (const bool emptyKey : {false, true}) {
        if (emptyKey) {
            for (const char* extension : {"nsd", "nsj", "nsk", "nsl", "out"})
                UseDeleteAssociation(tables_.Get(), extension, false);
            ASSERT_TRUE(KeyExists(false, kStoreKey));
        }
        Run([&](DialogDriver& dialog) {
            EXPECT_EQ(expected, dialog.ListItems(IDC_ASSOCIATION_LIST)) << "empty key: " << emptyKey;
            EXPECT_EQ(expected.back(), dialog.ListSelectedText(IDC_ASSOCIATION_LIST));
            dialog.Click(IDOK);
        });
        EXPECT_EQ(schematic + " \"%1\" ", CommandOf("nsd").text);
        EXPECT_TRUE(KeyExists(false, kStoreKey + std::string("\\out")));
    }
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
}

// A user with records gets them pointed at the release now active, their options kept.
TEST_F(FileAssociationDlgTest, OpeningWithRecordsReRegistersThemForTheActiveRelease) {
    const std::string old = MakeRelease("Old", {"tools\\bin\\draftsch.exe", "tools\\probe\\waveview.exe"});
    const std::string now = MakeRelease("Now", {"tools\\draft\\bin\\draftsch.exe"});
    SetSystemRoot(now);
    CreateKey(false, kStoreKey + std::string("\\nsd"));
    RegisterByHand(false, "nsd", Quoted(old, "tools\\bin\\draftsch.exe") + " \"%1\" -a -b");
    CreateKey(false, kStoreKey + std::string("\\out"));
    const std::string keptOut = Quoted(old, "tools\\probe\\waveview.exe") + " \"%1\" /dde";
    RegisterByHand(false, "out", keptOut);
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ((Items{Line("nsd", Quoted(now, "tools\\draft\\bin\\draftsch.exe"), "-a -b"),
                         Line("out", Quoted(old, "tools\\probe\\waveview.exe"), "/dde")}),
                  dialog.ListItems(IDC_ASSOCIATION_LIST));
        dialog.PressEscape();
    });
    EXPECT_EQ(Quoted(now, "tools\\draft\\bin\\draftsch.exe") + " \"%1\" -a -b", CommandOf("nsd").text);
    EXPECT_EQ(keptOut, CommandOf("out").text); // no tool for it in the new release
    EXPECT_EQ("", ClassOf("nsk"));             // and no defaults on top
}

TEST_F(FileAssociationDlgTest, AddNormalisesAndSelectsTheRecordedLine) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\Viewer.EXE"});
    SetSystemRoot(root);
    const std::string program = root + "\\tools\\bin\\Viewer.EXE";
    const std::string lowerProgram = UseToLower(program);
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "aaa", program, "", false));
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "zzz", program, "", false));
    struct Case {
        std::string extension, program, options;
        std::string message;      // empty when the add succeeds
        std::string command;      // the registered open command on success
        std::string selectedLine; // its first characters
    } cases[] = {
        {".ABC", lowerProgram, "", "", "\"" + lowerProgram + "\" \"%1\" ", "abc "},
        // Typed with capitals or through %NVLROOT%, the program is not in the listed (lower-case,
        // resolved) line: the first line is highlighted instead.
        {" abc ", program, "  -R ", "", "\"" + lowerProgram + "\" \"%1\" -r", "aaa "},
        {"abc", "%NVLROOT%\\tools\\bin\\viewer.exe", "", "", "\"" + lowerProgram + "\" \"%1\" ", "aaa "},
        {"abc", root + "\\tools\\bin\\missing.exe", "-r",
         "Unable to add this file association, please check to see if the program exists.", "", "aaa "},
        // An empty field is found in every line: the last line holding the program is highlighted.
        {" . . ", lowerProgram, "", "Empty File Extension or Default Program", "", "zzz "},
        {"abc", "   ", "", "Empty File Extension or Default Program", "", "aaa "},
        {"a\\bc", program, "", "A file extension cannot contain any of the characters \\ / : * ? \" < > |",
         "", "aaa "},
    };
    for (const Case& c : cases) {
        prompts_.messages.clear();
        Run([&](DialogDriver& dialog) {
            Fill(dialog, c.extension, c.program, c.options);
            dialog.Click(IDC_ADD_UPDATE);
            const Items left =
                c.message.empty() ? Items{"", "", ""} : Items{c.extension, c.program, c.options};
            EXPECT_EQ(left, Edits(dialog)) << c.extension;
            EXPECT_EQ(c.selectedLine, dialog.ListSelectedText(IDC_ASSOCIATION_LIST).substr(0, 4))
                << c.extension;
            dialog.Click(IDOK);
        });
        EXPECT_EQ(c.message.empty() ? Items{} : Items{c.message}, prompts_.MessageTexts()) << c.extension;
        EXPECT_EQ(c.command, CommandOf("abc").text) << c.extension;
        EXPECT_EQ(c.message.empty(), KeyExists(false, kStoreKey + std::string("\\abc"))) << c.extension;
        UseDeleteAssociation(tables_.Get(), "abc", false);
    }
    EXPECT_EQ(REG_SZ, ApplicationOf("aaa").type);
}

TEST_F(FileAssociationDlgTest, SelectionFillsTheEditsAndDeleteRemovesTheAssociation) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\Viewer.EXE"});
    const std::string program = root + "\\tools\\bin\\Viewer.EXE";
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "abc", program, "-R", false));
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "nbd", program, "", false));
    const std::string listed = UseToLower(program);
    Run([&](DialogDriver& dialog) {
        dialog.SelectListItem(IDC_ASSOCIATION_LIST, Line("abc", "\"" + listed + "\"", "-r"));
        EXPECT_EQ((Items{"abc", listed, "-r"}), Edits(dialog));
        // Recording it again unchanged stores the program as listed: resolved and in lower case.
        dialog.Click(IDC_ADD_UPDATE);
        EXPECT_EQ(listed, ApplicationOf("abc").text);
        EXPECT_EQ(0, dialog.ListSelection(IDC_ASSOCIATION_LIST));

        dialog.Click(IDC_DELETE);
        // Recorded without options, its command ends in the placeholder, which the line leaves out.
        EXPECT_EQ((Items{"nbd    \"" + listed + "\" "}), dialog.ListItems(IDC_ASSOCIATION_LIST));
        EXPECT_EQ((Items{"", "", ""}), Edits(dialog));

        dialog.SelectListItem(IDC_ASSOCIATION_LIST, -1);
        dialog.Click(IDC_DELETE);
        EXPECT_EQ(1u, dialog.ListItems(IDC_ASSOCIATION_LIST).size());
        dialog.Click(IDOK);
    });
    EXPECT_EQ((Items{"To delete a file extension, select a file extension from the list"}),
              prompts_.MessageTexts());
    EXPECT_FALSE(KeyExists(false, kStoreKey + std::string("\\abc")));
    EXPECT_EQ("", ClassOf("abc"));
    EXPECT_EQ(REG_NONE, CommandOf("abc").type);
    EXPECT_NE("", ClassOf("nbd"));
}

TEST_F(FileAssociationDlgTest, BrowseStartsInTheActiveRootAndFillsTheProgram) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\viewer.exe"});
    SetString(false, kUserEnvironmentKey, "NVLROOT", root + "\\");
    prompts_.folderAnswers = {root + "\\tools\\bin\\viewer.exe", std::nullopt};
    Run([&](DialogDriver& dialog) {
        dialog.Click(IDC_BROWSE);
        EXPECT_EQ(root + "\\tools\\bin\\viewer.exe", dialog.Text(IDC_DEFAULT_PROGRAM));
        dialog.Click(IDC_BROWSE);
        EXPECT_EQ(root + "\\tools\\bin\\viewer.exe", dialog.Text(IDC_DEFAULT_PROGRAM));
        dialog.PressEscape();
    });
    ASSERT_EQ(2u, prompts_.folderRequests.size());
    EXPECT_EQ("Select the program that associates this file extension", prompts_.folderRequests[0].title);
    EXPECT_EQ(FolderBrowser::Mode::FoldersAndFiles, prompts_.folderRequests[0].mode);
    EXPECT_EQ(root, prompts_.folderRequests[0].initialFolder);
}

// The record that cannot be read or created is reported; the dialog stays open and closes as usual.
TEST_F(FileAssociationDlgTest, AnUnreadableRecordIsReportedAndTheDialogStaysUsable) {
    BlockStoreKey();
    const INT_PTR result = Run([&](DialogDriver& dialog) {
        EXPECT_TRUE(dialog.IsOpen());
        EXPECT_EQ(Items{}, dialog.ListItems(IDC_ASSOCIATION_LIST));
        Fill(dialog, "abc", "c:\\missing.exe", "");
        dialog.Click(IDC_ADD_UPDATE);
        EXPECT_TRUE(dialog.IsOpen());
        dialog.Click(IDOK);
    });
    EXPECT_EQ(IDOK, result);
    ASSERT_FALSE(prompts_.messages.empty());
    EXPECT_EQ("Unable to create registry entry for file extension", prompts_.messages[0].text);
    EXPECT_EQ("Morvane", prompts_.messages[0].caption);
}

TEST_F(FileAssociationDlgTest, ImportRunsTheImportDialogAndListsWhatItAdded) {
    const std::string program = folder_.AddFile("viewer.exe");
    const std::string file = folder_.AddFile("assoc.txt", "imp \"" + program + "\" -x\r\n");
    CreateKey(false, kStoreKey);
    Run([&](DialogDriver& dialog) {
        WhenNextDialogOpens([&](DialogDriver& import) {
            EXPECT_EQ("Import File Associations", import.Caption());
            import.Type(IDC_IMPORT_PATH, file);
            import.Click(IDC_IMPORT);
        });
        dialog.Click(IDC_IMPORT);
        EXPECT_EQ((Items{Line("imp", "\"" + UseToLower(program) + "\"", "-x")}),
                  dialog.ListItems(IDC_ASSOCIATION_LIST));
        dialog.Click(IDOK);
    });
    EXPECT_EQ(file, dialog_.ImportDialog().Path());
}

// Between openings the fields keep what the dialog last read, Close reads them, Escape does not.
TEST_F(FileAssociationDlgTest, ReopeningShowsTheFieldsAsLastRead) {
    CreateKey(false, kStoreKey);
    Run([&](DialogDriver& dialog) {
        Fill(dialog, ".Typed", "c:\\typed.exe", "-t");
        dialog.Click(IDOK);
    });
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ((Items{".Typed", "c:\\typed.exe", "-t"}), Edits(dialog));
        dialog.Type(IDC_FILE_EXTENSION, "lost");
        dialog.PressEscape();
    });
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ(".Typed", dialog.Text(IDC_FILE_EXTENSION));
        dialog.PressEscape();
    });
}
} // namespace
