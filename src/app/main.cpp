#include "app/WorkApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CUse_WorkApp app;
    app.InitInstance();
    return app.ExitCode();
}
