#include "ui/MainDlg.h"

#include "catalogue/ManualReleases.h"
#include "environment/Environment.h"
#include "environment/SwitchLogTesting.h"
#include "platform/Text.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

#include <deque>

namespace {
constexpr const char* kUacMessage = "Cannot change NVLROOT environment value. Please turn off UAC(User "
                                    "Account Control) on Vista or Window 7.";
constexpr const char* kSplitFailure =
    "Unable to retrieve                     Release or Installation Location of the selected release";

// The real main dialog; only Help's launch of a viewer is recorded instead of made, and the program's
// own folder is the test's.
class RecordingWorkDlg : public CUse_WorkDlg {
public:
    std::vector<std::string> launches; // verb|file|parameters|folder|show
    std::deque<INT_PTR> launchResults; // a success once they run out
    std::string programFolder;

protected:
    INT_PTR ShellOpen(const char* verb, const std::string& file, const char* parameters,
                      const std::string& folder, int show) override {
        launches.push_back(std::string(verb) + "|" + file + "|" + (parameters ? parameters : "") + "|" +
                           folder + "|" + std::to_string(show));
        const INT_PTR result = launchResults.empty() ? 42 : launchResults.front();
        if (!launchResults.empty()) launchResults.pop_front();
        return result;
    }
    std::string ProgramFolder() const override { return programFolder; }
};

std::string SwitchBlock(const std::string& root, const std::string& paths) {
    return std::string(53, '-') + "\r\n\r\nNVLROOT = " + root + "\r\n\r\nPATH = " + paths + "\r\n\r\n";
}

class MainDlgTest : public SandboxedTest {
protected:
    MainDlgTest() {
        UseLoadRichEdit();
        CreateEnvironmentKeys();
        UseRedirectSwitchLogForTests(logs_.Path());
        dialog_.programFolder = logs_.Path();
    }
    ~MainDlgTest() override { UseRedirectSwitchLogForTests(""); }

    static void AddRelease(const std::string& name, const std::string& root) {
        SetString(false, std::string(kManualConfigurationKey) + "\\" + name, "Location", root);
    }
    // MVX 16.5 as its installer leaves it, for detection to find.
    static void InstallMvx165(const std::string& root) {
        const std::string key =
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5943C437-42C7-4637-A4C1-52348509CD93}";
        SetString(true, key, "DisplayName", "Norvale MVX 16.5");
        SetString(true, key, "InstallLocation", root);
    }
    static const char* Environment(bool machineWide) {
        return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
    }
    // Sets the variable, or deletes it when value is empty.
    static void Set(bool machineWide, const char* name, const std::string& value) {
        RegDeleteKeyValueA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, Environment(machineWide),
                           name);
        if (!value.empty()) SetString(machineWide, Environment(machineWide), name, value, REG_EXPAND_SZ);
    }
    static std::string Stored(bool machineWide, const char* name) {
        return GetStored(machineWide, Environment(machineWide), name).text;
    }
    // "nsd" recorded for the user, so that a switch registers it again with the new release's tool.
    static void RecordSchematicType() {
        SetString(false, std::string(kFileAssociationsKey) + "\\nsd", "Application", "x", REG_EXPAND_SZ);
    }
    static std::string SchematicCommand() {
        return GetStored(false, "SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl\\shell\\open\\command", "").text;
    }
    static std::string SchematicCommandOf(const std::string& root) {
        return "\"" + UseToLower(root + "\\tools\\bin\\draftsch.exe") + "\" \"%1\" ";
    }
    // A release folder with its schematic tool in the shared tools folder.
    std::string MakeRelease(const std::string& name) const {
        releases_.AddFile(name + "\\tools\\bin\\draftsch.exe");
        return releases_.Path() + "\\" + name;
    }

    ScopedTempFolder logs_;
    ScopedTempFolder releases_;
    ScriptedPrompts prompts_;
    RecordingWorkDlg dialog_;
};

TEST_F(MainDlgTest, OpensWithEveryReleaseTheCurrentOneTheEnvironmentAndAnAboutBox) {
    InstallMvx165("C:\\Suite\\16.5\\");
    AddRelease("MVX 16.6", "C:\\Norvale\\Releases\\a folder with a rather long name for MVX 16.6");
    AddRelease("Alpha", "C:\\A");
    Set(true, "NVLROOT", "C:\\Suite\\16.5");
    Set(false, "NVLROOT", "C:\\Ignored");
    Set(false, "NVL_LIC_FILE", "1717@licence ");
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        const std::vector<std::string> items = dialog.ListItems(IDC_RELEASE_LIST);
        EXPECT_EQ(
            (std::vector<std::string>{"Alpha(C:\\A)", "MVX 16.5(C:\\Suite\\16.5)",
                                      "MVX 16.6(C:\\Norvale\\Releases\\a folder with a rather long name "
                                      "for MVX 16.6)"}),
            items);
        EXPECT_EQ(UseListBox(dialog.Item(IDC_RELEASE_LIST)).TextWidth(items[2]),
                  dialog.ListHorizontalExtent(IDC_RELEASE_LIST));
        EXPECT_EQ("Morvane - MVX 16.5", dialog.Caption());
        EXPECT_EQ(1, dialog.ListSelection(IDC_RELEASE_LIST));
        EXPECT_EQ("Original Setting: \r\n\r\n    NVLROOT       = C:\\Suite\\16.5\r\n    NVL_LIC_FILE = "
                  "1717@licence "
                  "\r\n",
                  dialog.Text(IDC_SUMMARY));
        EXPECT_NE(0, SendMessageA(dialog.Handle(), WM_GETICON, ICON_SMALL, 0));

        const std::vector<DialogDriver::MenuItem> menu = dialog.SystemMenuItems();
        ASSERT_GE(menu.size(), 2u);
        EXPECT_TRUE(menu[menu.size() - 2].separator);
        EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), menu.back().command);
        EXPECT_EQ("&About Morvane...", menu.back().text);
        std::string about;
        WhenNextDialogOpens([&](DialogDriver& box) {
            about = box.Caption();
            box.Click(IDOK);
        });
        dialog.SystemCommand(IDM_ABOUTBOX);
        EXPECT_EQ("About Morvane", about);
        dialog.PressEscape();
    });
    EXPECT_TRUE(prompts_.messages.empty());
}

// The caption names the first release whose entry holds the root in any letter case; the selection
// is the first list item holding it in its exact case. Both take a root that only starts a longer one.
TEST_F(MainDlgTest, CurrentReleaseInCaptionAndSelection) {
    AddRelease("Beta", "C:\\Suite\\MVX");
    AddRelease("Alpha", "C:\\Suite\\MVX 2");
    AddRelease("Gamma", "D:\\Other");
    struct Case {
        const char* systemRoot;
        const char* userRoot;
        const char* caption;
        const char* selected;
    } cases[] = {
        {"D:\\Other", "", "Morvane - Gamma", "Gamma(D:\\Other)"},
        {"", "D:\\Other\\", "Morvane - Gamma", "Gamma(D:\\Other)"},
        {"C:\\Suite\\MVX", "", "Morvane - Alpha", "Alpha(C:\\Suite\\MVX 2)"},
        {"d:\\OTHER", "", "Morvane - Gamma", ""},
        {"E:\\Elsewhere", "", "Morvane", ""},
        {"", "", "Morvane", ""},
    };
    for (const Case& c : cases) {
        Set(true, "NVLROOT", c.systemRoot);
        Set(false, "NVLROOT", c.userRoot);
        RecordingWorkDlg dialog;
        RunDialog(dialog, [&](DialogDriver& driver) {
            EXPECT_EQ(c.caption, driver.Caption()) << c.systemRoot << c.userRoot;
            EXPECT_EQ(c.selected, driver.ListSelectedText(IDC_RELEASE_LIST)) << c.systemRoot << c.userRoot;
            driver.PressEscape();
        });
    }
}

struct ScopeCase {
    const char* what;
    // Before: system and user NVLROOT, system and user PATH. After the switch, "T" stands for the
    // target's root.
    const char* before[4];
    const char* after[4];
};

class MainDlgScopeTest : public MainDlgTest, public ::testing::WithParamInterface<ScopeCase> {};

// Whatever the scope, the file types are registered again for the new release and the summary shows
// the environment after the switch.
TEST_P(MainDlgScopeTest, DoubleClickSwitchesInTheScopeTheEnvironmentCallsFor) {
    const ScopeCase& c = GetParam();
    const std::string target = MakeRelease("MVX 16.6");
    AddRelease("MVX 16.6", target);
    const char* names[] = {"NVLROOT", "NVLROOT", "PATH", "PATH"};
    for (int i = 0; i < 4; ++i)
        Set(i % 2 == 0, names[i], c.before[i]);
    RecordSchematicType();
    std::string after[4];
    for (int i = 0; i < 4; ++i)
        after[i] = std::string(c.after[i]) == "T" ? target : c.after[i];
    const std::string newRoot = after[0].empty() ? after[1] : after[0];
    // With no NVLROOT written, the tools are found through the root the program recorded last.
    if (newRoot.empty()) SetString(false, kFileAssociationsKey, "rootDirectory", target);

    RunDialog(dialog_, [&](DialogDriver& dialog) {
        const std::string before = dialog.Text(IDC_SUMMARY);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ(before + SwitchBlock(newRoot, after[2] + after[3]), dialog.Text(IDC_SUMMARY));
        EXPECT_EQ(newRoot.empty() ? "Morvane" : "Morvane - MVX 16.6", dialog.Caption());
        dialog.PressEscape();
    });
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(after[i], Stored(i % 2 == 0, names[i])) << names[i] << (i % 2 == 0 ? " system" : " user");
    EXPECT_EQ(SchematicCommandOf(target), SchematicCommand());
    EXPECT_TRUE(prompts_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, MainDlgScopeTest,
    ::testing::Values(ScopeCase{"SystemNvlroot",
                                {"C:\\Old", "C:\\Mine", "C:\\T;%SystemRoot%;%NVLROOT%\\b",
                                 "C:\\U;%NVLROOT%\\b"},
                                {"T", "C:\\Mine", "%SystemRoot%;%NVLROOT%\\b;C:\\T", "C:\\U;%NVLROOT%\\b"}},
                      ScopeCase{"UserNvlrootThoughTheSystemPathRefersToIt",
                                {"", "C:\\Mine", "C:\\T;%NVLROOT%\\b", "C:\\U;%NVLROOT%\\b"},
                                {"", "T", "C:\\T;%NVLROOT%\\b", "%NVLROOT%\\b;C:\\U"}},
                      ScopeCase{"UserPathBeforeSystemPath",
                                {"", "", "C:\\T;%NVLROOT%\\b", "C:\\U;%NVLROOT%\\b"},
                                {"", "T", "C:\\T;%NVLROOT%\\b", "%NVLROOT%\\b;C:\\U"}},
                      ScopeCase{"SystemPathAlone",
                                {"", "", "C:\\T;%NVLROOT%\\b", "C:\\U"},
                                {"T", "", "%NVLROOT%\\b;C:\\T", "C:\\U"}},
                      ScopeCase{"NoneWhenTheReferenceIsSpeltOtherwise",
                                {"", "", "C:\\T;%nvlroot%\\b", "C:\\U"},
                                {"", "", "C:\\T;%nvlroot%\\b", "C:\\U"}}),
    [](const ::testing::TestParamInfo<ScopeCase>& info) { return std::string(info.param.what); });

TEST_F(MainDlgTest, RefusedSystemWriteAsksToTurnOffUacAndStopsAfterShowingTheCurrentRelease) {
    AddRelease("MVX 16.5", "C:\\Suite\\16.5");
    AddRelease("MVX 16.6", MakeRelease("MVX 16.6"));
    Set(true, "NVLROOT", "C:\\Suite\\16.5");
    Set(true, "PATH", "C:\\Tools;%NVLROOT%\\bin");
    RecordSchematicType();
    DenyWrite(true, kSystemEnvironmentKey);
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        const std::string before = dialog.Text(IDC_SUMMARY);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        ASSERT_EQ(1u, prompts_.messages.size());
        EXPECT_EQ(kUacMessage, prompts_.messages[0].text);
        EXPECT_EQ("Morvane", prompts_.messages[0].caption);
        EXPECT_EQ(dialog.Handle(), prompts_.messages[0].owner);
        // The selection went back to the release that is still the current one.
        EXPECT_EQ("Morvane - MVX 16.5", dialog.Caption());
        EXPECT_EQ(0, dialog.ListSelection(IDC_RELEASE_LIST));
        EXPECT_EQ(before, dialog.Text(IDC_SUMMARY));
        dialog.PressEscape();
    });
    EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", Stored(true, "PATH"));
    EXPECT_EQ("", SchematicCommand());
}

TEST_F(MainDlgTest, EachDoubleClickSwitchesAndAppendsItsOwnSummary) {
    const std::string first = MakeRelease("MVX 16.5");
    const std::string second = MakeRelease("MVX 16.6");
    AddRelease("MVX 16.5", first);
    AddRelease("MVX 16.6", second);
    Set(false, "NVLROOT", first);
    Set(false, "PATH", "%NVLROOT%\\bin");
    RecordSchematicType();
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        const std::string before = dialog.Text(IDC_SUMMARY);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        EXPECT_EQ("Morvane - MVX 16.6", dialog.Caption());
        EXPECT_EQ(SchematicCommandOf(second), SchematicCommand());
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ("Morvane - MVX 16.5", dialog.Caption());
        EXPECT_EQ(before + SwitchBlock(second, "%NVLROOT%\\bin") + SwitchBlock(first, "%NVLROOT%\\bin"),
                  dialog.Text(IDC_SUMMARY));
        dialog.PressEscape();
    });
    EXPECT_EQ(first, Stored(false, "NVLROOT"));
    EXPECT_EQ(SchematicCommandOf(first), SchematicCommand());
}

TEST_F(MainDlgTest, OkSwitchesThenClosesAndNeedsASelection) {
    AddRelease("MVX 16.6", "C:\\Suite\\16.6");
    Set(true, "NVLROOT", "C:\\Old");
    for (const bool select : {false, true}) {
        RecordingWorkDlg dialog;
        EXPECT_EQ(IDCANCEL, RunDialog(dialog, [&](DialogDriver& driver) {
                      if (select) driver.SelectListItem(IDC_RELEASE_LIST, 0);
                      driver.Click(IDOK);
                  }));
        EXPECT_EQ(select ? "C:\\Suite\\16.6" : "C:\\Old", Stored(true, "NVLROOT"));
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

// A release configured by hand with an empty location has nothing to switch to.
TEST_F(MainDlgTest, EntryWithoutARootIsReportedAndChangesNothing) {
    AddRelease("Unfinished", "\\");
    Set(true, "NVLROOT", "C:\\Old");
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        ASSERT_EQ(std::vector<std::string>{"Unfinished()"}, dialog.ListItems(IDC_RELEASE_LIST));
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ(std::vector<std::string>{kSplitFailure}, prompts_.MessageTexts());
        dialog.Click(IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{kSplitFailure, kSplitFailure}), prompts_.MessageTexts());
    EXPECT_EQ("C:\\Old", Stored(true, "NVLROOT"));
}

TEST_F(MainDlgTest, UnreadableHandConfiguredListLeavesTheDetectedReleasesUsable) {
    InstallMvx165("C:\\Suite\\16.5");
    Set(true, "NVLROOT", "C:\\Suite\\16.5");
    AddRelease("By hand", "C:\\Hand");
    DenyRead(false, kManualConfigurationKey);
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        EXPECT_EQ(std::vector<std::string>{"Unable to retrieve registry entry for manual configuration"},
                  prompts_.MessageTexts());
        EXPECT_EQ(std::vector<std::string>{"MVX 16.5(C:\\Suite\\16.5)"}, dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ("Morvane - MVX 16.5", dialog.Caption());
        const std::string before = dialog.Text(IDC_SUMMARY);
        dialog.DoubleClickListItem(IDC_RELEASE_LIST, 0);
        EXPECT_EQ(before + SwitchBlock("C:\\Suite\\16.5", ""), dialog.Text(IDC_SUMMARY));
        dialog.PressEscape();
    });
    AllowAllAccess(false, kManualConfigurationKey);
    EXPECT_EQ(1u, prompts_.messages.size());
}

TEST_F(MainDlgTest, HelpOpensTheReleasesDocumentOrTheProgramsOrSaysItIsMissing) {
    const std::string documented = MakeRelease("documented");
    releases_.AddFile("documented\\tools\\bin\\kelmora.pdf");
    const ScopedTempFolder program;
    program.AddFile("kelmora.pdf");
    const std::string reader = "OPEN|AcroRd32.exe|kelmora.pdf|";
    const std::string anyViewer = "open|" + program.Path() + "\\kelmora.pdf||" + program.Path() + "|1";
    struct Case {
        std::string root;
        std::string programFolder;
        std::deque<INT_PTR> results;
        std::vector<std::string> launches;
        std::vector<std::string> messages;
    } cases[] = {
        {documented, program.Path(), {}, {reader + documented + "\\tools\\bin|4"}, {}},
        {MakeRelease("undocumented"), program.Path(), {2}, {reader + program.Path() + "|4", anyViewer}, {}},
        {"",
         program.Path(),
         {2, 31},
         {reader + program.Path() + "|4", anyViewer},
         {"No program to show the help file \"" + program.Path() + "\\kelmora.pdf\" is installed."}},
        {"", logs_.Path(), {}, {}, {"Cannot find help file  \"kelmora.pdf\". "}},
    };
    for (const Case& c : cases) {
        Set(true, "NVLROOT", c.root);
        prompts_.messages.clear();
        RecordingWorkDlg dialog;
        dialog.programFolder = c.programFolder;
        dialog.launchResults = c.results;
        RunDialog(dialog, [&](DialogDriver& driver) {
            driver.Click(ID_HELP);
            driver.PressEscape();
        });
        EXPECT_EQ(c.launches, dialog.launches) << c.root << " " << c.programFolder;
        EXPECT_EQ(c.messages, prompts_.MessageTexts()) << c.root << " " << c.programFolder;
    }
}
} // namespace
