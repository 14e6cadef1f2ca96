#include "platform/Dialog.h"

#include "app/UseException.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
// A dialog on the main window's template that binds the release list and the summary.
class ProbeDialog : public UseModalDialog {
public:
    ProbeDialog() : UseModalDialog(IDD_USE_WORK_DIALOG) {}
    std::vector<std::string> items;
    std::string selected = "alpha(C:\\A)", summary = "Original";

protected:
    void DoDataExchange(bool saveAndValidate) override {
        ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selected);
        ExchangeText(saveAndValidate, IDC_SUMMARY, summary);
    }
    bool OnInit() override {
        for (const std::string& item : items)
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
    const std::string wide = "MVX 16.6(C:\\Program Files (x86)\\Norvale\\Design Suite\\16.6 Server)";
    for (const bool confirm : {true, false}) {
        ScriptedPrompts prompts;
        ProbeDialog probe;
        probe.items = {"zeta(C:\\Z)", wide, "alpha(C:\\A)"};
        HWND window = nullptr;
        const INT_PTR result = RunDialog(probe, [&](DialogDriver& driver) {
            window = driver.Handle();
            EXPECT_EQ((std::vector<std::string>{"alpha(C:\\A)", wide, "zeta(C:\\Z)"}),
                      driver.ListItems(IDC_RELEASE_LIST));
            EXPECT_EQ("alpha(C:\\A)", driver.ListSelectedText(IDC_RELEASE_LIST));
            EXPECT_EQ("Original", driver.Text(IDC_SUMMARY));
            EXPECT_EQ(UseListBox(driver.Item(IDC_RELEASE_LIST)).TextWidth(wide),
                      driver.ListHorizontalExtent(IDC_RELEASE_LIST)); // the widest item's
            for (const int button : {IDC_MANUAL, IDC_FILE_ASSOCIATION, ID_HELP})
                driver.Click(button);
            driver.SelectListItem(IDC_RELEASE_LIST, "zeta(C:\\Z)");
            driver.Type(IDC_SUMMARY, "typed\r\n");
            confirm ? driver.Click(IDOK) : driver.PressEscape();
        });
        EXPECT_EQ(confirm ? IDOK : IDCANCEL, result);
        EXPECT_EQ(confirm ? "zeta(C:\\Z)" : "alpha(C:\\A)", probe.selected);
        EXPECT_EQ(confirm ? "typed\r\n" : "Original", probe.summary);
        EXPECT_EQ((std::vector<std::string>{"Store could not be loaded", "bad conversion",
                                            "An unexpected error occurred."}),
                  prompts.MessageTexts());
        for (const ScriptedPrompts::Message& message : prompts.messages)
            EXPECT_TRUE(message.caption == "Morvane" && message.owner == window);
    }
}
} // namespace
