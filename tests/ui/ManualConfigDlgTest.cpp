#include "ui/ManualConfigDlg.h"

#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

namespace {
using Items = std::vector<std::string>;

std::string ReleaseKey(const std::string& name) {
    return std::string(kManualConfigurationKey) + "\\" + name;
}

// The dialog over a detected set of its own and a store loaded from the case's sandbox.
class ManualConfigDlgTest : public SandboxedTest {
protected:
    ManualConfigDlgTest() { detected_.Set("MVX 16.6", "C:\\Norvale\\MVX 16.6"); }

    static void AddByHand(const std::string& name, const std::string& location) {
        SetString(false, ReleaseKey(name), "Location", location);
    }
    // A new store and dialog over what the registry now holds.
    void Reload() {
        store_ = std::make_unique<UseManualReleaseStore>();
        dialog_ = std::make_unique<CUse_ManualConfigDlg>(detected_, *store_);
    }
    INT_PTR Run(std::function<void(DialogDriver&)> script) { return RunDialog(*dialog_, std::move(script)); }
    static void Fill(DialogDriver& dialog, const std::string& name, const std::string& location) {
        dialog.Type(IDC_RELEASE_NAME, name);
        dialog.Type(IDC_RELEASE_LOCATION, location);
    }

    ScriptedPrompts prompts_;
    UseReleaseSet detected_;
    std::unique_ptr<UseManualReleaseStore> store_ = std::make_unique<UseManualReleaseStore>();
    std::unique_ptr<CUse_ManualConfigDlg> dialog_ =
        std::make_unique<CUse_ManualConfigDlg>(detected_, *store_);
};

TEST_F(ManualConfigDlgTest, AddRefusesEmptyFieldsDetectedNamesAndBackslashes) {
    struct Case {
        std::string name, location, message;
    } cases[] = {
        {"", "C:\\R", "Empty Release or Location"},
        {"Mine", "", "Empty Release or Location"},
        // A detected release in other letter case; the message shows the name as typed.
        {"mvx 16.6", "C:\\R", "Duplicate release(mvx 16.6) name "},
        {"MVX\\16.7", "C:\\R", "A release name cannot contain a backslash (\\). Please choose another name."},
    };
    for (const Case& c : cases) {
        prompts_.messages.clear();
        Run([&](DialogDriver& dialog) {
            Fill(dialog, c.name, c.location);
            dialog.Click(IDC_ADD_UPDATE);
            EXPECT_EQ(c.name, dialog.Text(IDC_RELEASE_NAME)); // nothing typed is lost
            EXPECT_EQ(c.location, dialog.Text(IDC_RELEASE_LOCATION));
            dialog.PressEscape();
        });
        ASSERT_EQ(1u, prompts_.messages.size()) << c.name;
        EXPECT_EQ(c.message, prompts_.messages[0].text);
        EXPECT_EQ("Morvane", prompts_.messages[0].caption);
        EXPECT_TRUE(store_->Releases().Empty()) << c.name;
    }
    EXPECT_FALSE(KeyExists(false, ReleaseKey("MVX")));
}

TEST_F(ManualConfigDlgTest, AddSelectsTheLastSortedItemAndClearsTheFields) {
    AddByHand("Zeta", "C:\\Zeta");
    Reload();
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ((Items{"Zeta(C:\\Zeta)"}), dialog.ListItems(IDC_RELEASE_LIST));
        // Only an empty field is refused: a name of blanks is a name.
        Fill(dialog, "   ", "C:\\Blank");
        dialog.Click(IDC_ADD_UPDATE);
        Fill(dialog, "Alpha", "C:\\Alpha\\with a long folder name that runs past the right edge of the list");
        dialog.Click(IDC_ADD_UPDATE);
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_LOCATION));
        const Items items = dialog.ListItems(IDC_RELEASE_LIST);
        ASSERT_EQ(3u, items.size());
        EXPECT_EQ("Zeta(C:\\Zeta)", dialog.ListSelectedText(IDC_RELEASE_LIST));
        EXPECT_GT(dialog.ListHorizontalExtent(IDC_RELEASE_LIST), 0);
        RECT client{};
        GetClientRect(dialog.Item(IDC_RELEASE_LIST), &client);
        EXPECT_GT(dialog.ListHorizontalExtent(IDC_RELEASE_LIST), client.right);

        // Updating a hand-configured release replaces its root.
        Fill(dialog, "Zeta", "D:\\Zeta");
        dialog.Click(IDC_ADD_UPDATE);
        EXPECT_EQ("Zeta(D:\\Zeta)", dialog.ListSelectedText(IDC_RELEASE_LIST));
        dialog.PressEscape();
    });
    EXPECT_EQ(Items{}, prompts_.MessageTexts());
    EXPECT_EQ("C:\\Blank", GetStored(false, ReleaseKey("   "), "Location").text);
    EXPECT_EQ("D:\\Zeta", GetStored(false, ReleaseKey("Zeta"), "Location").text);
    EXPECT_TRUE(KeyExists(false, ReleaseKey("Alpha")));
}

TEST_F(ManualConfigDlgTest, SelectionFillsTheFieldsAndDeleteRemovesTheRelease) {
    AddByHand("Old (x86)", "C:\\Program Files (x86)\\Old");
    AddByHand("New", "C:\\New");
    Reload();
    Run([&](DialogDriver& dialog) {
        dialog.SelectListItem(IDC_RELEASE_LIST, "Old (x86)(C:\\Program Files (x86)\\Old)");
        EXPECT_EQ("Old (x86)", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ("C:\\Program Files (x86)\\Old", dialog.Text(IDC_RELEASE_LOCATION));
        dialog.Click(IDC_DELETE);
        EXPECT_EQ((Items{"New(C:\\New)"}), dialog.ListItems(IDC_RELEASE_LIST));
        EXPECT_EQ(0, dialog.ListSelection(IDC_RELEASE_LIST));
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_NAME));

        // Without a selection Delete only says so; the fields keep their text.
        dialog.Type(IDC_RELEASE_NAME, "New");
        dialog.SelectListItem(IDC_RELEASE_LIST, -1);
        dialog.Click(IDC_DELETE);
        EXPECT_EQ("New", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ(1u, dialog.ListItems(IDC_RELEASE_LIST).size());
        dialog.PressEscape();
    });
    EXPECT_EQ((Items{"To delete a release, select a release name from the list"}), prompts_.MessageTexts());
    EXPECT_FALSE(KeyExists(false, ReleaseKey("Old (x86)")));
    EXPECT_TRUE(KeyExists(false, ReleaseKey("New")));
}

TEST_F(ManualConfigDlgTest, BrowsePutsTheFolderInTheLocationAndCancelStoresNothing) {
    prompts_.folderAnswers = {std::string("C:\\Picked"), std::nullopt};
    const INT_PTR result = Run([&](DialogDriver& dialog) {
        dialog.Type(IDC_RELEASE_NAME, "Picked");
        dialog.Click(IDC_BROWSE);
        EXPECT_EQ("C:\\Picked", dialog.Text(IDC_RELEASE_LOCATION));
        dialog.Click(IDC_BROWSE); // cancelled: the location stays
        EXPECT_EQ("C:\\Picked", dialog.Text(IDC_RELEASE_LOCATION));
        ASSERT_EQ(2u, prompts_.folderRequests.size());
        EXPECT_EQ(dialog.Handle(), prompts_.folderRequests[0].owner);
        dialog.Click(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("Select the location for NVLROOT for the release", prompts_.folderRequests[0].title);
    EXPECT_EQ(FolderBrowser::Mode::FoldersOnly, prompts_.folderRequests[0].mode);
    EXPECT_EQ("", prompts_.folderRequests[0].initialFolder);
    EXPECT_TRUE(store_->Releases().Empty());
    EXPECT_FALSE(KeyExists(false, kManualConfigurationKey));
}

// The fields come back at the next opening with the text the dialog last read from them.
TEST_F(ManualConfigDlgTest, ReopeningShowsTheFieldsAsLastRead) {
    Run([&](DialogDriver& dialog) {
        Fill(dialog, "Half typed", "");
        dialog.Click(IDC_ADD_UPDATE); // refused, but read
        dialog.Type(IDC_RELEASE_LOCATION, "C:\\Never read");
        dialog.PressEscape();
    });
    Run([&](DialogDriver& dialog) {
        EXPECT_EQ("Half typed", dialog.Text(IDC_RELEASE_NAME));
        EXPECT_EQ("", dialog.Text(IDC_RELEASE_LOCATION));
        dialog.PressEscape();
    });
}
} // namespace
