#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <exception>
#include <map>

namespace {
using Script = std::function<void(DialogDriver&)>;

constexpr UINT_PTR kDriveTimer = 0x4B44; // an id of our own among the dialog's timers
constexpr int kMaxWaitTicks = 500;       // ticks of 10 ms: about five seconds to come on screen

struct ArmedScript {
    Script script;
    int waitedTicks = 0;
};
std::deque<Script> pendingScripts;
std::map<HWND, ArmedScript> armedScripts;
HHOOK creationHook = nullptr;

void CALLBACK DriveDialog(HWND dialog, UINT, UINT_PTR, DWORD) {
    // The dialog is shown the first time its modal loop goes idle; a script runs only once it is.
    if (!IsWindowVisible(dialog) && ++armedScripts[dialog].waitedTicks < kMaxWaitTicks) return;
    KillTimer(dialog, kDriveTimer);
    const Script script = std::move(armedScripts[dialog].script);
    armedScripts.erase(dialog);
    DialogDriver driver(dialog);
    const bool shown = IsWindowVisible(dialog) != FALSE;
    if (!shown) ADD_FAILURE() << "the dialog never came on screen";
    try {
        if (shown) script(driver);
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "the dialog script threw: " << failure.what();
    }
    if (driver.IsOpen()) ADD_FAILURE() << "the dialog script left \"" << driver.Caption() << "\" open";
    if (!shown || driver.IsOpen()) EndDialog(dialog, IDABORT);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    char className[16] = "";
    if (code == HCBT_CREATEWND && !pendingScripts.empty() &&
        GetClassNameA(window, className, sizeof className) && std::string(className) == "#32770") {
        armedScripts[window].script = std::move(pendingScripts.front());
        pendingScripts.pop_front();
        SetTimer(window, kDriveTimer, 10, DriveDialog);
        if (pendingScripts.empty() && UnhookWindowsHookEx(creationHook)) creationHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
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

void DialogDriver::Type(int id, const std::string& text) const {
    UseControl(Item(id)).SetText(text);
    Command(id, EN_CHANGE, Item(id));
}

void DialogDriver::Click(int id) const {
    ASSERT_TRUE(IsWindowEnabled(Item(id)) && IsWindowVisible(Item(id)))
        << "button " << id << " cannot be clicked";
    Command(id, BN_CLICKED, Item(id));
}

std::vector<std::string> DialogDriver::ListItems(int id) const {
    const UseListBox list(Item(id));
    std::vector<std::string> items;
    for (int index = 0, count = list.Count(); index < count; ++index)
        items.push_back(list.ItemText(index));
    return items;
}

void DialogDriver::SelectListItem(int id, int index) const {
    UseListBox(Item(id)).SetCurrentSelection(index);
    Command(id, LBN_SELCHANGE, Item(id));
}

void DialogDriver::DoubleClickListItem(int id, int index) const {
    SelectListItem(id, index);
    Command(id, LBN_DBLCLK, Item(id));
}

void DialogDriver::HoldOnScreen() const {
    const char* hold = std::getenv("KELMORA_SCREENSHOT_HOLD_MS");
    const ULONGLONG until = GetTickCount64() + (hold != nullptr ? std::strtoul(hold, nullptr, 10) : 3000);
    for (MSG message; GetTickCount64() < until; Sleep(10))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    PressEscape();
}

std::vector<std::string> ScriptedPrompts::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages)
        texts.push_back(message.text);
    return texts;
}

std::optional<std::string> ScriptedPrompts::PickFolder(const FolderBrowser&) {
    if (folderAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(folderAnswers.front());
    folderAnswers.pop_front();
    return answer;
}
