#include "ui/FolderBrowser.h"

#include "support/DialogDriver.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
TEST(FolderBrowserTest, StatusTextKeepsTheFirst35Characters) {
    const std::string exactly35 = "C:\\Suite\\Releases\\MVX 16.6\\tools\\bi";
    ASSERT_EQ(35u, exactly35.size());
    struct Case {
        std::string path;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"C:\\", "C:\\"},
        {exactly35, exactly35},
        {exactly35 + "n", exactly35 + "..."},
        {exactly35 + "n\\viewer.exe", exactly35 + "..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, UseFolderStatusText(c.path)) << c.path;
}

TEST(FolderBrowserTest, InstalledPromptsAnswerInsteadOfTheShell) {
    ScriptedPrompts prompts;
    prompts.folderAnswers = {std::string("C:\\Suite"), std::nullopt};
    const FolderBrowser browser(nullptr, "Select the location", FolderBrowser::Mode::FoldersAndFiles,
                                "C:\\Root");
    EXPECT_EQ(std::optional<std::string>("C:\\Suite"), browser.Browse());
    EXPECT_EQ(std::nullopt, browser.Browse());
    EXPECT_EQ(std::nullopt, browser.Browse());
    ASSERT_EQ(3u, prompts.folderRequests.size());
    EXPECT_EQ("Select the location", prompts.folderRequests[0].title);
    EXPECT_EQ(FolderBrowser::Mode::FoldersAndFiles, prompts.folderRequests[0].mode);
    EXPECT_EQ("C:\\Root", prompts.folderRequests[0].initialFolder);
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The shell's own picker: it opens on the initial folder, shows it cut short in its status line and
// hands it back on OK; Cancel gives nothing.
TEST(FolderBrowserTest, ShellPickerOpensOnTheInitialFolder) {
    ScopedTempFolder temp;
    const std::string folder = temp.AddFolder("a folder with a rather long name");
    ASSERT_GT(folder.size(), 35u);
    const FolderBrowser browser(nullptr, "Select the location for NVLROOT for the release",
                                FolderBrowser::Mode::FoldersOnly, folder);
    // Wine's picker now and then ignores the selection asked for in the first picker of a process, so
    // the picker gets three chances; one that never opens on the initial folder still fails.
    bool onInitialFolder = false;
    std::optional<std::string> chosen;
    for (int attempt = 0; attempt < 3 && !onInitialFolder; ++attempt) {
        WhenNextDialogOpens([&](DialogDriver& picker) {
            picker.Pump(100);
            const std::vector<std::string> texts = picker.StaticTexts();
            EXPECT_TRUE(Contains(texts, browser.Title()));
            onInitialFolder = Contains(texts, UseFolderStatusText(folder));
            picker.Click(onInitialFolder ? IDOK : IDCANCEL);
        });
        chosen = browser.Browse();
    }
    EXPECT_TRUE(onInitialFolder);
    EXPECT_EQ(std::optional<std::string>(folder), chosen);

    WhenNextDialogOpens([](DialogDriver& picker) { picker.Click(IDCANCEL); });
    EXPECT_EQ(std::nullopt, browser.Browse());
}
} // namespace
