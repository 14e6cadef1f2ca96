#pragma once
// The File Association Setup dialog: lists the file associations recorded for the current user and
// adds, updates, deletes and imports them. Every change reaches the registry at once.
#include "associations/AssociationStore.h"
#include "platform/Dialog.h"
#include "ui/FileAssociationFileImportDlg.h"

#include <string>

// The extension as the store records it: no white space around it, no leading dots (blanks between
// them included), lower case.
std::string UseNormaliseExtension(const std::string& typed);
// The options as the dialog records them: trimmed, after the quoted placeholder and a blank, so the
// file name always comes first.
std::string UseOptionsAfterPlaceholder(const std::string& typed);

class CUse_FileAssociationDlg : public UseModalDialog {
public:
    // Works on the table that tables holds (the process-wide one unless a test gives its own), which
    // must outlive the dialog.
    explicit CUse_FileAssociationDlg(UseLazyAssociationTable& tables = UseAssociations());

    // The main dialog's "&File Association" button: records the active root (or, with none set, the
    // root of selectedEntry) as "rootDirectory" and runs this dialog over mainDialog. Without any root
    // it only tells the user, in a message of mainDialog's, to select a release; false then.
    bool RunFromMainDialog(const UseModalDialog& mainDialog, const std::string& selectedEntry);

    UseFileAssociationFileImportDlg& ImportDialog() { return importDialog_; }

protected:
    void DoDataExchange(bool saveAndValidate) override;
    bool OnInit() override;

private:
    void RefreshList();
    void SelectLineOfFields() const;
    // The selected line split into its parts; false, after a message, as ParseSelection has it.
    bool ParseSelectedLine(const std::string& noSelection, std::string& extension, std::string& program,
                           std::string& options) const;
    void ShowSelectedAssociation();
    void AddOrUpdate();
    void DeleteSelected();
    void BrowseForProgram();
    void RunImport();
    void ClearEdits() const;

    UseLazyAssociationTable& tables_;
    UseFileAssociationFileImportDlg importDialog_;
    // Exchanged with the controls; they keep their last text from one opening to the next.
    std::string extension_;
    std::string program_;
    std::string options_;
    std::string selectedLine_;
};
