#include "ui/FileAssociationFileImportDlg.h"

#include "associations/AssociationFixture.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {
using ImportDlgTest = AssociationTest;

TEST_F(ImportDlgTest, OnlyAnExistingFileIsImportedAndClosesTheDialog) {
    ScriptedPrompts prompts;
    UseLazyAssociationTable tables;
    UseFileAssociationFileImportDlg importDialog(tables);
    const std::string program = folder_.AddFile("viewer.exe");
    const std::string file = folder_.AddFile("assoc.txt", "# viewers\nabc \"" + program + "\" -r\n");
    const std::string useless = folder_.AddFile("useless.txt", "abc 'c:\\quoted wrongly.exe'\n");
    const std::string folder = folder_.AddFolder("a folder");
    const std::pair<std::string, std::string> problems[] = {
        {"", "Please input a file association file."},
        {folder_.Path() + "\\missing.txt", "This input file doesn't exist, please try again."},
        {folder, "\"" + folder + "\" is a folder, please input a file."},
    };
    for (const auto& [path, message] : problems) {
        prompts.messages.clear();
        RunDialog(importDialog, [&](DialogDriver& dialog) {
            dialog.Type(IDC_IMPORT_PATH, path);
            dialog.Click(IDC_IMPORT);
            EXPECT_TRUE(dialog.IsOpen());
            EXPECT_EQ(path, dialog.Text(IDC_IMPORT_PATH));
            dialog.PressEscape();
        });
        ASSERT_EQ(1u, prompts.messages.size());
        EXPECT_EQ(message, prompts.messages[0].text);
        EXPECT_EQ("Imoprt...", prompts.messages[0].caption);
    }
    const auto importWith = [&](const std::string& path, auto confirm) {
        return RunDialog(importDialog, [&](DialogDriver& dialog) {
            dialog.Type(IDC_IMPORT_PATH, path);
            confirm(dialog);
        });
    };
    const auto enter = [](DialogDriver& dialog) {
        // The key as the dialog's modal loop hands it over.
        MSG key{dialog.Item(IDC_IMPORT_PATH), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        IsDialogMessageA(dialog.Handle(), &key);
    };
    EXPECT_EQ(IDCANCEL, importWith(file, [](DialogDriver& dialog) { dialog.Click(IDCANCEL); }));
    EXPECT_EQ(IDOK, importWith(useless, enter)); // closes, though no line was usable
    EXPECT_FALSE(KeyExists(false, kStoreKey + std::string("\\abc")));
    EXPECT_EQ(IDOK, importWith(file, [](DialogDriver& dialog) { dialog.Click(IDC_IMPORT); }));
    EXPECT_EQ("\"" + UseToLower(program) + "\" \"%1\" -r", CommandOf("abc").text);
    EXPECT_EQ(file, importDialog.Path());
}
} // namespace
