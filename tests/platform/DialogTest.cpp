#include "platform/Dialog.h"

#include "platform/FolderBrowser.h"
#include "platform/UseException.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
const std::string kWide = "MVX 16.6(C:\\Program Files (x86)\\Norvale\\Design Suite\\16.6 Server)";

// A dialog on the main window's template that binds the release list and the summary.
struct ProbeDialog : UseModalDialog {
    ProbeDialog() : UseModalDialog(IDD_USE_WORK_DIALOG) {
        for (const int button : {IDC_MANUAL, IDC_FILE_ASSOCIATION, ID_HELP})
            Bind(button, BN_CLICKED, &ProbeDialog::Fail);
    }
    std::string selected = "a(C:\\A)", summary = "Old";

    void DoDataExchange(bool saveAndValidate) override {
        ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selected);
        ExchangeText(saveAndValidate, IDC_SUMMARY, summary);
    }
    bool OnInit() override {
        ListBox(IDC_RELEASE_LIST).Fill({"z(C:\\Z)", kWide, "a(C:\\A)"});
        return UseModalDialog::OnInit();
    }
    // Each click fails in its own way: the program's failure, a standard one, anything else.
    int clicks = 0;
    void Fail() {
        if (++clicks == 1) throw UseException("Store could not be loaded");
        if (clicks == 2) throw std::runtime_error("bad conversion");
        throw 42;
    }
};

// Handlers that throw are reported under the message caption, owned by the dialog, which stays usable.
TEST(DialogTest, FieldsFillTheSortedControlsAndOnlyOKReadsThemBackAfterFailedHandlers) {
    UseLoadRichEdit();
    for (const bool confirm : {true, false}) {
        ScriptedPrompts prompts;
        ProbeDialog probe;
        RunDialog(probe, [&](DialogDriver& driver) {
            const UseListBox list(driver.Item(IDC_RELEASE_LIST));
            EXPECT_EQ("a(C:\\A)|Old", list.SelectedText() + "|" + driver.Text(IDC_SUMMARY));
            RECT client = {};
            GetClientRect(list.Handle(), &client);
            EXPECT_GT(list.HorizontalExtent(), client.right); // the widest item scrolls into view
            for (const int button : {IDC_MANUAL, IDC_FILE_ASSOCIATION, ID_HELP})
                driver.Click(button);
            EXPECT_EQ((std::vector<std::string>{"Store could not be loaded", "bad conversion",
                                                "An unexpected error occurred."}),
                      prompts.texts);
            EXPECT_EQ(std::vector<std::string>(3, "Morvane"), prompts.captions);
            EXPECT_EQ(std::vector<HWND>(3, driver.Handle()), prompts.owners);
            driver.SelectListItem(IDC_RELEASE_LIST, 2);
            driver.Type(IDC_SUMMARY, "typed\r\n");
            confirm ? driver.Click(IDOK) : driver.PressEscape();
        });
        EXPECT_EQ(confirm ? "z(C:\\Z)|typed\r\n" : "a(C:\\A)|Old", probe.selected + "|" + probe.summary);
    }
}

TEST(DialogTest, TheFolderPickersStatusLineCutsLongPaths) {
    const std::string path = "C:\\Program Files\\Norvale\\MVX 16.6\\b"; // 35 characters
    EXPECT_EQ(path, UseFolderStatusText(path));
    EXPECT_EQ(path + "...", UseFolderStatusText(path + "i"));
}
} // namespace
