// The main dialog and the dialogs it opens, on the real registry of the sandbox.
#include "associations/AssociationFixture.h"
#include "catalogue/ManualReleases.h"
#include "environment/SwitchLogTesting.h"
#include "platform/FolderBrowser.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "ui/FileAssociationFileImportDlg.h"
#include "ui/MainDlg.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

class MainDlgTest : public AssociationTest {
protected:
    MainDlgTest() {
        UseLoadRichEdit();
        UseRedirectSwitchLogForTests(folder_.Path());
    }
    ~MainDlgTest() override { UseRedirectSwitchLogForTests(""); }

    // A hand-configured release whose folder holds the schematic tool, in the user's list and, unless
    // userOnly, the machine-wide one; "nsd" recorded for the user, so that a switch registers it again
    // with the new release's tool.
    std::string AddRelease(const std::string& name, const std::string& folder, bool userOnly = false) const {
        SetString(false, std::string(kStoreKey) + "\\nsd", "Application", "x", REG_EXPAND_SZ);
        for (bool machineWide : {false, !userOnly})
            SetString(machineWide, std::string(kManualConfigurationKey) + "\\" + name, "Location",
                      folder_.Path() + "\\" + folder);
        return MakeRelease(folder, {"tools\\bin\\draftsch.exe"});
    }
    // Sets the variable (system, user), or deletes it when value is empty.
    static void Set(bool machineWide, const char* name, const std::string& value) {
        RegDeleteKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name);
        if (!value.empty()) SetString(machineWide, EnvironmentKey(machineWide), name, value, REG_EXPAND_SZ);
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

// Whatever the scope, the file types are registered again for the new release and a double click adds
// the environment after the switch to the summary. The summary, longer than its pane, opens at its first
// line.
TEST_F(MainDlgTest, DoubleClickSwitchesInTheScopeTheEnvironmentCallsFor) {
    const std::string target = AddRelease("MVX 16.6", "MVX 16.6");
    std::string licence;
    for (int server = 10; server < 40; ++server)
        licence += "1717@licence" + std::to_string(server) + ".example.com;";
    Set(false, "NVL_LIC_FILE", licence);
    const char* cases[][8] = {
        // NVLROOT and PATH (system, user, system, user) before, then after with "T" for the target's root
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
            Set(i % 2 == 0, i < 2 ? "NVLROOT" : "PATH", c[i]);
            after[i] = std::string(c[4 + i]) == "T" ? target : c[4 + i];
        }
        const std::string root = after[0] == target || after[1] == target ? target : "";
        // With no NVLROOT written, the tools are found through the root the program recorded last.
        if (root.empty()) SetString(false, kStoreKey, "rootDirectory", target);
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl");
        const BroadcastListener listener; // one broadcast for each of PATH and NVLROOT written
        CUse_WorkDlg main;
        RunDialog(main, [&](DialogDriver& dialog) {
            const std::string before = dialog.Text(IDC_SUMMARY);
            EXPECT_EQ(0, SendMessageA(dialog.Item(IDC_SUMMARY), EM_GETFIRSTVISIBLELINE, 0, 0));
            dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
            const std::string block = std::string(53, '-') + "\r\n\r\nNVLROOT = " + root +
                                      "\r\n\r\nPATH = " + after[2] + after[3] + "\r\n\r\n";
            EXPECT_EQ(before + block, dialog.Text(IDC_SUMMARY)) << c[2];
            EXPECT_EQ(root.empty() ? "Morvane" : "Morvane - MVX 16.6", dialog.Caption()) << c[2];
            dialog.PressEscape();
        });
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(after[i],
                      GetStored(i % 2 == 0, EnvironmentKey(i % 2 == 0), i < 2 ? "NVLROOT" : "PATH").text)
                << c[2] << i;
        EXPECT_EQ(Quoted(target, "tools\\bin\\draftsch.exe") + " \"%1\" ", CommandOf("nsd").text) << c[2];
        EXPECT_EQ(root.empty() && after[1].empty() ? 0 : 2, listener.EnvironmentChanges()) << c[2];
    }
    EXPECT_EQ(Items{}, prompts_.texts);
}

struct NoHelpDlg : CUse_WorkDlg {
    std::string ProgramFolder() const override { return "C:\\"; }
};
// The caption names the first release whose entry holds the root in any letter case, though its root
// only starts with it; the selection needs its exact case. OK switches, then closes.
TEST_F(MainDlgTest, RefusedSystemWriteAsksToTurnOffUacThenHelpWithoutItsFileAndOk) {
    const std::string beta = AddRelease("Beta", "R"), alpha = AddRelease("Alpha", "R 2"),
                      gamma = AddRelease("Gamma", "G", true);
    Set(true, "NVLROOT", UseToUpper(beta));
    Set(false, "NVL_LIC_FILE", "1717@licence ");
    SetAccess(true, kSystemEnvironmentKey, kReadOnly);
    NoHelpDlg main;
    RunDialog(main, [&](DialogDriver& dialog) {
        const std::string before = "Original Setting: \r\n\r\n    NVLROOT       = " + UseToUpper(beta) +
                                   "\r\n    NVL_LIC_FILE = 1717@licence \r\n";
        EXPECT_EQ(before, dialog.Text(IDC_SUMMARY));
        EXPECT_EQ(-1, dialog.ListSelection(IDC_RELEASE_LIST));
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        EXPECT_EQ("Morvane - Alpha", dialog.Caption());
        EXPECT_EQ(before, dialog.Text(IDC_SUMMARY));
        EXPECT_EQ("", CommandOf("nsd").text);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 2); // in the user's own list alone
        dialog.Click(ID_HELP);
        SetAccess(true, kSystemEnvironmentKey, KEY_ALL_ACCESS);
        dialog.SelectListItem(IDC_RELEASE_LIST, 0);
        dialog.Click(IDOK);
    });
    EXPECT_EQ((Items{"Cannot change NVLROOT environment value. Please turn off UAC(User Account Control) on "
                     "Vista or Window 7.",
                     "The release \"Gamma\" at " + gamma +
                         " comes from your own settings, which any program you "
                         "run can change; a switch of the system environment takes a release only from what "
                         "administrators alone can write, so nothing was switched.",
                     "Cannot find help file  \"kelmora.pdf\". "}),
              prompts_.texts);
    EXPECT_EQ(alpha, GetStored(true, kSystemEnvironmentKey, "NVLROOT").text);
}

// Every refusal of the Manual Configuration dialog says why in its own words; what was added is kept,
// sorted, with the last item highlighted, which need not be the release just added.
TEST_F(MainDlgTest, ManualConfigAddsDeletesAndSaysWhyItRefuses) {
    UseReleaseSet detected;
    detected.Set("MVX 16.6", "C:\\MVX 16.6");
    UseManualReleaseStore store;
    CUse_ManualConfigDlg manual(detected, store);
    RunDialog(manual, [&](DialogDriver& dialog) {
        // clang-format off
        for (const auto& [name, location] : std::initializer_list<std::pair<std::string, std::string>>{
                 {"mvx 16.6", "C:\\x"}, {"Zeta", ""}, {"A\\B", "C:\\x"}, {"Zeta", "C:\\Zeta"}, {"   ", "C:\\b"},
                 {"Alpha", "C:\\a)"}})
            Enter(dialog, {{IDC_RELEASE_NAME, name}, {IDC_RELEASE_LOCATION, location}}, IDC_ADD_UPDATE);
        // clang-format on
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ((Items{"   (C:\\b)", "Alpha(C:\\a))", "Zeta(C:\\Zeta)"}),
                  dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ(2, dialog.ListSelection(IDC_RELEASE_LIST));
        dialog.SelectListItem(IDC_RELEASE_LIST, 1); // its root does not close its parenthesis
        dialog.SelectListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ("C:\\b", dialog.Text(IDC_RELEASE_LOCATION));
        dialog.Click(IDC_DELETE);
        dialog.SelectListItem(IDC_RELEASE_LIST, -1);
        dialog.Click(IDC_DELETE);
        SetAccess(false, kManualConfigurationKey + std::string("\\Beta"), kReadOnly);
        Enter(dialog, {{IDC_RELEASE_NAME, "Beta"}, {IDC_RELEASE_LOCATION, "C:\\Beta"}}, IDC_ADD_UPDATE);
        SetAccess(false, kManualConfigurationKey, kNoAccess);
        dialog.SelectListItem(IDC_RELEASE_LIST, 1);
        dialog.Click(IDC_DELETE);
        SetAccess(false, kManualConfigurationKey, KEY_ALL_ACCESS);
        dialog.PressEscape();
    });
    EXPECT_EQ((Items{"Duplicate release(mvx 16.6) name ", "Empty Release or Location",
                     "A release name cannot contain a backslash (\\). Please choose another name.",
                     "Unable to parse the selected release from the listBox",
                     "To delete a release, select a release name from the list",
                     "Unable to add the release to the registry ",
                     "Unable to delete the release from the listBox"}),
              prompts_.texts);
    const std::map<std::string, std::string> stored = {{"Alpha", "C:\\a)"}, {"Zeta", "C:\\Zeta"}};
    EXPECT_EQ(stored, UseManualReleaseStore().Releases().Entries());
}

// A user without records gets the suite's defaults. Typed with capitals or through %NVLROOT%, the program
// is not in the listed line, which is resolved and in lower case: the first line is highlighted after the
// add, as after a refused one. The next opening registers the records again for the release then active.
TEST_F(MainDlgTest, FileAssociationsAddNormalisesTheExtensionAndFollowsTheActiveRelease) {
    const std::string old = MakeRelease(
        "Old", {"tools\\bin\\draftsch.exe", "tools\\probe\\waveview.exe", "tools\\bin\\Viewer.EXE"});
    const std::string now = MakeRelease(
        "Now", {"tools\\draft\\bin\\draftsch.exe", "tools\\bin\\draftsch.exe", "tools\\bin\\waveview.exe"});
    const std::string schematic = Quoted(old, "tools\\bin\\draftsch.exe") + "  ";
    const std::string program = old + "\\tools\\bin\\Viewer.EXE";
    const std::string cases[][2] = {{UseToLower(program), "xyz"},
                                    {program, "nsd"},
                                    {"%NVLROOT%\\tools\\bin\\viewer.exe", "nsd"},
                                    {old + "\\missing.exe", "nsd"}};
    CUse_FileAssociationDlg setup(tables_);
    SetSystemRoot(old);
    RunDialog(setup, [&](DialogDriver& dialog) {
        EXPECT_EQ(
            (Items{"nsd    " + schematic, "nsj    " + schematic, "nsk    " + schematic, "nsl    " + schematic,
                   "out    " + Quoted(old, "tools\\probe\\waveview.exe") + "  /dde"}),
            dialog.ListItems(IDC_ASSOCIATION_LIST));
        for (const auto& c : cases) {
            Enter(dialog, {{IDC_FILE_EXTENSION, ".XYZ"}, {IDC_DEFAULT_PROGRAM, c[0]}}, IDC_ADD_UPDATE);
            EXPECT_EQ(c[1] + " ", dialog.ListSelectedText(IDC_ASSOCIATION_LIST).substr(0, 4)) << c[0];
        }
        dialog.PressEscape();
    });
    EXPECT_EQ(Quoted(old, "tools\\bin\\Viewer.EXE") + " \"%1\" ", CommandOf("xyz").text);
    EXPECT_EQ(Items{"Unable to add this file association, please check to see if the program exists."},
              prompts_.texts);
    SetSystemRoot(now);
    // Its Import... takes only an existing file, and says so in messages of its own caption.
    const std::string folder = folder_.AddFolder("a folder"),
                      file = folder_.AddFile("a.txt", "imp \"%NVLROOT%\\tools\\bin\\waveview.exe\" -i");
    RunDialog(setup, [&](DialogDriver& dialog) {
        WhenNextDialogOpens([&](DialogDriver& import) {
            for (const std::string& path : {std::string(), folder_.Path() + "\\missing.txt", folder, file})
                Enter(import, {{IDC_IMPORT_PATH, path}}, IDC_IMPORT);
        });
        dialog.Click(IDC_IMPORT);
        dialog.PressEscape();
    });
    EXPECT_EQ(Quoted(now, "tools\\draft\\bin\\draftsch.exe") + " \"%1\" ", CommandOf("nsj").text);
    EXPECT_EQ(Quoted(now, "tools\\bin\\waveview.exe") + " \"%1\" /dde", CommandOf("out").text);
    EXPECT_EQ(Quoted(now, "tools\\bin\\waveview.exe") + " \"%1\" -i", CommandOf("imp").text);
    EXPECT_EQ(
        (Items{"Please input a file association file.", "This input file doesn't exist, please try again.",
               "\"" + folder + "\" is a folder, please input a file."}),
        Items(prompts_.texts.begin() + 1, prompts_.texts.end()));
    EXPECT_EQ("Imoprt...", prompts_.captions.back());
}

} // namespace
