// Dialogs held on screen for tests/ui/screenshot.sh, which photographs them. Disabled: ctest never
// runs them.
#include "resource.h"
#include "support/DialogDriver.h"
#include "ui/AboutDlg.h"

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
} // namespace
