#include "ui/AboutDlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : UseModalDialog(IDD_ABOUTBOX) {}
