// The main dialog with the dialogs it opens, end to end, checked from outside with reg.exe: what the
// user changes is in the registry while the dialogs are still open.
#include "catalogue/ManualReleases.h"
#include "environment/Environment.h"
#include "environment/SwitchLogTesting.h"
#include "platform/Text.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "ui/MainDlg.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

class DialogFlowTest : public SandboxedTest {
protected:
    DialogFlowTest() {
        UseLoadRichEdit();
        CreateEnvironmentKeys();
        UseRedirectSwitchLogForTests(folder_.Path());
    }
    ~DialogFlowTest() override { UseRedirectSwitchLogForTests(""); }

    // What reg.exe, another process, shows of a value ("" for the default one); empty when it shows
    // none.
    std::string RegQuery(bool machineWide, const std::string& key, const std::string& value) const {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        const std::string arguments = "query \"" + registry_.RealKeyPath(machineWide) + "\\" + key + "\" " +
                                      (value.empty() ? "/ve" : "/v \"" + value + "\"");
        const std::string shown = RunProgram(std::string(system) + "\\reg.exe", arguments).output;
        const std::size_t type = shown.find("    REG_");
        if (type == std::string::npos) return {};
        const std::size_t data = shown.find("    ", type + 4) + 4;
        return shown.substr(data, shown.find("\r\n", data) - data);
    }
    std::string ShellCommand(const std::string& extension) const {
        return RegQuery(false, "SOFTWARE\\Classes\\" + extension + "_auto_file_mvxnrvl\\shell\\open\\command",
                        "");
    }
    // A release folder holding an empty file at each relative tool path.
    std::string Release(const std::string& name, const Items& tools) const {
        for (const std::string& tool : tools)
            folder_.AddFile(name + "\\" + tool);
        return folder_.AddFolder(name);
    }

    ScopedTempFolder folder_;
    ScriptedPrompts prompts_;
};

TEST_F(DialogFlowTest, AddReleaseSwitchToItAndEditItsFileAssociations) {
    // MVX 16.5 installed and active; a release the user configures by hand.
    const std::string installed = Release("MVX 16.5", {"tools\\bin\\draftsch.exe"});
    const std::string uninstall =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5943C437-42C7-4637-A4C1-52348509CD93}";
    SetString(true, uninstall, "DisplayName", "Norvale MVX 16.5");
    SetString(true, uninstall, "InstallLocation", installed);
    SetString(true, kSystemEnvironmentKey, "NVLROOT", installed);
    SetString(true, kSystemEnvironmentKey, "PATH", "C:\\windows;%NVLROOT%\\tools\\bin", REG_EXPAND_SZ);
    const std::string hand =
        Release("Hand", {"tools\\bin\\draftsch.exe", "tools\\bin\\waveview.exe", "viewer.exe"});
    const std::string viewer = hand + "\\viewer.exe", listedViewer = "\"" + UseToLower(viewer) + "\"";
    const std::string assoc = folder_.AddFile("assoc.txt", "imp \"%NVLROOT%\\viewer.exe\" -i\n");
    prompts_.folderAnswers = {hand, viewer, assoc};
    const std::string handEntry = "MVX Hand(" + hand + ")";
    const std::string schematic = "\"" + UseToLower(hand + "\\tools\\bin\\draftsch.exe") + "\"";

    CUse_WorkDlg main;
    RunDialog(main, [&](DialogDriver& dialog) {
        EXPECT_EQ("Morvane - MVX 16.5", dialog.Caption());
        WhenNextDialogOpens([&](DialogDriver& manual) {
            manual.Type(IDC_RELEASE_NAME, "MVX Hand");
            manual.Click(IDC_BROWSE);
            manual.Click(IDC_ADD_UPDATE);
            EXPECT_EQ(hand, RegQuery(false, std::string(kManualConfigurationKey) + "\\MVX Hand", "Location"));
            manual.Click(IDCANCEL);
        });
        dialog.Click(IDC_MANUAL);
        EXPECT_EQ((Items{"MVX 16.5(" + installed + ")", handEntry}), dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ(-1, dialog.ListSelection(IDC_RELEASE_LIST));

        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        EXPECT_EQ("Morvane - MVX Hand", dialog.Caption());
        EXPECT_EQ(hand, RegQuery(true, kSystemEnvironmentKey, "NVLROOT"));

        WhenNextDialogOpens([&](DialogDriver& setup) {
            // The suite's defaults, registered for the release now active.
            EXPECT_EQ((Items{"nsd    " + schematic + "  ", "nsj    " + schematic + "  ",
                             "nsk    " + schematic + "  ", "nsl    " + schematic + "  ",
                             "out    \"" + UseToLower(hand + "\\tools\\bin\\waveview.exe") + "\"  /dde"}),
                      setup.ListItems(IDC_ASSOCIATION_LIST));
            setup.Type(IDC_FILE_EXTENSION, ".XYZ");
            setup.Click(IDC_BROWSE);
            setup.Click(IDC_ADD_UPDATE);
            EXPECT_EQ(listedViewer + " \"%1\" ", ShellCommand("xyz"));

            setup.SelectListItem(IDC_ASSOCIATION_LIST, "nsk    " + schematic + "  ");
            EXPECT_EQ("nsk", setup.Text(IDC_FILE_EXTENSION));
            EXPECT_EQ("nsk_auto_file_mvxnrvl", RegQuery(false, "SOFTWARE\\Classes\\.nsk", ""));
            setup.Click(IDC_DELETE);
            EXPECT_EQ("", RegQuery(false, "SOFTWARE\\Classes\\.nsk", ""));

            WhenNextDialogOpens([&](DialogDriver& import) {
                import.Click(IDC_BROWSE);
                import.Click(IDC_IMPORT);
            });
            setup.Click(IDC_IMPORT);
            EXPECT_EQ(listedViewer + " \"%1\" -i", ShellCommand("imp"));
            EXPECT_EQ(6u, setup.ListItems(IDC_ASSOCIATION_LIST).size()); // nsk went, xyz and imp came
            setup.Click(IDOK);
        });
        dialog.Click(IDC_FILE_ASSOCIATION);
        dialog.PressEscape();
    });
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
    EXPECT_EQ(hand, RegQuery(false, kFileAssociationsKey, "rootDirectory"));
    ASSERT_EQ(3u, prompts_.folderRequests.size());
    EXPECT_EQ(hand, prompts_.folderRequests[1].initialFolder);
}

// The button records the active root whatever is selected, the selection's root only when no NVLROOT
// is set, and without either opens nothing.
TEST_F(DialogFlowTest, FileAssociationButtonRecordsTheActiveRootElseTheSelectedOne) {
    ASSERT_TRUE(UseManualReleases().Add("Selected", "C:\\Selected"));
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Active", "C:\\Active"}, {"", "C:\\Selected"}, {"", ""}};
    for (const auto& [active, recorded] : cases) {
        SetString(true, kSystemEnvironmentKey, "NVLROOT", active);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kFileAssociationsKey, "rootDirectory");
        prompts_.messages.clear();
        CUse_WorkDlg main;
        RunDialog(main, [&](DialogDriver& dialog) {
            if (recorded.empty())
                dialog.SelectListItem(IDC_RELEASE_LIST, -1);
            else
                dialog.SelectListItem(IDC_RELEASE_LIST, "Selected(C:\\Selected)");
            if (!recorded.empty()) WhenNextDialogOpens([](DialogDriver& setup) { setup.PressEscape(); });
            dialog.Click(IDC_FILE_ASSOCIATION);
            dialog.PressEscape();
        });
        EXPECT_EQ(recorded, GetStored(false, kFileAssociationsKey, "rootDirectory").text);
        const Items message = {"Please select a release and then configure the file associations!"};
        EXPECT_EQ(recorded.empty() ? message : Items{}, prompts_.MessageTexts());
    }
}
} // namespace
