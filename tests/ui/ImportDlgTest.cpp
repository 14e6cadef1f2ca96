#include "ui/FileAssociationFileImportDlg.h"

#include "associations/AssociationFixture.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

class ImportDlgTest : public AssociationTest {
protected:
    INT_PTR Run(std::function<void(DialogDriver&)> script) { return RunDialog(dialog_, std::move(script)); }
    // An association file with one line for abc.
    std::string AssociationFile(const std::string& name = "assoc.txt") const {
        return folder_.AddFile(name, "# viewers\r\nabc \"" + program_ + "\" -r\r\n");
    }
    bool Recorded() const { return KeyExists(false, kStoreKey + std::string("\\abc")); }

    ScriptedPrompts prompts_;
    UseLazyAssociationTable tables_;
    UseFileAssociationFileImportDlg dialog_{tables_};
    std::string program_ = folder_.AddFile("viewer.exe");
};

TEST_F(ImportDlgTest, PathProblemsAreReportedAndTheDialogStaysOpen) {
    const std::string folder = folder_.AddFolder("a folder");
    struct Case {
        std::string path, message;
    } cases[] = {
        {"", "Please input a file association file."},
        {folder_.Path() + "\\missing.txt", "This input file doesn't exist, please try again."},
        {folder, "\"" + folder + "\" is a folder, please input a file."},
    };
    for (const Case& c : cases) {
        prompts_.messages.clear();
        const INT_PTR result = Run([&](DialogDriver& dialog) {
            dialog.Type(IDC_IMPORT_PATH, c.path);
            dialog.Click(IDC_IMPORT);
            EXPECT_TRUE(dialog.IsOpen());
            EXPECT_EQ(c.path, dialog.Text(IDC_IMPORT_PATH));
            ASSERT_EQ(1u, prompts_.messages.size());
            EXPECT_EQ(dialog.Handle(), prompts_.messages[0].owner);
            dialog.PressEscape();
        });
        EXPECT_EQ(IDCANCEL, result);
        ASSERT_EQ(1u, prompts_.messages.size());
        EXPECT_EQ(c.message, prompts_.messages[0].text);
        EXPECT_EQ("Imoprt...", prompts_.messages[0].caption);
    }
}

// A file that exists closes the dialog as confirmed, whether or not a line of it was usable.
TEST_F(ImportDlgTest, AnExistingFileIsImportedAndClosesTheDialog) {
    const std::string useless = folder_.AddFile("useless.txt", "abc 'c:\\quoted wrongly.exe'\r\n");
    const std::string file = AssociationFile();
    for (const std::string& path : {useless, file}) {
        const INT_PTR result = Run([&](DialogDriver& dialog) {
            dialog.Type(IDC_IMPORT_PATH, path);
            dialog.Click(IDC_IMPORT);
        });
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(path == file, Recorded()) << path;
    }
    EXPECT_EQ("\"" + UseToLower(program_) + "\" \"%1\" -r", CommandOf("abc").text);
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
    // The path typed last is there at the next opening.
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ(file, dialog.Text(IDC_IMPORT_PATH));
        dialog.Click(IDCANCEL);
    });
}

TEST_F(ImportDlgTest, EnterImportsAndCancelImportsNothing) {
    const std::string file = AssociationFile();
    const INT_PTR cancelled = Run([&](DialogDriver& dialog) {
        dialog.Type(IDC_IMPORT_PATH, file);
        dialog.Click(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, cancelled);
    EXPECT_FALSE(Recorded());

    const INT_PTR entered = Run([&](DialogDriver& dialog) {
        // Cancel read nothing: the path is gone.
        EXPECT_EQ("", dialog.Text(IDC_IMPORT_PATH));
        dialog.Type(IDC_IMPORT_PATH, file);
        // Enter in the path edit, handled as the dialog's modal loop handles the key.
        SetFocus(dialog.Item(IDC_IMPORT_PATH));
        MSG enter{dialog.Item(IDC_IMPORT_PATH), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        EXPECT_TRUE(IsDialogMessageA(dialog.Handle(), &enter));
    });
    EXPECT_EQ(IDOK, entered);
    EXPECT_TRUE(Recorded());
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
}

TEST_F(ImportDlgTest, BrowseFillsThePath) {
    const std::string file = AssociationFile();
    prompts_.folderAnswers = {file};
    Run([&](DialogDriver& dialog) {
        dialog.Click(IDC_BROWSE);
        EXPECT_EQ(file, dialog.Text(IDC_IMPORT_PATH));
        dialog.Click(IDC_IMPORT);
    });
    ASSERT_EQ(1u, prompts_.folderRequests.size());
    EXPECT_EQ("Select the file association file to import", prompts_.folderRequests[0].title);
    EXPECT_EQ(FolderBrowser::Mode::FoldersAndFiles, prompts_.folderRequests[0].mode);
    EXPECT_EQ("", prompts_.folderRequests[0].initialFolder);
    EXPECT_TRUE(Recorded());
}
} // namespace
