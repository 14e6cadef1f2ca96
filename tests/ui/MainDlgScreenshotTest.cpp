// The main dialog held on screen for tests/ui/screenshot.sh, which photographs it. Disabled: ctest
// never runs it.
#include "catalogue/ManualReleases.h"
#include "environment/SwitchLogTesting.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"
#include "ui/MainDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
unsigned HoldMs() {
    const char* hold = std::getenv("KELMORA_SCREENSHOT_HOLD_MS");
    return hold != nullptr ? static_cast<unsigned>(std::strtoul(hold, nullptr, 10)) : 3000u;
}

// Three releases, MVX 16.5 current, and one switch to MVX 16.6 so that the summary shows both kinds of
// block.
TEST(Screenshot, DISABLED_MainDialogOnSampleReleases) {
    const ScopedRegistrySandbox registry;
    const ScopedTempFolder logs;
    UseRedirectSwitchLogForTests(logs.Path());
    CreateEnvironmentKeys();
    for (const char* release : {"MVX 16.5", "MVX 16.6", "MVX 17.2"})
        SetString(false, std::string(kManualConfigurationKey) + "\\" + release, "Location",
                  std::string("C:\\Norvale\\") + release);
    SetString(false, std::string(kManualConfigurationKey) + "\\QDR 15.0(File Server)", "Location",
              "\\\\fileserver\\norvale\\releases\\QDR 15.0 (x86)");
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "C:\\Norvale\\MVX 16.5");
    SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin",
              REG_EXPAND_SZ);
    SetString(true, kSystemEnvironmentKey, "NVL_LIC_FILE", "1717@licence.example");
    UseLoadRichEdit();
    CUse_WorkDlg dialog;
    RunDialog(dialog, [](DialogDriver& driver) {
        driver.Pump(300);
        driver.DoubleClickListItem(IDC_RELEASE_LIST, 1);
        driver.Pump(HoldMs());
        driver.PressEscape();
    });
    UseRedirectSwitchLogForTests("");
}
} // namespace
