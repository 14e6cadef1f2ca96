// Shows every dialog of the program in turn, each on sample releases and held on screen for
// tests/ui/screenshot.sh to photograph: the About box, the main window's template, the main dialog as
// it opens and after a switch, the Manual Configuration, File Association Setup and Import File Associations
// dialogs. It runs on the registry of the prefix it is started in and leaves it as it found it.
//
//     kelmora_show_dialogs [HOLD_MS]
#include "catalogue/ManualReleases.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Sandbox.h"
#include "ui/AboutDlg.h"
#include "ui/FileAssociationFileImportDlg.h"
#include "ui/MainDlg.h"

#include <cstdlib>
#include <functional>

int main(int argc, char** argv) {
    const ULONGLONG hold = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 3000;
    const ScopedPrefixRegistry registry;
    const ScopedTempFolder folder;
    // Added by hand for every user, as an administrator would: the system environment takes them.
    for (const char* release : {"MVX 16.5", "MVX 16.6", "QDR 15.0(File Server)"}) {
        folder.AddFile(std::string(release) + "\\tools\\bin\\draftsch.exe");
        for (bool machineWide : {false, true})
            SetString(machineWide, std::string(kManualConfigurationKey) + "\\" + release, "Location",
                      folder.Path() + "\\" + release);
    }
    SetString(true, kSystemEnvironmentKey, "NVLROOT", folder.Path() + "\\MVX 16.5");
    SetString(true, kSystemEnvironmentKey, "NVL_LIC_FILE",
              "1717@licence1.example.com;1717@licence2.example.com");
    UseLoadRichEdit();
    UseLazyAssociationTable tables;
    const auto show = [hold](UseModalDialog&& shown, std::function<void(DialogDriver&)> first = {}) {
        RunDialog(shown, [&](DialogDriver& dialog) {
            if (first) first(dialog);
            const ULONGLONG until = GetTickCount64() + hold;
            for (MSG message; GetTickCount64() < until; Sleep(10))
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&message);
            dialog.PressEscape();
        });
    };
    show(CAboutDlg());
    show(UseModalDialog(IDD_USE_WORK_DIALOG));
    show(CUse_WorkDlg());
    show(CUse_WorkDlg(), [](DialogDriver& dialog) { dialog.DoubleClickListItem(IDC_RELEASE_LIST, 1); });
    show(CUse_ManualConfigDlg(), [](DialogDriver& dialog) { dialog.SelectListItem(IDC_RELEASE_LIST, 0); });
    show(CUse_FileAssociationDlg(tables));
    show(UseFileAssociationFileImportDlg(tables),
         [](DialogDriver& dialog) { dialog.Type(IDC_IMPORT_PATH, "C:\\Norvale\\site\\Associations.txt"); });
}
