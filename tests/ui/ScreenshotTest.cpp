// Dialogs held on screen for tests/ui/screenshot.sh, which photographs them. Disabled: ctest never
// runs them.
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"
#include "ui/AboutDlg.h"
#include "ui/FileAssociationDlg.h"
#include "ui/ManualConfigDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
unsigned HoldMs() {
    const char* hold = std::getenv("KELMORA_SCREENSHOT_HOLD_MS");
    return hold != nullptr ? static_cast<unsigned>(std::strtoul(hold, nullptr, 10)) : 3000u;
}

void HoldThenClose(DialogDriver& dialog) {
    dialog.Pump(HoldMs());
    dialog.PressEscape();
}

TEST(Screenshot, DISABLED_AboutBox) {
    CAboutDlg about;
    RunDialog(about, HoldThenClose);
}

TEST(Screenshot, DISABLED_MainTemplateWithAnEmptyList) {
    UseLoadRichEdit();
    UseModalDialog main(IDD_USE_WORK_DIALOG);
    RunDialog(main, HoldThenClose);
}

// The three dialogs of the catalogue and the file associations, each with something in it.
TEST(Screenshot, DISABLED_ManualConfiguration) {
    ScopedRegistrySandbox registry;
    UseReleaseSet detected;
    UseManualReleaseStore store;
    store.Add("MVX 16.6 test", "C:\\Norvale\\MVX 16.6 test");
    store.Add("Kalvo 16.2 lab", "\\\\labserver\\norvale\\Kalvo 16.2 with a long share name");
    CUse_ManualConfigDlg dialog(detected, store);
    RunDialog(dialog, [](DialogDriver& driver) {
        driver.SelectListItem(IDC_RELEASE_LIST, 0);
        HoldThenClose(driver);
    });
}

TEST(Screenshot, DISABLED_FileAssociationSetup) {
    ScopedRegistrySandbox registry;
    ScopedTempFolder folder;
    for (const char* tool : {"draftsch", "netgen", "board", "signal", "waveview"})
        folder.AddFile(std::string("MVX\\tools\\bin\\") + tool + ".exe");
    SetString(true, kSystemEnvironmentKey, "NVLROOT", folder.Path() + "\\MVX");
    UseLazyAssociationTable tables;
    CUse_FileAssociationDlg dialog(tables);
    RunDialog(dialog, [](DialogDriver& driver) {
        driver.SelectListItem(IDC_ASSOCIATION_LIST, 0);
        HoldThenClose(driver);
    });
}

TEST(Screenshot, DISABLED_ImportFileAssociations) {
    UseLazyAssociationTable tables;
    UseFileAssociationFileImportDlg dialog(tables);
    RunDialog(dialog, [](DialogDriver& driver) {
        driver.Type(IDC_IMPORT_PATH, "C:\\Norvale\\site\\MVXDefaultFileAssociations.txt");
        HoldThenClose(driver);
    });
}
} // namespace
