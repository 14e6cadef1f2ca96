#include "platform/Dialog.h"

#include "platform/FolderBrowser.h"
#include "platform/UseException.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
// A dialog on the main window's template whose buttons fail, each in its own way: the program's
// failure, a standard one, anything else.
struct FailingDialog : UseModalDialog {
    FailingDialog() : UseModalDialog(IDD_USE_WORK_DIALOG) {
        for (const int button : {IDC_MANUAL, IDC_FILE_ASSOCIATION, ID_HELP})
            Bind(button, BN_CLICKED, &FailingDialog::Fail);
    }
    int clicks = 0;
    void Fail() {
        if (++clicks == 1) throw UseException("Store could not be loaded");
        if (clicks == 2) throw std::runtime_error("bad conversion");
        throw 42;
    }
};

// A handler's failure is told in a message of the dialog's own, which stays open and usable.
TEST(DialogTest, AFailingHandlerIsToldAndTheDialogStaysUsable) {
    UseLoadRichEdit();
    ScriptedPrompts prompts;
    FailingDialog dialog;
    RunDialog(dialog, [&](DialogDriver& driver) {
        for (const int button : {IDC_MANUAL, IDC_FILE_ASSOCIATION, ID_HELP})
            driver.Click(button);
        EXPECT_EQ(std::vector<HWND>(3, driver.Handle()), prompts.owners);
        driver.Click(IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"Store could not be loaded", "bad conversion",
                                        "An unexpected error occurred."}),
              prompts.texts);
    EXPECT_EQ(std::vector<std::string>(3, "Morvane"), prompts.captions);
    const std::string path =
        "C:\\Program Files\\Norvale\\MVX 16.6\\b"; // the picker's status line: 35 characters
    EXPECT_EQ(path + "|" + path + "...", UseFolderStatusText(path) + "|" + UseFolderStatusText(path + "i"));
}
} // namespace
