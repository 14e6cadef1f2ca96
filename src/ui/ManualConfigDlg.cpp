#include "ui/ManualConfigDlg.h"

#include "catalogue/Detection.h"
#include "catalogue/ReleaseEntry.h"
#include "platform/FolderBrowser.h"
#include "platform/UseException.h"
#include "resource.h"

std::string UseManualReleaseInputProblem(const std::string& name, const std::string& location) {
    if (name.empty() || location.empty()) return "Empty Release or Location";
    // Each release is a registry key named after it, and the registry reads a backslash as a step
    // down to a nested key: "A\B" would be stored under a key "A" that holds no location, so the
    // release would be missing from the list at the next start and could not be deleted whole.
    if (name.find('\\') != std::string::npos)
        return "A release name cannot contain a backslash (\\). Please choose another name.";
    return {};
}

CUse_ManualConfigDlg::CUse_ManualConfigDlg() : CUse_ManualConfigDlg(nullptr, nullptr) {}

CUse_ManualConfigDlg::CUse_ManualConfigDlg(UseReleaseSet& detected, UseManualReleaseStore& store)
    : CUse_ManualConfigDlg(&detected, &store) {}

CUse_ManualConfigDlg::CUse_ManualConfigDlg(UseReleaseSet* detected, UseManualReleaseStore* store)
    : UseModalDialog(IDD_MANUAL_CONFIG), detected_(detected), store_(store) {
    using Self = CUse_ManualConfigDlg;
    Bind(IDC_BROWSE, BN_CLICKED, &Self::BrowseForLocation);
    Bind(IDC_ADD_UPDATE, BN_CLICKED, &Self::AddOrUpdate);
    Bind(IDC_DELETE, BN_CLICKED, &Self::DeleteSelected);
    Bind(IDC_RELEASE_LIST, LBN_SELCHANGE, &Self::ShowSelectedRelease);
}

UseReleaseSet& CUse_ManualConfigDlg::Detected() const {
    return detected_ != nullptr ? *detected_ : UseDetectedReleases();
}

UseManualReleaseStore& CUse_ManualConfigDlg::Store() const {
    return store_ != nullptr ? *store_ : UseManualReleases();
}

void CUse_ManualConfigDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selectedEntry_);
    ExchangeText(saveAndValidate, IDC_RELEASE_LOCATION, location_);
    ExchangeText(saveAndValidate, IDC_RELEASE_NAME, name_);
}

bool CUse_ManualConfigDlg::OnInit() {
    UseModalDialog::OnInit();
    RefillList();
    return true;
}

void CUse_ManualConfigDlg::RefillList() {
    std::vector<std::string> entries;
    try {
        entries = Store().Releases().DisplayList();
    } catch (const UseException& failure) {
        // The store could not be read: the user sees why, and the dialog stays open on an empty list.
        ShowMessage(failure.Message());
    }
    const UseListBox list = ListBox(IDC_RELEASE_LIST);
    list.Fill(entries);
    if (const int count = list.Count(); count > 0) list.SetCurrentSelection(count - 1);
    ReadControls();
}

void CUse_ManualConfigDlg::BrowseForLocation() {
    const FolderBrowser browser(Handle(), "Select the location for NVLROOT for the release",
                                FolderBrowser::Mode::FoldersOnly);
    if (const auto folder = browser.Browse()) {
        location_ = *folder;
        Edit(IDC_RELEASE_LOCATION).SetText(location_);
    }
}

void CUse_ManualConfigDlg::AddOrUpdate() {
    ReadControls();
    if (const std::string problem = UseManualReleaseInputProblem(name_, location_); !problem.empty())
        ShowMessage(problem);
    else if (Detected().Contains(name_))
        ShowMessage("Duplicate release(" + name_ + ")" + " name ");
    else if (Store().Add(name_, location_))
        ClearFields();
    else
        ShowMessage("Unable to add the release to the registry ");
    RefillList();
}

bool CUse_ManualConfigDlg::ParseSelectedEntry(const std::string& noSelection, std::string& name,
                                              std::string& root) const {
    return ParseSelection(IDC_RELEASE_LIST, noSelection,
                          "Unable to parse the selected release from the listBox",
                          [&](const std::string& entry) { return UseSplitReleaseEntry(entry, name, root); });
}

void CUse_ManualConfigDlg::DeleteSelected() {
    std::string name, root;
    if (!ParseSelectedEntry("To delete a release, select a release name from the list", name, root)) return;
    if (!Store().Remove(name)) {
        ShowMessage("Unable to delete the release from the listBox");
        return;
    }
    ClearFields();
    RefillList();
}

void CUse_ManualConfigDlg::ShowSelectedRelease() {
    std::string name, root;
    if (!ParseSelectedEntry("", name, root)) return;
    Edit(IDC_RELEASE_NAME).SetText(name);
    Edit(IDC_RELEASE_LOCATION).SetText(root);
}

void CUse_ManualConfigDlg::ClearFields() {
    name_.clear();
    location_.clear();
    Edit(IDC_RELEASE_NAME).SetText(name_);
    Edit(IDC_RELEASE_LOCATION).SetText(location_);
}
