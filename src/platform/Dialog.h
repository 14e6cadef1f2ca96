#pragma once
// Modal dialogs built from resource templates, over raw user32.
//
// A dialog derives from UseModalDialog, passes its template id, overrides DoDataExchange to bind its
// fields to controls, and overrides the handlers it needs; each handler returns true when it dealt
// with the event. Exceptions thrown by a handler are caught before they reach user32 and reported in
// a message box owned by the dialog.
#include "platform/DialogControls.h"

#include <windows.h>

#include <string>

class UseModalDialog {
public:
    explicit UseModalDialog(int templateId);
    virtual ~UseModalDialog() = default;
    UseModalDialog(const UseModalDialog&) = delete;
    UseModalDialog& operator=(const UseModalDialog&) = delete;

    // Runs the dialog until it ends; returns the result it ended with (IDOK, IDCANCEL...), or -1 when
    // it could not be created.
    INT_PTR DoModal(HWND owner = nullptr);

    HWND Handle() const { return handle_; }
    int TemplateId() const { return templateId_; }

    // Copies the bound controls into the fields (true) or the fields into the controls (false).
    void ReadControls() { DoDataExchange(true); }
    void FillControls() { DoDataExchange(false); }

    std::string Caption() const;
    void SetCaption(const std::string& text) const;

    // A message box owned by this dialog: the message caption, the exclamation icon, one OK button.
    void ShowMessage(const std::string& text) const;
    // "Morvane" unless the dialog sets its own.
    void SetMessageCaption(std::string caption) { messageCaption_ = std::move(caption); }
    const std::string& MessageCaption() const { return messageCaption_; }

protected:
    // The single place where a dialog binds its fields to its controls, in both directions.
    virtual void DoDataExchange(bool saveAndValidate);
    void ExchangeText(bool saveAndValidate, int controlId, std::string& field) const;
    // Reading: the selected item's text, empty without a selection. Filling: selects the item whose
    // text is the field; the selection stays as it was when there is none.
    void ExchangeListSelection(bool saveAndValidate, int controlId, std::string& field) const;

    // The base fills the controls from the fields. Return false when the handler set the focus itself.
    virtual bool OnInit();
    // OK (id 1, Enter): the base reads the controls and ends the dialog with IDOK.
    virtual void OnOK();
    // Cancel (id 2, Escape, the close box): the base ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // Every WM_COMMAND; the base dispatches to the handlers below.
    virtual bool OnCommand(int controlId, int notifyCode);
    virtual bool OnButtonClicked(int controlId);
    virtual bool OnListSelectionChange(int controlId);
    virtual bool OnListDoubleClick(int controlId);
    // A system-menu command (the low four bits cleared). False leaves it to the default handling.
    virtual bool OnSysCommand(UINT command);

    void End(INT_PTR result) const;
    HWND Item(int controlId) const;
    UseListBox ListBox(int controlId) const { return UseListBox(Item(controlId)); }
    UseEdit Edit(int controlId) const { return UseEdit(Item(controlId)); }
    UseRichEdit RichEdit(int controlId) const { return UseRichEdit(Item(controlId)); }

    // Appends a separator and an item with the text of string resource stringId to the system menu;
    // nothing when the string is empty.
    void AppendSystemMenuItem(UINT command, UINT stringId) const;
    // Sets the icon resource as the large and the small window icon; it is also drawn centred while
    // the window is minimised and serves as its drag image.
    void SetIcon(int iconId);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool PaintMinimised() const;
    void ReportFailure(const std::string& what) const;

    int templateId_;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    std::string messageCaption_ = "Morvane";
};

// Every message box of the program goes through one presenter, so that tests can answer them. The
// program never installs one: a message box is then shown with MessageBoxA.
class UseMessagePresenter {
public:
    virtual ~UseMessagePresenter() = default;
    virtual void Present(HWND owner, const std::string& text, const std::string& caption) = 0;
};
// Installs presenter (nullptr: back to real message boxes); returns the one it replaces.
UseMessagePresenter* UseInstallMessagePresenter(UseMessagePresenter* presenter);
// Owner, caption, the exclamation icon and one OK button.
void UseShowMessage(HWND owner, const std::string& text, const std::string& caption);
