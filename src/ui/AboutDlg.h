#pragma once
// The About box: the program's icon, name, version and copyright, and an OK button.
#include "platform/Dialog.h"

class CAboutDlg : public UseModalDialog {
public:
    CAboutDlg();
};
