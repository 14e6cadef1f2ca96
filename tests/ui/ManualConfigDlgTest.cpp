#include "ui/ManualConfigDlg.h"

#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

// The dialog over a detected set of its own and a store loaded from the case's sandbox.
class ManualConfigDlgTest : public SandboxedTest {
protected:
    ManualConfigDlgTest() { detected_.Set("MVX 16.6", "C:\\Norvale\\MVX 16.6"); }

    // Types a release and presses Add/Update; returns what the two fields hold afterwards.
    static Items Add(DialogDriver& dialog, const std::string& name, const std::string& location) {
        dialog.Type(IDC_RELEASE_NAME, name);
        dialog.Type(IDC_RELEASE_LOCATION, location);
        dialog.Click(IDC_ADD_UPDATE);
        return {dialog.Text(IDC_RELEASE_NAME), dialog.Text(IDC_RELEASE_LOCATION)};
    }

    ScriptedPrompts prompts_;
    UseReleaseSet detected_;
    UseManualReleaseStore store_;
    CUse_ManualConfigDlg dialog_{detected_, store_};
};

TEST_F(ManualConfigDlgTest, RefusedInputKeepsTheFieldsAndStoresNothing) {
    const Items cases[] = {
        {"", "C:\\R", "Empty Release or Location"},
        {"Mine", "", "Empty Release or Location"},
        // A detected release in other letter case; the message shows the name as typed.
        {"mvx 16.6", "C:\\R", "Duplicate release(mvx 16.6) name "},
        {"MVX\\16.7", "C:\\R", "A release name cannot contain a backslash (\\). Please choose another name."},
    };
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        for (const Items& c : cases)
            EXPECT_EQ((Items{c[0], c[1]}), Add(dialog, c[0], c[1]));
        dialog.PressEscape();
    });
    ASSERT_EQ(4u, prompts_.messages.size());
    for (std::size_t index = 0; index < 4; ++index) {
        EXPECT_EQ(cases[index][2], prompts_.messages[index].text);
        EXPECT_EQ("Morvane", prompts_.messages[index].caption);
    }
    EXPECT_FALSE(KeyExists(false, kManualConfigurationKey));
}

TEST_F(ManualConfigDlgTest, AddUpdateAndDeleteKeepTheSortedListAndTheRegistryInStep) {
    const std::string longRoot =
        "C:\\Alpha\\with a folder name long enough to run past the list's right edge";
    RunDialog(dialog_, [&](DialogDriver& dialog) {
        EXPECT_EQ((Items{"", ""}), Add(dialog, "Zeta", "C:\\Zeta"));
        EXPECT_EQ((Items{"", ""}), Add(dialog, "   ", "C:\\Blank")); // only an empty field is refused
        Add(dialog, "Alpha", longRoot);
        // Sorted, with the last item highlighted, which need not be the release just added.
        EXPECT_EQ((Items{"   (C:\\Blank)", "Alpha(" + longRoot + ")", "Zeta(C:\\Zeta)"}),
                  dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ(2, dialog.ListSelection(IDC_RELEASE_LIST));
        RECT client{};
        GetClientRect(dialog.Item(IDC_RELEASE_LIST), &client);
        EXPECT_GT(dialog.ListHorizontalExtent(IDC_RELEASE_LIST), client.right);

        Add(dialog, "Zeta", "D:\\Zeta"); // a hand-configured name is updated, not refused
        dialog.SelectListItem(IDC_RELEASE_LIST, "Alpha(" + longRoot + ")");
        EXPECT_EQ("Alpha", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ(longRoot, dialog.Text(IDC_RELEASE_LOCATION));
        dialog.Click(IDC_DELETE);

        // Without a selection Delete only says so; the fields keep their text.
        dialog.Type(IDC_RELEASE_NAME, "kept");
        dialog.SelectListItem(IDC_RELEASE_LIST, -1);
        dialog.Click(IDC_DELETE);
        EXPECT_EQ("kept", dialog.Text(IDC_RELEASE_NAME));
        dialog.PressEscape();
    });
    EXPECT_EQ((Items{"To delete a release, select a release name from the list"}), prompts_.MessageTexts());
    const std::map<std::string, std::string> stored = {{"   ", "C:\\Blank"}, {"Zeta", "D:\\Zeta"}};
    EXPECT_EQ(stored, UseManualReleaseStore().Releases().Entries());
}
} // namespace
