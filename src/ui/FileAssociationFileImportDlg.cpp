#include "ui/FileAssociationFileImportDlg.h"

#include "associations/AssociationFiles.h"
#include "platform/FileSystem.h"
#include "platform/FolderBrowser.h"
#include "resource.h"

UseFileAssociationFileImportDlg::UseFileAssociationFileImportDlg(UseLazyAssociationTable& tables)
    : UseModalDialog(IDD_IMPORT_ASSOCIATIONS), tables_(tables) {
    SetMessageCaption("Imoprt...");
    Bind(IDC_BROWSE, BN_CLICKED, &UseFileAssociationFileImportDlg::Browse);
    Bind(IDC_IMPORT, BN_CLICKED, &UseFileAssociationFileImportDlg::Import);
}

void UseFileAssociationFileImportDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeText(saveAndValidate, IDC_IMPORT_PATH, path_);
}

void UseFileAssociationFileImportDlg::Browse() {
    const FolderBrowser browser(Handle(), "Select the file association file to import",
                                FolderBrowser::Mode::FoldersAndFiles);
    if (const auto chosen = browser.Browse()) {
        path_ = *chosen;
        FillControls();
        ReadControls();
    }
}

void UseFileAssociationFileImportDlg::Import() {
    ReadControls();
    if (path_.empty()) {
        ShowMessage("Please input a file association file.");
        return;
    }
    switch (UseFileStatus(path_)) {
    case UseFileKind::Missing:
        ShowMessage("This input file doesn't exist, please try again.");
        return;
    case UseFileKind::Folder:
        ShowMessage("\"" + path_ + "\"" + " is a folder, please input a file.");
        return;
    case UseFileKind::File:
        break;
    }
    // A table that cannot be loaded stops the import here; the dialog reports it and stays open.
    UseImportAssociations(path_, false, tables_);
    ReadControls();
    End(IDOK);
}
