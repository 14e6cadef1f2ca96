#pragma once
// The main window of dialog mode: lists every release the catalogue knows, shows the environment as
// it was when the dialog opened, and makes the selected release the active one on OK (then closes)
// or on a double click (and stays open).
#include "environment/Switch.h"
#include "platform/Dialog.h"
#include "ui/FileAssociationDlg.h"
#include "ui/ManualConfigDlg.h"

#include <windows.h>

#include <string>
#include <vector>

class CUse_WorkDlg : public UseModalDialog {
public:
    CUse_WorkDlg();

    // Empties the release list and fills it with the detected and the hand-configured releases. When
    // the hand-configured store cannot be loaded, the detected releases stay listed and its
    // UseException goes on to the caller.
    void FillReleaseList();

    // The text of the list's selection when the controls were last read; empty without one.
    const std::string& SelectedEntry() const { return selectedEntry_; }

protected:
    void DoDataExchange(bool saveAndValidate) override;
    bool OnInit() override;
    // Switches to the selected release, then closes as cancelled: nothing is left to undo.
    void OnOK() override;
    bool OnSysCommand(UINT command) override;

    // "&Manual ..." (1009): opens the Manual Configuration dialog, then refills the list.
    virtual void OnManualConfiguration();
    // "&File Association" (1010): records the active root (or the selected release's) and opens the
    // File Association Setup dialog.
    virtual void OnFileAssociation();

    // The shell's ShellExecute; tests record the call instead of starting a viewer.
    virtual INT_PTR ShellOpen(const char* verb, const std::string& file, const char* parameters,
                              const std::string& folder, int show);
    // The folder of the running program, Help's second place to look.
    virtual std::string ProgramFolder() const;

private:
    // Caption "Morvane - <name>" and the list selection for the release NVLROOT names.
    void ShowCurrentRelease();
    void WriteInitialSetting() const;
    void AppendToSummary(const std::vector<std::string>& pieces) const;
    void SwitchToSelectedRelease();
    // Rewrites PATH and stores NVLROOT in scope; the registry's status.
    LONG WriteEnvironment(const std::string& root, UseSwitchScope scope) const;
    void OpenHelp();

    std::string selectedEntry_;
    // Created with this dialog and reused at every opening, so their fields keep their last text.
    CUse_ManualConfigDlg manualConfigDlg_;
    CUse_FileAssociationDlg fileAssociationDlg_;
};
