#include "platform/LazyFunction.h"

#include <stdexcept>
#include <string>

void UseSearchSystemFolderOnly() {
    // Asked for by name: Windows 7 has it only with its update KB2533623, and a missing import would
    // keep the program from starting at all. Without it the current folder at least leaves the search.
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefault>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

HMODULE UseLoadSystemLibrary(const char* library) {
    // By its full path in the system folder, on every version of Windows; what it loads in turn is
    // looked for there first.
    char folder[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryExA((std::string(folder) + "\\" + library).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC UseFindLibraryFunction(const char* library, const char* function) {
    // Loaded for the rest of the process: a library is found once, however many functions it gives.
    const HMODULE module = UseLoadSystemLibrary(library);
    return module == nullptr ? nullptr : GetProcAddress(module, function);
}

void UseThrowMissingFunction(const char* library, const char* function) {
    throw std::runtime_error(std::string("The system function ") + function + " of " + library +
                             " is missing.");
}
