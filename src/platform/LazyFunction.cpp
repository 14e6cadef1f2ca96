#include "platform/LazyFunction.h"

#include "platform/FileSystem.h"

#include <stdexcept>
#include <string>

namespace {
// Whether the loader takes LOAD_LIBRARY_SEARCH_SYSTEM32: Windows 8 and later, and Windows 7 with its
// update KB2533623, which also bring SetDefaultDllDirectories.
bool& SystemFolderSearchWorks() {
    static bool works = false;
    return works;
}
} // namespace

void UseSearchSystemFolderOnly() {
    // Asked for by name: a missing import would keep the program from starting at all on a Windows 7
    // without the update. There, the current folder at least leaves the search.
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefault>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    SystemFolderSearchWorks() = setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!SystemFolderSearchWorks()) SetDllDirectoryA("");
}

HMODULE UseLoadSystemLibrary(const char* library) {
    // A library that a system library loads only when first needed (shell32 takes ole32 for its
    // notices and ShellExecute) is looked for by Wine in the program's folder first, whatever search the
    // process asked for; loaded from the system folder beforehand, it is found already loaded.
    if (lstrcmpiA(library, "shell32.dll") == 0 && UseLoadSystemLibrary("ole32.dll") == nullptr)
        return nullptr;
    // By its full path in the system folder, and the libraries it imports in turn from the system
    // folder alone: a search "altered" to start in the library's folder ends in the current folder.
    const std::string folder = UseSystemFolder();
    if (folder.empty()) return nullptr;
    return LoadLibraryExA((folder + "\\" + library).c_str(), nullptr,
                          SystemFolderSearchWorks() ? LOAD_LIBRARY_SEARCH_SYSTEM32 : 0);
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
