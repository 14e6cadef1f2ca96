#include "support/Process.h"

#include <windows.h>

#include <thread>

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\'));
}

void CloseDialog(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

ProcessResult RunProgram(const std::string& exePath, const std::string& arguments,
                         const DialogUser& dialogUser) {
    ProcessResult result;
    // The child's first broadcast would otherwise start Wine's desktop process, which inherits the
    // pipe below and holds it open long after the child has ended.
    GetDesktopWindow();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = writeEnd;
    // Quoted only when it must be, as a shell writes it: both forms of a program's own path are read.
    const std::string program = exePath.find(' ') == std::string::npos ? exePath : "\"" + exePath + "\"";
    const std::string utf8 = program + (arguments.empty() ? "" : " " + arguments);
    std::wstring commandLine(utf8.size() + 1, L'\0');
    commandLine.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, commandLine.data(),
                                           static_cast<int>(commandLine.size())));
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        // Drain the pipe while the process runs, so a chatty child never blocks on a full pipe.
        std::thread reader([&] {
            char buffer[4096];
            for (DWORD got = 0; ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0;)
                result.output.append(buffer, got);
        });
        std::jthread user([&](std::stop_token ended) {
            for (HWND dialog = nullptr; !ended.stop_requested(); Sleep(dialog ? 0 : 20)) {
                dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr);
                DWORD owner = 0;
                char caption[128] = "";
                GetWindowThreadProcessId(dialog, &owner);
                // Once on screen: by then its controls are all there.
                if (owner != process.dwProcessId || !IsWindowVisible(dialog) ||
                    !GetWindowTextA(dialog, caption, sizeof caption))
                    continue;
                result.dialog = caption;
                dialogUser(dialog);
            }
        });
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, INFINITE);
        user.request_stop();
        user.join();
        reader.join();
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return result;
}

ProcessResult RunKelmora(const std::string& arguments) {
    return RunProgram(BuildFolder() + "\\kelmora.exe", arguments);
}
