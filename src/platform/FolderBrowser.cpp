#include "platform/FolderBrowser.h"

#include "platform/LazyFunction.h"
#include "platform/Prompts.h"

#include <shlobj.h>

namespace {
constexpr std::size_t kStatusTextLength = 35;

auto browseForFolder = USE_LAZY_FUNCTION("shell32.dll", SHBrowseForFolderA);
auto pathFromIdList = USE_LAZY_FUNCTION("shell32.dll", SHGetPathFromIDListA);
auto initializeCom = USE_LAZY_FUNCTION("ole32.dll", CoInitializeEx);
auto uninitializeCom = USE_LAZY_FUNCTION("ole32.dll", CoUninitialize);
auto freeComMemory = USE_LAZY_FUNCTION("ole32.dll", CoTaskMemFree);

// Selects the initial folder as the picker opens and keeps the status line on the current selection.
int CALLBACK BrowseCallback(HWND picker, UINT message, LPARAM lParam, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        const auto* initialFolder = reinterpret_cast<const std::string*>(data);
        if (!initialFolder->empty())
            SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initialFolder->c_str()));
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = "";
        if (pathFromIdList(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path)) {
            const std::string status = UseFolderStatusText(path);
            SendMessageA(picker, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
        }
    }
    return 0;
}
} // namespace

std::string UseFolderStatusText(const std::string& path) {
    if (path.size() <= kStatusTextLength) return path;
    return path.substr(0, kStatusTextLength) + "...";
}

FolderBrowser::FolderBrowser(HWND owner, std::string title, Mode mode, std::string initialFolder)
    : owner_(owner), title_(std::move(title)), mode_(mode), initialFolder_(std::move(initialFolder)) {}

std::optional<std::string> FolderBrowser::Browse() const {
    if (UsePrompts* prompts = UseInstalledPrompts()) return prompts->PickFolder(*this);
    return ShowShellPicker();
}

std::optional<std::string> FolderBrowser::ShowShellPicker() const {
    char displayName[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = owner_;
    info.pszDisplayName = displayName;
    info.lpszTitle = title_.c_str();
    info.ulFlags = BIF_STATUSTEXT | (mode_ == Mode::FoldersAndFiles ? BIF_BROWSEINCLUDEFILES : 0);
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&initialFolder_);

    // The shell's picker wants COM on this thread; the program itself uses none.
    const HRESULT com = initializeCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = browseForFolder(&info);
    if (SUCCEEDED(com)) uninitializeCom();
    if (chosen == nullptr) return std::nullopt;
    char path[MAX_PATH] = "";
    const bool hasPath = pathFromIdList(chosen, path) != FALSE;
    freeComMemory(chosen);
    if (!hasPath) return std::nullopt;
    return std::string(path);
}
