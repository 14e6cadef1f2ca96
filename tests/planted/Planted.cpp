// Stands in for a program or a library that someone planted where kelmora must not pick it up: run or
// loaded, it leaves "<its own path>.ran" behind, holding the command line of the process it ran in.
#include <windows.h>

#include <cstdio>

static void LeaveMark(HMODULE self) {
    char path[MAX_PATH + 8] = "";
    lstrcpyA(path + GetModuleFileNameA(self, path, MAX_PATH), ".ran");
    if (FILE* mark = std::fopen(path, "wb")) {
        std::fputs(GetCommandLineA(), mark);
        std::fclose(mark);
    }
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
    return TRUE;
}

int main() {
    LeaveMark(nullptr);
}
