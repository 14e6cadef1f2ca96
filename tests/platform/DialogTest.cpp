#include "platform/Dialog.h"

#include "app/UseException.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
const std::string kWide = "MVX 16.6(C:\\Program Files (x86)\\Norvale\\Design Suite\\16.6 Server)";

// A dialog on the main window's template that binds the release list and the summary.
struct ProbeDialog : UseModalDialog {
    ProbeDialog() : UseModalDialog(IDD_USE_WORK_DIALOG) {}
    std::string selected = "a(C:\\A)", summary = "Old";

    void DoDataExchange(bool saveAndValidate) override {
        ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selected);
        ExchangeText(saveAndValidate, IDC_SUMMARY, summary);
    }
    bool OnInit() override {
        for (const std::string& item : {std::string("z(C:\\Z)"), kWide, std::string("a(C:\\A)")})
            ListBox(IDC_RELEASE_LIST).AddString(item);
        ListBox(IDC_RELEASE_LIST).FitHorizontalExtent();
        return UseModalDialog::OnInit();
    }
    bool OnButtonClicked(int id) override {
        if (id == IDC_MANUAL) throw UseException("Store could not be loaded");
        if (id == IDC_FILE_ASSOCIATION) throw std::runtime_error("bad conversion");
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
            EXPECT_EQ(list.TextWidth(kWide), list.HorizontalExtent()); // the widest item's
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
} // namespace
