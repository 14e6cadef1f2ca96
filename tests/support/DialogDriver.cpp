#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <map>

namespace {
using Script = std::function<void(DialogDriver&)>;

constexpr UINT_PTR kDriveTimer = 0x4B44; // an id of our own among the dialog's timers
constexpr int kMaxWaitTicks = 500;       // ticks of 10 ms: about five seconds to come on screen

std::deque<Script> pendingScripts;
std::map<HWND, std::pair<Script, int>> armedScripts; // each dialog's script and the ticks it waited
HHOOK creationHook = nullptr;

void CALLBACK DriveDialog(HWND dialog, UINT, UINT_PTR, DWORD) {
    // The dialog is shown the first time its modal loop goes idle; a script runs only once it is.
    if (!IsWindowVisible(dialog) && ++armedScripts[dialog].second < kMaxWaitTicks) return;
    KillTimer(dialog, kDriveTimer);
    const Script script = std::move(armedScripts[dialog].first);
    armedScripts.erase(dialog);
    DialogDriver driver(dialog);
    const bool shown = driver.IsOpen();
    if (shown) script(driver);
    if (!shown || driver.IsOpen()) {
        ADD_FAILURE() << (shown ? "the dialog script left \"" + driver.Caption() + "\" open"
                                : "the dialog never came on screen");
        EndDialog(dialog, IDABORT);
    }
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    char className[16] = "";
    if (code == HCBT_CREATEWND && !pendingScripts.empty() &&
        GetClassNameA(window, className, sizeof className) && std::string(className) == "#32770") {
        armedScripts[window] = {std::move(pendingScripts.front()), 0};
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

void RunDialog(UseModalDialog& dialog, std::function<void(DialogDriver&)> script) {
    const std::size_t queuedBefore = pendingScripts.size();
    WhenNextDialogOpens(std::move(script));
    dialog.DoModal();
    if (pendingScripts.size() > queuedBefore) {
        ADD_FAILURE() << "dialog template " << dialog.TemplateId() << " did not open";
        pendingScripts.pop_back();
    }
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

std::optional<std::string> ScriptedPrompts::PickFolder(const FolderBrowser&) {
    if (folderAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(folderAnswers.front());
    folderAnswers.pop_front();
    return answer;
}
