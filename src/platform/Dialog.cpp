#include "platform/Dialog.h"

#include "platform/Prompts.h"
#include "platform/UseException.h"

#include <exception>

namespace {
HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}
} // namespace

bool UseDesktopIsVisible() {
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    // A station that cannot tell is not taken for a visible one: better no dialog than one nobody sees.
    return GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, &needed) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

UseModalDialog::UseModalDialog(int templateId) : templateId_(templateId) {}

INT_PTR UseModalDialog::DoModal(HWND owner) {
    const INT_PTR result = DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(templateId_), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    handle_ = nullptr;
    return result;
}

std::string UseModalDialog::Caption() const {
    return UseControl(handle_).Text();
}

void UseModalDialog::SetCaption(const std::string& text) const {
    UseControl(handle_).SetText(text);
}

void UseModalDialog::ShowMessage(const std::string& text) const {
    UseShowMessage(handle_, text, messageCaption_);
}

void UseModalDialog::DoDataExchange(bool) {}

void UseModalDialog::ExchangeText(bool saveAndValidate, int controlId, std::string& field) const {
    const UseControl control(Item(controlId));
    if (saveAndValidate)
        field = control.Text();
    else
        control.SetText(field);
}

void UseModalDialog::ExchangeListSelection(bool saveAndValidate, int controlId, std::string& field) const {
    const UseListBox list(Item(controlId));
    if (saveAndValidate) {
        field = list.SelectedText();
        return;
    }
    const int index = list.FindExact(field);
    if (index != LB_ERR) list.SetCurrentSelection(index);
}

bool UseModalDialog::OnInit() {
    FillControls();
    return true;
}

void UseModalDialog::OnOK() {
    ReadControls();
    End(IDOK);
}

void UseModalDialog::OnCancel() {
    End(IDCANCEL);
}

bool UseModalDialog::OnCommand(int controlId, int notifyCode) {
    for (const Command& command : commands_)
        if (command.controlId == controlId && command.notifyCode == notifyCode) {
            command.run();
            return true;
        }
    if (notifyCode != BN_CLICKED) return false;
    if (controlId == IDOK) {
        OnOK();
        return true;
    }
    if (controlId == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool UseModalDialog::OnSysCommand(UINT) {
    return false;
}

bool UseModalDialog::ParseSelection(int listId, const std::string& noSelection, const std::string& unparsable,
                                    const std::function<bool(const std::string&)>& parse) const {
    const std::string selected = ListBox(listId).SelectedText();
    if (selected.empty()) {
        if (!noSelection.empty()) ShowMessage(noSelection);
        return false;
    }
    if (parse(selected)) return true;
    ShowMessage(unparsable);
    return false;
}

void UseModalDialog::End(INT_PTR result) const {
    EndDialog(handle_, result);
}

HWND UseModalDialog::Item(int controlId) const {
    return GetDlgItem(handle_, controlId);
}

void UseModalDialog::AppendSystemMenuItem(UINT command, UINT stringId) const {
    char text[256] = "";
    if (LoadStringA(ProgramInstance(), stringId, text, sizeof text) <= 0) return;
    HMENU menu = GetSystemMenu(handle_, FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text);
}

void UseModalDialog::SetIcon(int iconId) {
    // Shared icons belong to the module and are never destroyed.
    icon_ =
        static_cast<HICON>(LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    const auto small = static_cast<HICON>(LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

INT_PTR CALLBACK UseModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UseModalDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<UseModalDialog*>(lParam);
        dialog->handle_ = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<UseModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT...) get the default handling.
    if (dialog == nullptr) return FALSE;

    // Nothing may unwind through user32: a handler's failure is reported and the message counts as
    // handled, so the dialog stays usable.
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (const UseException& failure) {
        dialog->ReportFailure(failure.Message());
    } catch (const std::exception& failure) {
        dialog->ReportFailure(failure.what());
    } catch (...) {
        dialog->ReportFailure("An unexpected error occurred.");
    }
    return TRUE;
}

INT_PTR UseModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam & 0xFFF0)) ? TRUE : FALSE;
    case WM_PAINT:
        return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        // One of the few messages whose answer a dialog procedure returns directly.
        return reinterpret_cast<INT_PTR>(icon_);
    default:
        return FALSE;
    }
}

bool UseModalDialog::PaintMinimised() const {
    if (icon_ == nullptr || !IsIconic(handle_)) return false;
    PAINTSTRUCT paint = {};
    HDC surface = BeginPaint(handle_, &paint);
    SendMessageA(handle_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(surface), 0);
    RECT client = {};
    GetClientRect(handle_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(surface, x, y, icon_);
    EndPaint(handle_, &paint);
    return true;
}

void UseModalDialog::ReportFailure(const std::string& what) const {
    OutputDebugStringA(("Morvane: " + what + "\n").c_str());
    try {
        ShowMessage(what);
    } catch (...) {
        // The message box itself failed; the debug output above is all that is left.
    }
}
