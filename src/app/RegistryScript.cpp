#include "app/RegistryScript.h"

#include "app/Options.h"
#include "app/StandardOutput.h"
#include "platform/FileSystem.h"

#include <windows.h>

namespace {
// The registry editor of the Windows folder, by its full path and as a process of its own, never
// through the command interpreter: an editor of that name in the current folder or on PATH never takes
// its place. Waits until it ends; false when it could not be started.
bool RunRegistryEditor(std::string commandLine) {
    char windows[MAX_PATH] = "";
    const UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::string editor = std::string(windows, length) + "\\regedit.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(editor.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
} // namespace

UseRegistryScriptCommand UseComposeRegistryScriptCommand(const std::string& file) {
    if (file.size() > kUseRegistryScriptPathLimit)
        return {{},
                "The registry script path is longer than " + std::to_string(kUseRegistryScriptPathLimit) +
                    " characters; nothing was imported."};
    // No Windows file name holds a double quote; one here would close the quoted path and hand the
    // rest of the value to the editor as further arguments.
    if (file.find('"') != std::string::npos)
        return {{}, "The registry script path " + file + " holds a double quote; nothing was imported."};
    return {"regedit /s \"" + file + "\"", {}};
}

void UseRunRegistryScript(const std::string& file, UseCommandLineRun& run) {
    // The scope is fixed before the script runs, so a script that changes NVLROOT does not move a
    // later "-rel" or "-path" to another environment.
    UseChooseEnvironmentScope(run);
    const UseRegistryScriptCommand script = UseComposeRegistryScriptCommand(file);
    if (!script.refusal.empty()) {
        UsePrintLine(script.refusal);
        run.refused = true;
        return;
    }
    // The editor is run all the same (it has its own way of telling), but a script learns of it here.
    if (!UseFileExists(file)) {
        UsePrintLine("The registry script " + file + " does not exist.");
        run.refused = true;
    }
    // Its exit code says nothing reliable about the import (the editor reports a missing file in its
    // own way), so it is not looked at.
    if (!RunRegistryEditor(script.command)) {
        UsePrintLine("The registry editor could not be started; nothing was imported.");
        run.refused = true;
    }
}
