#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <exception>
#include <map>
#include <vector>

namespace {
using Script = std::function<void(DialogDriver&)>;

constexpr UINT_PTR kDriveTimer = 0x4B44; // an id of our own among the dialog's timers
constexpr UINT kTimerMs = 10;
constexpr int kMaxWaitTicks = 500; // about five seconds for a dialog to come on screen

std::deque<Script> pendingScripts;
std::map<HWND, Script> armedScripts;
std::map<HWND, int> waitedTicks;
HHOOK creationHook = nullptr;

bool IsDialogWindow(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

void CALLBACK DriveDialog(HWND dialog, UINT, UINT_PTR, DWORD) {
    // The dialog is shown the first time its modal loop goes idle; a script runs only once it is.
    if (!IsWindowVisible(dialog) && ++waitedTicks[dialog] < kMaxWaitTicks) return;
    KillTimer(dialog, kDriveTimer);
    const Script script = std::move(armedScripts[dialog]);
    armedScripts.erase(dialog);
    waitedTicks.erase(dialog);
    if (!IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the dialog never came on screen";
        EndDialog(dialog, IDABORT);
        return;
    }
    DialogDriver driver(dialog);
    try {
        script(driver);
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "the dialog script threw: " << failure.what();
    } catch (...) {
        ADD_FAILURE() << "the dialog script threw";
    }
    if (driver.IsOpen()) {
        ADD_FAILURE() << "the dialog script left \"" << driver.Caption() << "\" open";
        EndDialog(dialog, IDABORT);
    }
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !pendingScripts.empty() && IsDialogWindow(window)) {
        armedScripts[window] = std::move(pendingScripts.front());
        pendingScripts.pop_front();
        SetTimer(window, kDriveTimer, kTimerMs, DriveDialog);
        if (pendingScripts.empty()) {
            UnhookWindowsHookEx(creationHook);
            creationHook = nullptr;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT SendCommand(HWND dialog, int id, int code, HWND control) {
    return SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}
} // namespace

void WhenNextDialogOpens(std::function<void(DialogDriver&)> script) {
    pendingScripts.push_back(std::move(script));
    if (creationHook == nullptr)
        creationHook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
}

INT_PTR RunDialog(UseModalDialog& dialog, std::function<void(DialogDriver&)> script, HWND owner) {
    const std::size_t queuedBefore = pendingScripts.size();
    WhenNextDialogOpens(std::move(script));
    const INT_PTR result = dialog.DoModal(owner);
    if (pendingScripts.size() > queuedBefore) {
        ADD_FAILURE() << "dialog template " << dialog.TemplateId() << " did not open";
        pendingScripts.pop_back();
    }
    return result;
}

HWND DialogDriver::Item(int id) const {
    return GetDlgItem(dialog_, id);
}

bool DialogDriver::IsOpen() const {
    return IsWindow(dialog_) && IsWindowVisible(dialog_);
}

std::string DialogDriver::Caption() const {
    return UseControl(dialog_).Text();
}

std::string DialogDriver::Text(int id) const {
    EXPECT_NE(nullptr, Item(id)) << "no control " << id;
    return UseControl(Item(id)).Text();
}

std::vector<std::string> DialogDriver::StaticTexts() const {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0) texts.push_back(UseControl(child).Text());
    }
    return texts;
}

void DialogDriver::Type(int id, const std::string& text) const {
    UseControl(Item(id)).SetText(text);
    SendCommand(dialog_, id, EN_CHANGE, Item(id));
}

void DialogDriver::Click(int id) const {
    const HWND button = Item(id);
    ASSERT_NE(nullptr, button) << "no button " << id;
    ASSERT_TRUE(IsWindowEnabled(button) && IsWindowVisible(button))
        << "button " << id << " cannot be clicked";
    SendCommand(dialog_, id, BN_CLICKED, button);
}

void DialogDriver::PressEscape() const {
    SendCommand(dialog_, IDCANCEL, BN_CLICKED, nullptr);
}

std::vector<std::string> DialogDriver::ListItems(int id) const {
    const UseListBox list(Item(id));
    std::vector<std::string> items;
    for (int index = 0, count = list.Count(); index < count; ++index)
        items.push_back(list.ItemText(index));
    return items;
}

int DialogDriver::ListSelection(int id) const {
    return UseListBox(Item(id)).CurrentSelection();
}

std::string DialogDriver::ListSelectedText(int id) const {
    return UseListBox(Item(id)).SelectedText();
}

int DialogDriver::ListHorizontalExtent(int id) const {
    return UseListBox(Item(id)).HorizontalExtent();
}

void DialogDriver::SelectListItem(int id, int index) const {
    UseListBox(Item(id)).SetCurrentSelection(index);
    SendCommand(dialog_, id, LBN_SELCHANGE, Item(id));
}

void DialogDriver::SelectListItem(int id, const std::string& text) const {
    const int index = ListIndexOf(id, text);
    if (index >= 0) SelectListItem(id, index);
}

void DialogDriver::DoubleClickListItem(int id, int index) const {
    SelectListItem(id, index);
    SendCommand(dialog_, id, LBN_DBLCLK, Item(id));
}

int DialogDriver::ListIndexOf(int id, const std::string& text) const {
    const std::vector<std::string> items = ListItems(id);
    for (std::size_t index = 0; index < items.size(); ++index)
        if (items[index] == text) return static_cast<int>(index);
    ADD_FAILURE() << "list " << id << " has no item \"" << text << "\"";
    return -1;
}

std::vector<DialogDriver::MenuItem> DialogDriver::SystemMenuItems() const {
    std::vector<MenuItem> items;
    HMENU menu = GetSystemMenu(dialog_, FALSE);
    for (int position = 0, count = GetMenuItemCount(menu); position < count; ++position) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
        items.push_back({info.wID, text, (info.fType & MFT_SEPARATOR) != 0});
    }
    return items;
}

void DialogDriver::SystemCommand(UINT command) const {
    SendMessageA(dialog_, WM_SYSCOMMAND, command, 0);
}

void DialogDriver::Pump(unsigned ms) const {
    const ULONGLONG until = GetTickCount64() + ms;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount64() < until);
}

std::vector<std::string> ScriptedPrompts::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages)
        texts.push_back(message.text);
    return texts;
}

void ScriptedPrompts::Present(HWND owner, const std::string& text, const std::string& caption) {
    messages.push_back({owner, text, caption});
    if (onMessage) onMessage(messages.back());
}

std::optional<std::string> ScriptedPrompts::PickFolder(const FolderBrowser& request) {
    folderRequests.push_back(
        {request.Owner(), request.Title(), request.BrowseMode(), request.InitialFolder()});
    if (folderAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(folderAnswers.front());
    folderAnswers.pop_front();
    return answer;
}
