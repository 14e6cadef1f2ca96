#include "support/Process.h"

#include "platform/Text.h"

#include <windows.h>

#include <thread>

namespace {
// Follows the debug events of the process that this thread started until it ends, or kills it when
// the time is up; false then.
bool FollowUntilExit(HANDLE process, unsigned long timeoutMs, std::vector<std::string>& libraries) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        DEBUG_EVENT event{};
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline || !WaitForDebugEvent(&event, static_cast<DWORD>(deadline - now))) {
            DebugActiveProcessStop(GetProcessId(process));
            TerminateProcess(process, 255);
            return false;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case EXIT_PROCESS_DEBUG_EVENT:
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            return true;
        case CREATE_PROCESS_DEBUG_EVENT:
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT: {
            char path[MAX_PATH] = "";
            GetFinalPathNameByHandleA(event.u.LoadDll.hFile, path, MAX_PATH, 0);
            CloseHandle(event.u.LoadDll.hFile);
            const std::string name = UseToLower(path);
            libraries.push_back(name.substr(name.rfind('\\') + 1));
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            // The process's own exceptions are its own to handle; only the loader's breakpoint is ours.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}
} // namespace

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\'));
}

ProcessResult RunProgram(const std::string& exePath, const std::string& arguments,
                         const std::string& workingFolder, unsigned long timeoutMs) {
    ProcessResult result;
    // The child's first broadcast would otherwise start Wine's desktop process, which inherits the
    // pipe below and holds it open long after the child has ended.
    GetDesktopWindow();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                       workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        result.exitCode = static_cast<unsigned long>(-1);
        return result;
    }
    // Drain the pipe while the process runs, so a chatty child never blocks on a full pipe.
    std::thread reader([&] {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            result.output.append(buffer, got);
    });
    result.timedOut = !FollowUntilExit(process.hProcess, timeoutMs, result.libraries);
    WaitForSingleObject(process.hProcess, INFINITE);
    reader.join();
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    return result;
}

ProcessResult RunKelmora(const std::string& arguments, const std::string& workingFolder) {
    return RunProgram(BuildFolder() + "\\kelmora.exe", arguments, workingFolder);
}
