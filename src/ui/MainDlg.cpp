#include "ui/MainDlg.h"

#include "associations/ShellRegistration.h"
#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "catalogue/ReleaseEntry.h"
#include "environment/Environment.h"
#include "environment/Switch.h"
#include "platform/FileSystem.h"
#include "platform/LazyFunction.h"
#include "platform/Unicode.h"
#include "platform/UseException.h"
#include "resource.h"
#include "ui/AboutDlg.h"

#include <shellapi.h>

#include <optional>

namespace {
constexpr const char* kSplitFailure =
    "Unable to retrieve                     Release or Installation Location of the selected release";
constexpr const char* kUacRefusal =
    "Cannot change NVLROOT environment value. Please turn off UAC(User Account "
    "Control) on Vista or Window 7.";
constexpr const char* kHelpFile = "kelmora.pdf";

auto shellExecute = USE_LAZY_FUNCTION("shell32.dll", ShellExecuteA);

// Vista and Windows 7 (and every later Windows that an unmanifested program is told is 6.x) refuse
// the system environment to a user whose rights user account control has taken away.
bool IsVersion6Windows() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 6;
}

// The summary's pieces, each inserted at the caret in turn: the environment as the dialog found it,
// and the environment after a switch (the system PATH directly followed by the user PATH).
std::vector<std::string> InitialSettingPieces(const std::string& root, const std::string& licenceFile) {
    return {
        "Original Setting: \r\n\r\n",
        "    NVLROOT       = " + root + "\r\n",
        "    NVL_LIC_FILE = " + licenceFile + "\r\n",
    };
}

std::vector<std::string> SwitchSummaryPieces(const std::string& root, const std::string& systemPath,
                                             const std::string& userPath) {
    return {
        std::string(53, '-') + "\r\n\r\n",
        "NVLROOT = " + root + "\r\n\r\n",
        "PATH = ",
        systemPath + userPath + "\r\n\r\n",
    };
}

std::vector<std::string> ItemsOf(const UseListBox& list) {
    std::vector<std::string> items;
    for (int index = 0, count = list.Count(); index < count; ++index)
        items.push_back(list.ItemText(index));
    return items;
}
} // namespace

CUse_WorkDlg::CUse_WorkDlg() : UseModalDialog(IDD_USE_WORK_DIALOG) {
    using Self = CUse_WorkDlg;
    Bind(ID_HELP, BN_CLICKED, &Self::OpenHelp);
    Bind(IDC_MANUAL, BN_CLICKED, &Self::OnManualConfiguration);
    Bind(IDC_FILE_ASSOCIATION, BN_CLICKED, &Self::OnFileAssociation);
    Bind(IDC_RELEASE_LIST, LBN_SELCHANGE, &Self::ReadControls);
    Bind(IDC_RELEASE_LIST, LBN_DBLCLK, &Self::SwitchToSelectedRelease);
}

void CUse_WorkDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selectedEntry_);
}

bool CUse_WorkDlg::OnInit() {
    UseModalDialog::OnInit();
    AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
    SetIcon(IDR_MAINFRAME);

    // A hand-configured store that cannot be loaded must not cost the user the dialog: the detected
    // releases stay listed and switchable, and the failure is told once the dialog is set up.
    std::optional<std::string> failure;
    try {
        FillReleaseList();
    } catch (const UseException& error) {
        failure = error.Message();
    }
    try {
        ShowCurrentRelease();
    } catch (const UseException& error) {
        if (!failure) failure = error.Message();
    }
    RichEdit(IDC_SUMMARY).WrapAtWindowWidth();
    WriteInitialSetting();
    if (failure) ShowMessage(*failure);
    return true;
}

void CUse_WorkDlg::FillReleaseList() {
    std::vector<std::string> entries = UseDetectedReleases().DisplayList();
    std::optional<UseException> failure;
    try {
        const std::vector<std::string>& manual = UseManualReleases().Releases().DisplayList();
        entries.insert(entries.end(), manual.begin(), manual.end());
    } catch (const UseException& error) {
        failure = error;
    }
    ListBox(IDC_RELEASE_LIST).Fill(entries);
    ReadControls();
    if (failure) throw *failure;
}

void CUse_WorkDlg::ShowCurrentRelease() {
    const std::string root = UseEnvReadActiveRoot();
    if (root.empty()) return;
    // The hand-configured store is only asked when no detected release has the root.
    std::optional<std::string> name = UseCurrentReleaseName(UseDetectedReleases().DisplayList(), root);
    if (!name) name = UseCurrentReleaseName(UseManualReleases().Releases().DisplayList(), root);
    if (!name) return;
    SetCaption("Morvane - " + *name);
    const UseListBox list = ListBox(IDC_RELEASE_LIST);
    const int index = UseFirstItemContaining(ItemsOf(list), root);
    if (index >= 0) list.SetCurrentSelection(index);
}

void CUse_WorkDlg::WriteInitialSetting() const {
    AppendToSummary(
        InitialSettingPieces(UseEnvReadActiveRoot(), UseEnvReadSystemElseUser(UseEnvReadLicFile)));
}

// Each block goes after the last, wherever the user left the caret, and is shown from its first line:
// the environment as found when the dialog opens, the new one after each switch.
void CUse_WorkDlg::AppendToSummary(const std::vector<std::string>& pieces) const {
    const UseRichEdit summary = RichEdit(IDC_SUMMARY);
    const int start = summary.Length();
    summary.SetCaret(start);
    for (const std::string& piece : pieces)
        summary.ReplaceSelection(piece);
    summary.ScrollToTop(start);
}

void CUse_WorkDlg::OnOK() {
    SwitchToSelectedRelease();
    End(IDCANCEL);
}

bool CUse_WorkDlg::OnSysCommand(UINT command) {
    if (command != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal(Handle());
    return true;
}

void CUse_WorkDlg::OnManualConfiguration() {
    // Whatever the dialog ended with, its changes are already in the registry: the list follows them.
    manualConfigDlg_.DoModal(Handle());
    FillReleaseList();
}

void CUse_WorkDlg::OnFileAssociation() {
    // The selection as last read: the button does not read the list again.
    fileAssociationDlg_.RunFromMainDialog(*this, selectedEntry_);
}

void CUse_WorkDlg::SwitchToSelectedRelease() {
    ReadControls();
    if (selectedEntry_.empty()) return;
    try {
        std::string name;
        std::string root;
        if (!UseSplitReleaseEntry(selectedEntry_, name, root)) throw UseException(kSplitFailure);
        const UseSwitchScope scope = UseCurrentSwitchScope(true);
        if (const std::string refusal = UseSwitchRefusal(name, root, scope); !refusal.empty()) {
            ShowMessage(refusal);
            return;
        }
        const LONG status = WriteEnvironment(root, scope);
        ShowCurrentRelease();
        if (status != ERROR_SUCCESS) return;
        UseReapplyAssociations(false);
        // The summary is shown through the 8-bit window functions, in the user's code page.
        AppendToSummary(SwitchSummaryPieces(UseEnvReadActiveRoot(), UseAnsiFromUtf8(UseEnvReadPath(true)),
                                            UseAnsiFromUtf8(UseEnvReadPath(false))));
    } catch (const UseException& failure) {
        ShowMessage(failure.Message());
    }
}

LONG CUse_WorkDlg::WriteEnvironment(const std::string& root, UseSwitchScope scope) const {
    const UseSwitchOutcome outcome = UseSwitchRelease(root, scope, false);
    for (const std::string& line : {outcome.pathRefusal, outcome.logRefusal})
        if (!line.empty()) ShowMessage(line);
    if (outcome.rootStatus != ERROR_SUCCESS && scope == UseSwitchScope::System && IsVersion6Windows())
        ShowMessage(kUacRefusal);
    return outcome.rootStatus;
}

void CUse_WorkDlg::OpenHelp() {
    const std::string root = UseEnvReadActiveRoot();
    std::vector<std::string> folders;
    if (!root.empty()) folders.push_back(root + "\\tools\\bin");
    folders.push_back(ProgramFolder());
    for (const std::string& folder : folders) {
        const std::string document = folder + "\\" + kHelpFile;
        if (UseFileStatus(document) != UseFileKind::File) continue;
        // The document itself, by its full path, in the viewer the user chose for it: a program named
        // by a bare name would be looked for in the working folder and on PATH, where anyone may have
        // put one of that name.
        if (ShellOpen("open", document, nullptr, folder, SW_SHOWNORMAL) <= 32)
            ShowMessage("No program to show the help file \"" + document + "\" is installed.");
        return;
    }
    ShowMessage("Cannot find help file  \"kelmora.pdf\". ");
}

INT_PTR CUse_WorkDlg::ShellOpen(const char* verb, const std::string& file, const char* parameters,
                                const std::string& folder, int show) {
    return reinterpret_cast<INT_PTR>(
        shellExecute(Handle(), verb, file.c_str(), parameters, folder.c_str(), show));
}

std::string CUse_WorkDlg::ProgramFolder() const {
    return UseModuleFolder();
}
