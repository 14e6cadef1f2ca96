// Times the file-association dialogs as a user drives them, on the registry of the prefix it runs in:
// the File Association Setup dialog's Import... with FILE typed into the Import File Associations
// dialog (the import and the listing that follows it), the same import again over the records it
// made, and the Setup dialog's listing alone (Add/Update with empty fields: a message, then the list
// rebuilt). Prints the three wall times in milliseconds. scripts/bench.sh runs it.
//
//     kelmora_dialog_bench FILE
#include "resource.h"
#include "support/DialogDriver.h"
#include "ui/FileAssociationDlg.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {
// How long the click takes to come back, in milliseconds.
long long TimeClick(const DialogDriver& dialog, int button) {
    const auto start = std::chrono::steady_clock::now();
    dialog.Click(button);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 1;
    const std::string file = argv[1];
    ScriptedPrompts prompts;
    CUse_FileAssociationDlg setup;
    long long times[3] = {};
    RunDialog(setup, [&](DialogDriver& dialog) {
        for (int run = 0; run < 2; ++run) {
            WhenNextDialogOpens([&](DialogDriver& import) {
                import.Type(IDC_IMPORT_PATH, file);
                import.Click(IDC_IMPORT);
            });
            times[run] = TimeClick(dialog, IDC_IMPORT);
        }
        times[2] = TimeClick(dialog, IDC_ADD_UPDATE);
        dialog.Click(IDOK);
    });
    std::printf("%lld %lld %lld\n", times[0], times[1], times[2]);
    return prompts.texts.size() == 1 ? 0 : 1; // the empty fields' message, and no other
}
