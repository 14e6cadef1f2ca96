#pragma once
// The Manual Configuration dialog: adds, updates and deletes the releases configured by hand. Every
// change reaches the registry at once; closing the dialog neither saves nor undoes anything.
#include "catalogue/ManualReleases.h"
#include "catalogue/ReleaseSet.h"
#include "platform/Dialog.h"

#include <string>

// Why an Add/Update refuses the name and location as typed; empty when they may be added. Pure text
// rules: the detected releases are asked separately.
std::string UseManualReleaseInputProblem(const std::string& name, const std::string& location);

class CUse_ManualConfigDlg : public UseModalDialog {
public:
    // Works on the process-wide detected releases and hand-configured store, reached only when the
    // dialog first needs them.
    CUse_ManualConfigDlg();
    // Works on the given releases and store, which must outlive the dialog.
    CUse_ManualConfigDlg(UseReleaseSet& detected, UseManualReleaseStore& store);

protected:
    void DoDataExchange(bool saveAndValidate) override;
    bool OnInit() override;

private:
    CUse_ManualConfigDlg(UseReleaseSet* detected, UseManualReleaseStore* store);
    UseReleaseSet& Detected() const;
    UseManualReleaseStore& Store() const;

    void RefillList();
    void BrowseForLocation();
    void AddOrUpdate();
    void DeleteSelected();
    // The selected entry split into name and root; false, after a message, as ParseSelection has it.
    bool ParseSelectedEntry(const std::string& noSelection, std::string& name, std::string& root) const;
    void ShowSelectedRelease();
    void ClearFields();

    UseReleaseSet* detected_ = nullptr;
    UseManualReleaseStore* store_ = nullptr;
    // Exchanged with the controls; they keep their last text from one opening to the next.
    std::string selectedEntry_;
    std::string location_;
    std::string name_;
};
