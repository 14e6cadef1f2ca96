#include "ui/DialogMode.h"

#include "platform/DialogControls.h"
#include "ui/MainDlg.h"

bool UseRunDialogMode() {
    // The summary is a rich-edit control: its class must exist before the template is built.
    UseLoadRichEdit();
    CUse_WorkDlg dialog;
    return dialog.DoModal(nullptr) != -1;
}
