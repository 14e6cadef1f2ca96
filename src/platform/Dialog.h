#pragma once
// Modal dialogs built from resource templates, over raw user32.
//
// A dialog derives from UseModalDialog, passes its template id, overrides DoDataExchange to bind its
// fields to controls, and overrides the handlers it needs; each handler returns true when it dealt
// with the event. Exceptions thrown by a handler are caught before they reach user32 and reported in
// a message box owned by the dialog.
#include "platform/DialogControls.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// False when no one can see this process's windows: its window station is not the interactive one, as
// for a service or a start-up script run as the system account. A dialog there would wait for ever.
bool UseDesktopIsVisible();

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
    // A system-menu command (the low four bits cleared). False leaves it to the default handling.
    virtual bool OnSysCommand(UINT command);

    // Runs handler whenever the control sends the notification (BN_CLICKED, LBN_SELCHANGE...). A
    // dialog binds its commands as it is built; OK and Cancel need no binding.
    template <typename Dialog> void Bind(int controlId, int notifyCode, void (Dialog::*handler)()) {
        commands_.push_back(
            {controlId, notifyCode, [this, handler] { (static_cast<Dialog*>(this)->*handler)(); }});
    }

    // Hands the text of the list's selection to parse. False when nothing is selected (after showing
    // noSelection, unless it is empty) or when parse refuses the text (after showing unparsable).
    bool ParseSelection(int listId, const std::string& noSelection, const std::string& unparsable,
                        const std::function<bool(const std::string&)>& parse) const;

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
    // The bound handler of a WM_COMMAND, else OnOK or OnCancel; false when nothing handles it.
    bool OnCommand(int controlId, int notifyCode);
    bool PaintMinimised() const;
    void ReportFailure(const std::string& what) const;

    int templateId_;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    std::string messageCaption_ = "Morvane";
    struct Command {
        int controlId;
        int notifyCode;
        std::function<void()> run;
    };
    std::vector<Command> commands_;
};
