#include "app/RegistryScript.h"

#include "app/Options.h"
#include "app/StandardOutput.h"
#include "platform/FileSystem.h"

#include <cstdlib>

UseRegistryScriptCommand UseComposeRegistryScriptCommand(const std::string& file) {
    if (file.size() > kUseRegistryScriptPathLimit)
        return {{},
                "The registry script path is longer than " + std::to_string(kUseRegistryScriptPathLimit) +
                    " characters; nothing was imported."};
    // No Windows file name holds a double quote; one here would close the quoted path and hand the
    // rest of the value to the shell as commands.
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
    // Waits until the editor ends. Its result says nothing reliable about the import (the editor
    // reports a missing file in its own way), so it is not looked at.
    std::system(script.command.c_str());
}
