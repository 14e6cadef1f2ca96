// The main dialog and the dialogs it opens, on the real registry of the sandbox.
#include "associations/AssociationFixture.h"
#include "catalogue/ManualReleases.h"
#include "environment/SwitchLogTesting.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "ui/AboutDlg.h"
#include "ui/FileAssociationFileImportDlg.h"
#include "ui/MainDlg.h"
#include "ui/ReleaseEntry.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

std::string SwitchBlock(const std::string& root, const std::string& paths) {
    return std::string(53, '-') + "\r\n\r\nNVLROOT = " + root + "\r\n\r\nPATH = " + paths + "\r\n\r\n";
}

class MainDlgTest : public AssociationTest {
protected:
    MainDlgTest() {
        UseLoadRichEdit();
        CreateEnvironmentKeys();
        UseRedirectSwitchLogForTests(folder_.Path());
    }
    ~MainDlgTest() override { UseRedirectSwitchLogForTests(""); }

    // A hand-configured release whose folder holds the schematic tool; "nsd" recorded for the user, so
    // that a switch registers it again with the new release's tool.
    std::string AddRelease(const std::string& name, const std::string& folder) const {
        SetString(false, std::string(kStoreKey) + "\\nsd", "Application", "x", REG_EXPAND_SZ);
        SetString(false, std::string(kManualConfigurationKey) + "\\" + name, "Location",
                  folder_.Path() + "\\" + folder);
        return MakeRelease(folder, {"tools\\bin\\draftsch.exe"});
    }
    // Sets the variable (system, user), or deletes it when value is empty.
    static void Set(bool machineWide, const char* name, const std::string& value) {
        const char* key = machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
        RegDeleteKeyValueA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, name);
        if (!value.empty()) SetString(machineWide, key, name, value, REG_EXPAND_SZ);
    }
    static std::string Stored(bool machineWide, const char* name) {
        return GetStored(machineWide, machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey, name).text;
    }
    static std::string Opens(const std::string& root, const char* tool = "tools\\bin\\draftsch.exe") {
        return Quoted(root, tool) + " \"%1\" ";
    }

    // Types each text into its field, then clicks the button.
    static void Enter(DialogDriver& dialog, std::initializer_list<std::pair<int, std::string>> fields,
                      int button) {
        for (const auto& [id, text] : fields)
            dialog.Type(id, text);
        dialog.Click(button);
    }

    ScriptedPrompts prompts_;
    UseLazyAssociationTable tables_;
};
using DialogFlowTest = MainDlgTest;
using ManualConfigDlgTest = MainDlgTest;
using FileAssociationDlgTest = MainDlgTest;
using ImportDlgTest = MainDlgTest;

// Whatever the scope, the file types are registered again for the new release and each double click
// adds the environment after the switch to the summary.
TEST_F(MainDlgTest, DoubleClickSwitchesInTheScopeTheEnvironmentCallsFor) {
    const std::string target = AddRelease("MVX 16.6", "MVX 16.6");
    const char* names[] = {"NVLROOT", "NVLROOT", "PATH", "PATH"}; // system, user, system, user
    const char* cases[][8] = {
        // before, then after with "T" for the target's root
        {"C:\\Old", "C:\\Mine", "S;%SystemRoot%;%NVLROOT%\\b", "U;%NVLROOT%\\b", //
         "T", "C:\\Mine", "%SystemRoot%;%NVLROOT%\\b;S", "U;%NVLROOT%\\b"},
        {"", "C:\\Mine", "S;%NVLROOT%\\b", "U;%NVLROOT%\\b", "", "T", "S;%NVLROOT%\\b", "%NVLROOT%\\b;U"},
        {"", "", "S;%NVLROOT%\\b", "U;%NVLROOT%\\b", "", "T", "S;%NVLROOT%\\b", "%NVLROOT%\\b;U"},
        {"", "", "S;%NVLROOT%\\b", "U", "T", "", "%NVLROOT%\\b;S", "U"},
        {"", "", "S;%nvlroot%\\b", "U", "", "", "S;%nvlroot%\\b", "U"}, // none: spelt otherwise
    };
    for (const auto& c : cases) {
        std::string after[4];
        for (int i = 0; i < 4; ++i) {
            Set(i % 2 == 0, names[i], c[i]);
            after[i] = std::string(c[4 + i]) == "T" ? target : c[4 + i];
        }
        const std::string root = after[0] == target || after[1] == target ? target : "";
        // With no NVLROOT written, the tools are found through the root the program recorded last.
        if (root.empty()) SetString(false, kStoreKey, "rootDirectory", target);
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl");
        CUse_WorkDlg main;
        RunDialog(main, [&](DialogDriver& dialog) {
            const std::string before = dialog.Text(IDC_SUMMARY);
            dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
            dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
            const std::string block = SwitchBlock(root, after[2] + after[3]);
            EXPECT_EQ(before + block + block, dialog.Text(IDC_SUMMARY)) << c[2];
            EXPECT_EQ(root.empty() ? "Morvane" : "Morvane - MVX 16.6", dialog.Caption()) << c[2];
            dialog.PressEscape();
        });
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(after[i], Stored(i % 2 == 0, names[i])) << c[2] << " " << i;
        EXPECT_EQ(Opens(target), CommandOf("nsd").text) << c[2];
    }
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
}

// The refresh takes the first release whose entry holds the root, though its root only starts with it.
TEST_F(MainDlgTest, RefusedSystemWriteAsksToTurnOffUacAndShowsTheCurrentReleaseAgain) {
    Set(true, "NVLROOT", AddRelease("Beta", "R"));
    AddRelease("Alpha", "R 2");
    Set(true, "PATH", "C:\\Tools;%NVLROOT%\\bin");
    DenyWrite(true, kSystemEnvironmentKey);
    CUse_WorkDlg main;
    RunDialog(main, [&](DialogDriver& dialog) {
        const std::string before = dialog.Text(IDC_SUMMARY);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        EXPECT_EQ(
            Items{"Cannot change NVLROOT environment value. Please turn off UAC(User Account Control) on "
                  "Vista or Window 7."},
            prompts_.MessageTexts());
        EXPECT_EQ("Morvane - Alpha", dialog.Caption());
        EXPECT_EQ(0, dialog.ListSelection(IDC_RELEASE_LIST));
        EXPECT_EQ(before, dialog.Text(IDC_SUMMARY));
        dialog.PressEscape();
    });
    EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", Stored(true, "PATH"));
    EXPECT_EQ("", CommandOf("nsd").text);
}

struct NoHelpDlg : CUse_WorkDlg {
    std::string ProgramFolder() const override { return "C:\\"; }
};
// The caption names the release whose entry holds the root in any letter case; the selection needs
// its exact case.
TEST_F(MainDlgTest, OtherCaseRootHelpWithoutItsFileAndOk) {
    const std::string root = AddRelease("MVX", "MVX");
    Set(true, "NVLROOT", UseToUpper(root));
    Set(false, "NVL_LIC_FILE", "1717@licence ");
    NoHelpDlg main;
    EXPECT_EQ(IDCANCEL, RunDialog(main, [&](DialogDriver& dialog) {
                  EXPECT_EQ("Original Setting: \r\n\r\n    NVLROOT       = " + UseToUpper(root) +
                                "\r\n    NVL_LIC_FILE = 1717@licence \r\n",
                            dialog.Text(IDC_SUMMARY));
                  EXPECT_EQ("Morvane - MVX", dialog.Caption());
                  EXPECT_EQ(-1, dialog.ListSelection(IDC_RELEASE_LIST));
                  dialog.Click(ID_HELP);
                  dialog.SelectListItem(IDC_RELEASE_LIST, 0);
                  dialog.Click(IDOK); // switches, then closes
              }));
    EXPECT_EQ(Items{"Cannot find help file  \"kelmora.pdf\". "}, prompts_.MessageTexts());
    EXPECT_EQ(root, Stored(true, "NVLROOT"));
}

// Through the dialogs it opens: each change is in the registry while they are still open.
TEST_F(DialogFlowTest, AddReleaseSwitchToItAndEditItsFileAssociations) {
    Set(true, "NVLROOT", "C:\\Old");
    const std::string hand = MakeRelease("Hand", {"tools\\bin\\draftsch.exe", "viewer.exe"});
    prompts_.folderAnswers = {hand, hand + "\\viewer.exe",
                              folder_.AddFile("a.txt", "imp \"%NVLROOT%\\viewer.exe\" -i\n")};
    CUse_WorkDlg main;
    RunDialog(main, [&](DialogDriver& dialog) {
        WhenNextDialogOpens([&](DialogDriver& manual) {
            manual.Type(IDC_RELEASE_NAME, "MVX Hand");
            manual.Click(IDC_BROWSE);
            manual.Click(IDC_ADD_UPDATE);
            manual.Click(IDCANCEL);
        });
        dialog.Click(IDC_MANUAL);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ(hand, Stored(true, "NVLROOT"));
        WhenNextDialogOpens([&](DialogDriver& setup) {
            EXPECT_EQ(Opens(hand), CommandOf("nsd").text); // the suite's defaults, for the release now active
            setup.Type(IDC_FILE_EXTENSION, ".XYZ");
            setup.Click(IDC_BROWSE);
            setup.Click(IDC_ADD_UPDATE);
            EXPECT_EQ(Opens(hand, "viewer.exe"), CommandOf("xyz").text);
            WhenNextDialogOpens([](DialogDriver& import) {
                import.Click(IDC_BROWSE);
                import.Click(IDC_IMPORT);
            });
            setup.Click(IDC_IMPORT);
            EXPECT_EQ(Opens(hand, "viewer.exe") + "-i", CommandOf("imp").text);
            setup.Click(IDOK);
        });
        dialog.Click(IDC_FILE_ASSOCIATION);
        dialog.PressEscape();
    });
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
}

TEST(ReleaseEntryTest, SplitsAtTheParenthesisThatMatchesTheLastOne) {
    const char* cases[][3] = {
        {"MVX 16.6(File Server)(C:\\Suite (x86)\\R)", "MVX 16.6(File Server)", "C:\\Suite (x86)\\R"},
        {"A(B(C(D)))", "A", "B(C(D))"},
        {"Kalvo lite(C:\\K) trailing text", "Kalvo lite", "C:\\K"},
    };
    std::string name, root;
    for (const auto& c : cases) {
        EXPECT_TRUE(UseSplitReleaseEntry(c[0], name, root)) << c[0];
        EXPECT_EQ(std::string(c[1]) + "|" + c[2], name + "|" + root) << c[0];
    }
    for (const char* malformed : {"MVX(C:\\x", "A(B)C)", "MVX()", "(C:\\x)", ")("}) {
        EXPECT_FALSE(UseSplitReleaseEntry(malformed, name, root)) << malformed;
        EXPECT_EQ("Kalvo lite|C:\\K", name + "|" + root) << malformed; // left as they were
    }
}

TEST_F(ManualConfigDlgTest, AddKeepsTheListSortedAndRefusesADuplicateInOtherCase) {
    UseReleaseSet detected;
    detected.Set("MVX 16.6", "C:\\MVX 16.6");
    UseManualReleaseStore store;
    CUse_ManualConfigDlg manual(detected, store);
    RunDialog(manual, [&](DialogDriver& dialog) {
        for (const char* name : {"mvx 16.6", "Zeta", "   ", "Alpha"}) // only an empty field is refused
            Enter(dialog, {{IDC_RELEASE_NAME, name}, {IDC_RELEASE_LOCATION, std::string("C:\\") + name}},
                  IDC_ADD_UPDATE);
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_NAME));
        // Sorted, with the last item highlighted, which need not be the release just added.
        EXPECT_EQ((Items{"   (C:\\   )", "Alpha(C:\\Alpha)", "Zeta(C:\\Zeta)"}),
                  dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ(2, dialog.ListSelection(IDC_RELEASE_LIST));
        dialog.SelectListItem(IDC_RELEASE_LIST, 1);
        dialog.Click(IDC_DELETE);
        dialog.SelectListItem(IDC_RELEASE_LIST, -1);
        dialog.Click(IDC_DELETE);
        dialog.PressEscape();
    });
    EXPECT_EQ((Items{"Duplicate release(mvx 16.6) name ",
                     "To delete a release, select a release name from the list"}),
              prompts_.MessageTexts());
    const std::map<std::string, std::string> stored = {{"   ", "C:\\   "}, {"Zeta", "C:\\Zeta"}};
    EXPECT_EQ(stored, UseManualReleaseStore().Releases().Entries());
}

// A user without records gets the suite's defaults; the next opening registers the records again for
// the release then active.
TEST_F(FileAssociationDlgTest, OpeningAppliesTheDefaultsThenFollowsTheActiveRelease) {
    const std::string old = MakeRelease("Old", {"tools\\bin\\draftsch.exe", "tools\\probe\\waveview.exe"});
    const std::string now =
        MakeRelease("Now", {"tools\\draft\\bin\\draftsch.exe", "tools\\bin\\waveview.exe"});
    const std::string schematic = Quoted(old, "tools\\bin\\draftsch.exe") + "  ";
    CUse_FileAssociationDlg setup(tables_);
    SetSystemRoot(old);
    RunDialog(setup, [&](DialogDriver& dialog) {
        EXPECT_EQ(
            (Items{"nsd    " + schematic, "nsj    " + schematic, "nsk    " + schematic, "nsl    " + schematic,
                   "out    " + Quoted(old, "tools\\probe\\waveview.exe") + "  /dde"}),
            dialog.ListItems(IDC_ASSOCIATION_LIST));
        dialog.PressEscape();
    });
    SetSystemRoot(now);
    RunDialog(setup, [](DialogDriver& dialog) { dialog.PressEscape(); });
    EXPECT_EQ(Quoted(now, "tools\\draft\\bin\\draftsch.exe") + " \"%1\" ", CommandOf("nsj").text);
    EXPECT_EQ(Quoted(now, "tools\\bin\\waveview.exe") + " \"%1\" /dde", CommandOf("out").text);
}

// Typed with capitals or through %NVLROOT%, the program is not in the listed line, which is resolved
// and in lower case: the first line is highlighted after the add, as after a refused one.
TEST_F(FileAssociationDlgTest, AddNormalisesTheExtensionAndHighlightsTheRecordedLine) {
    const std::string root = MakeRelease("MVX", {"tools\\bin\\Viewer.EXE"});
    SetSystemRoot(root);
    const std::string program = root + "\\tools\\bin\\Viewer.EXE";
    ASSERT_TRUE(UseAddAssociation(tables_.Get(), "aaa", program, "", false));
    const std::string cases[][2] = {{UseToLower(program), "abc"},
                                    {program, "aaa"},
                                    {"%NVLROOT%\\tools\\bin\\viewer.exe", "aaa"},
                                    {root + "\\missing.exe", "aaa"}};
    CUse_FileAssociationDlg setup(tables_);
    RunDialog(setup, [&](DialogDriver& dialog) {
        for (const auto& c : cases) {
            Enter(dialog, {{IDC_FILE_EXTENSION, ".ABC"}, {IDC_DEFAULT_PROGRAM, c[0]}}, IDC_ADD_UPDATE);
            EXPECT_EQ(c[1] + " ", dialog.ListSelectedText(IDC_ASSOCIATION_LIST).substr(0, 4)) << c[0];
        }
        dialog.PressEscape();
    });
    EXPECT_EQ(Quoted(root, "tools\\bin\\Viewer.EXE") + " \"%1\" ", CommandOf("abc").text);
    EXPECT_EQ(Items{"Unable to add this file association, please check to see if the program exists."},
              prompts_.MessageTexts());
}

TEST_F(ImportDlgTest, OnlyAnExistingFileIsImportedAndClosesTheDialog) {
    UseFileAssociationFileImportDlg import(tables_);
    const std::string program = folder_.AddFile("viewer.exe"), folder = folder_.AddFolder("a folder");
    const std::string paths[] = {"", folder_.Path() + "\\missing.txt", folder,
                                 folder_.AddFile("assoc.txt", "abc \"" + program + "\" -r\n")};
    EXPECT_EQ(IDOK, RunDialog(import, [&](DialogDriver& dialog) {
                  for (const std::string& path : paths) // the last one closes the dialog
                      Enter(dialog, {{IDC_IMPORT_PATH, path}}, IDC_IMPORT);
              }));
    EXPECT_EQ(
        (Items{"Please input a file association file.", "This input file doesn't exist, please try again.",
               "\"" + folder + "\" is a folder, please input a file."}),
        prompts_.MessageTexts());
    EXPECT_EQ("Imoprt...", prompts_.messages.at(0).caption);
    EXPECT_EQ("\"" + UseToLower(program) + "\" \"%1\" -r", CommandOf("abc").text);
}

// Every dialog in turn, held on screen for tests/ui/screenshot.sh to photograph. Disabled: ctest never
// runs it.
TEST_F(MainDlgTest, DISABLED_Screenshots) {
    for (const char* release : {"MVX 16.5", "MVX 16.6", "QDR 15.0(File Server)"})
        AddRelease(release, release);
    Set(true, "NVLROOT", folder_.Path() + "\\MVX 16.5");
    Set(true, "PATH", "C:\\Tools;%NVLROOT%\\tools\\bin");
    Set(true, "NVL_LIC_FILE", "1717@licence.example");
    CAboutDlg about;
    UseModalDialog empty(IDD_USE_WORK_DIALOG);
    CUse_WorkDlg main;
    CUse_ManualConfigDlg manual;
    CUse_FileAssociationDlg setup(tables_);
    UseFileAssociationFileImportDlg import(tables_);
    // With the selection or the text that each one shows first.
    const std::pair<UseModalDialog*, std::function<void(DialogDriver&)>> shots[] = {
        {&about, [](DialogDriver&) {}},
        {&empty, [](DialogDriver&) {}},
        {&main, [](DialogDriver& dialog) { dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1); }},
        {&manual, [](DialogDriver& dialog) { dialog.SelectListItem(IDC_RELEASE_LIST, 0); }},
        {&setup, [](DialogDriver&) {}},
        {&import,
         [](DialogDriver& dialog) { dialog.Type(IDC_IMPORT_PATH, "C:\\Norvale\\site\\Associations.txt"); }},
    };
    for (const auto& [dialog, prepare] : shots)
        RunDialog(*dialog, [&](DialogDriver& driver) {
            prepare(driver);
            driver.HoldOnScreen();
        });
}
} // namespace
