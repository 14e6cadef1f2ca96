#pragma once
// Test support for real dialogs: runs a modal dialog on the test's own thread and drives it from
// inside its modal loop with the messages a user's clicks send; answers message boxes and the folder
// picker through the prompts seam.
//
//     ScriptedPrompts prompts;
//     CAboutDlg about;
//     RunDialog(about, [](DialogDriver& dialog) {
//         EXPECT_EQ("About Morvane", dialog.Caption());
//         dialog.Click(IDOK);
//     });
#include "platform/Dialog.h"
#include "platform/Prompts.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class DialogDriver {
public:
    explicit DialogDriver(HWND dialog) : dialog_(dialog) {}

    HWND Handle() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    // False once the dialog has ended (EndDialog hides it at once).
    bool IsOpen() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }
    std::string Caption() const { return UseControl(dialog_).Text(); }
    // The text of any control: edit, rich edit (paragraphs end in "\r\n"), static, button.
    std::string Text(int id) const { return UseControl(Item(id)).Text(); }
    // Puts text into an edit as typing would, EN_CHANGE included.
    void Type(int id, const std::string& text) const {
        UseControl(Item(id)).SetText(text);
        Command(id, EN_CHANGE, Item(id));
    }

    // BN_CLICKED from the button, as a click sends it; the button must be there and enabled.
    void Click(int id) const;
    // Escape: IDCANCEL with no control behind it.
    void PressEscape() const { Command(IDCANCEL, BN_CLICKED, nullptr); }

    std::vector<std::string> ListItems(int id) const;
    int ListSelection(int id) const { return UseListBox(Item(id)).CurrentSelection(); }
    std::string ListSelectedText(int id) const { return UseListBox(Item(id)).SelectedText(); }
    // Selects the item and sends LBN_SELCHANGE, as a click on it does.
    void SelectListItem(int id, int index) const {
        UseListBox(Item(id)).SetCurrentSelection(index);
        Command(id, LBN_SELCHANGE, Item(id));
    }
    // A double click: the selection change, then LBN_DBLCLK.
    void DoubleClickListItem(int id, int index) const {
        SelectListItem(id, index);
        Command(id, LBN_DBLCLK, Item(id));
    }

private:
    void Command(int id, int code, HWND control) const {
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }

    HWND dialog_;
};

// Runs dialog modally and calls script once it is on screen. A script that leaves the dialog open
// fails the test, and the dialog is then ended with IDABORT.
void RunDialog(UseModalDialog& dialog, std::function<void(DialogDriver&)> script);

// Calls script once the next dialog that this thread opens is on screen: for a dialog that a
// handler of another dialog opens. Scripts queue up, one per dialog, in order.
void WhenNextDialogOpens(std::function<void(DialogDriver&)> script);

// Answers message boxes and the folder picker while it exists: every message box is recorded and
// answered OK; each picker takes the next scripted answer (nothing, as on cancel, once they run out).
class ScriptedPrompts : public UsePrompts {
public:
    // Of every message shown so far.
    std::vector<std::string> texts, captions;
    std::vector<HWND> owners;
    std::deque<std::optional<std::string>> folderAnswers;

    void Present(HWND owner, const std::string& text, const std::string& caption) override {
        owners.push_back(owner);
        texts.push_back(text);
        captions.push_back(caption);
    }
    std::optional<std::string> PickFolder(const FolderBrowser& request) override;

private:
    UseScopedPrompts installed_{*this};
};
