#include "ui/FileAssociationDlg.h"

#include "associations/AssociationFiles.h"
#include "associations/AssociationText.h"
#include "associations/ShellClasses.h"
#include "catalogue/ReleaseEntry.h"
#include "environment/Environment.h"
#include "platform/FolderBrowser.h"
#include "platform/Text.h"
#include "platform/UseException.h"
#include "resource.h"

std::string UseNormaliseExtension(const std::string& typed) {
    const std::string trimmed = UseTrimWhite(typed);
    const std::size_t start = trimmed.find_first_not_of(". \t\r\n\v\f");
    return start == std::string::npos ? std::string() : UseToLower(trimmed.substr(start));
}

std::string UseOptionsAfterPlaceholder(const std::string& typed) {
    return std::string(kUseQuotedPlaceholder) + " " + UseTrimWhite(typed);
}

CUse_FileAssociationDlg::CUse_FileAssociationDlg(UseLazyAssociationTable& tables)
    : UseModalDialog(IDD_FILE_ASSOCIATION), tables_(tables), importDialog_(tables) {
    using Self = CUse_FileAssociationDlg;
    Bind(IDC_ADD_UPDATE, BN_CLICKED, &Self::AddOrUpdate);
    Bind(IDC_DELETE, BN_CLICKED, &Self::DeleteSelected);
    Bind(IDC_BROWSE, BN_CLICKED, &Self::BrowseForProgram);
    Bind(IDC_IMPORT, BN_CLICKED, &Self::RunImport);
    Bind(IDC_ASSOCIATION_LIST, LBN_SELCHANGE, &Self::ShowSelectedAssociation);
}

bool CUse_FileAssociationDlg::RunFromMainDialog(const UseModalDialog& mainDialog,
                                                const std::string& selectedEntry) {
    std::string name, selectedRoot;
    if (!selectedEntry.empty() && !UseSplitReleaseEntry(selectedEntry, name, selectedRoot))
        selectedRoot.clear();
    // The active release wins: the selection stands in only while no NVLROOT is set at all.
    std::string root = UseEnvReadActiveRoot();
    if (root.empty()) root = selectedRoot;
    if (root.empty()) {
        mainDialog.ShowMessage("Please select a release and then configure the file associations!");
        return false;
    }
    UseWriteRootDirectory(root);
    DoModal(mainDialog.Handle());
    return true;
}

void CUse_FileAssociationDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeText(saveAndValidate, IDC_FILE_EXTENSION, extension_);
    ExchangeText(saveAndValidate, IDC_DEFAULT_PROGRAM, program_);
    ExchangeText(saveAndValidate, IDC_PROGRAM_OPTIONS, options_);
    ExchangeListSelection(saveAndValidate, IDC_ASSOCIATION_LIST, selectedLine_);
}

bool CUse_FileAssociationDlg::OnInit() {
    UseModalDialog::OnInit();
    UseBringRegistrationsUpToDate();
    RefreshList();
    return true;
}

void CUse_FileAssociationDlg::RefreshList() {
    std::vector<std::string> lines;
    try {
        UseAssociationTable& table = tables_.Get();
        UseLoadAssociations(table, false);
        lines = UseAssociationLines(table);
    } catch (const UseException& failure) {
        // The record cannot be read: the user sees why, and the dialog stays usable on what it has.
        ShowMessage(failure.Message());
    }
    ListBox(IDC_ASSOCIATION_LIST).Fill(lines);
    SelectLineOfFields();
    ReadControls();
}

void CUse_FileAssociationDlg::SelectLineOfFields() const {
    // The last line that holds both the extension and the program as the fields have them, so that an
    // association just recorded is the one highlighted; the first line when none does.
    const UseListBox list = ListBox(IDC_ASSOCIATION_LIST);
    const int count = list.Count();
    if (count <= 0) return;
    int chosen = 0;
    for (int index = 0; index < count; ++index) {
        const std::string line = list.ItemText(index);
        if (line.find(extension_) != std::string::npos && line.find(program_) != std::string::npos)
            chosen = index;
    }
    list.SetCurrentSelection(chosen);
}

bool CUse_FileAssociationDlg::ParseSelectedLine(const std::string& noSelection, std::string& extension,
                                                std::string& program, std::string& options) const {
    return ParseSelection(
        IDC_ASSOCIATION_LIST, noSelection, "Unable to parse the selected file extension from the list",
        [&](const std::string& line) { return UseParseAssociationLine(line, extension, program, options); });
}

void CUse_FileAssociationDlg::ShowSelectedAssociation() {
    std::string extension, program, options;
    if (!ParseSelectedLine("", extension, program, options)) return;
    Edit(IDC_FILE_EXTENSION).SetText(extension);
    Edit(IDC_DEFAULT_PROGRAM).SetText(program);
    Edit(IDC_PROGRAM_OPTIONS).SetText(options);
}

void CUse_FileAssociationDlg::AddOrUpdate() {
    ReadControls();
    // The fields keep the normalised text until the refresh reads the controls again, so the refresh
    // highlights the line just recorded.
    extension_ = UseNormaliseExtension(extension_);
    program_ = UseTrimWhite(program_);
    options_ = UseOptionsAfterPlaceholder(options_);
    if (extension_.empty() || program_.empty())
        ShowMessage("Empty File Extension or Default Program");
    else if (const std::string problem = UseExtensionProblem(extension_); !problem.empty())
        ShowMessage(problem);
    else if (UseExpandSuitePath(UseBuildAddCommand(program_, options_)).empty())
        ShowMessage(
            "The program and its options are too long: an open command holds at most 32,766 characters.");
    else if (UseAddAssociation(tables_.Get(), extension_, program_, options_, false))
        ClearEdits();
    else
        ShowMessage("Unable to add this file association, please check to see if the program exists.");
    RefreshList();
}

void CUse_FileAssociationDlg::DeleteSelected() {
    std::string extension, program, options;
    if (!ParseSelectedLine("To delete a file extension, select a file extension from the list", extension,
                           program, options))
        return;
    if (!UseDeleteAssociation(tables_.Get(), extension, false)) {
        ShowMessage("Unable to delete the file extension from the list");
        return;
    }
    ClearEdits();
    RefreshList();
}

void CUse_FileAssociationDlg::BrowseForProgram() {
    const FolderBrowser browser(Handle(), "Select the program that associates this file extension",
                                FolderBrowser::Mode::FoldersAndFiles, UseEnvReadActiveRoot());
    if (const auto chosen = browser.Browse()) {
        program_ = *chosen;
        Edit(IDC_DEFAULT_PROGRAM).SetText(program_);
        ReadControls();
    }
}

void CUse_FileAssociationDlg::RunImport() {
    importDialog_.DoModal(Handle());
    RefreshList();
}

void CUse_FileAssociationDlg::ClearEdits() const {
    Edit(IDC_FILE_EXTENSION).SetText("");
    Edit(IDC_DEFAULT_PROGRAM).SetText("");
    Edit(IDC_PROGRAM_OPTIONS).SetText("");
}
