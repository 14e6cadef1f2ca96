#include "app/WorkApp.h"
#include "platform/LazyFunction.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: the program, run elevated from a downloads or shared tools
    // folder, takes libraries from the system folder only, never one planted beside it, in the current
    // folder or on PATH. The libraries it loads itself say so too (platform/LazyFunction.h).
    UseSearchSystemFolderOnly();
    CUse_WorkApp app;
    app.InitInstance();
    return app.ExitCode();
}
