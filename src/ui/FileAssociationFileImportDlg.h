#pragma once
// The Import File Associations dialog: names an association file and imports it for the current
// user. Its messages carry the caption "Imoprt...".
#include "associations/AssociationStore.h"
#include "platform/Dialog.h"

#include <string>

class UseFileAssociationFileImportDlg : public UseModalDialog {
public:
    // Imports into the table that tables holds (the process-wide one unless a test gives its own),
    // which must outlive the dialog.
    explicit UseFileAssociationFileImportDlg(UseLazyAssociationTable& tables = UseAssociations());

    const std::string& Path() const { return path_; }

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    void Browse();
    void Import();

    UseLazyAssociationTable& tables_;
    // The path typed last; it stays for the next opening.
    std::string path_;
};
