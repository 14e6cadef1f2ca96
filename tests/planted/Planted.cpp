// Stands in for a program or a library that someone planted where kelmora must not pick it up: run or
// loaded, it leaves "<its own path>.ran" behind, holding the command line of the process it ran in as
// UTF-8; run as a program, it prints that command line too.
#include <windows.h>

#include <cstdio>
#include <string>

static std::string CommandLine() {
    const wchar_t* wide = GetCommandLineW();
    std::string text(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text.c_str();
}

static void LeaveMark(HMODULE self) {
    char path[MAX_PATH + 8] = "";
    lstrcpyA(path + GetModuleFileNameA(self, path, MAX_PATH), ".ran");
    if (FILE* mark = std::fopen(path, "wb")) {
        std::fputs(CommandLine().c_str(), mark);
        std::fclose(mark);
    }
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
    return TRUE;
}

int main() {
    LeaveMark(nullptr);
    std::fputs(CommandLine().c_str(), stdout);
}
