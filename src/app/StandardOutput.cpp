#include "app/StandardOutput.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

void UseConnectStandardOutput() {
    // A pipe, a file or a device (NUL) is where the caller wants the output: keep it. Only a handle
    // of no known kind (a windowed program started from a console gets none) is replaced.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool connected =
        out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN;
    if (!connected && AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* reopened = nullptr;
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    }
    // Lines end in a bare line feed, byte for byte what is printed, whatever the runtime's text mode
    // would make of it.
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

unsigned UseConsoleCodePage() {
    if (const UINT attached = GetConsoleOutputCP()) return attached;
    // Output to a pipe leaves this windowed program without a console; the parent's, when it has one,
    // is the reader's.
    UINT parent = 0;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        parent = GetConsoleOutputCP();
        FreeConsole();
    }
    return parent != 0 ? parent : CP_ACP;
}

void UsePrintLine(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}
