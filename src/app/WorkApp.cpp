#include "app/WorkApp.h"

#include "app/ParameterParser.h"
#include "app/StandardOutput.h"
#include "associations/ShellClasses.h"
#include "environment/Environment.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "platform/UseException.h"
#include "ui/DialogMode.h"

#include <windows.h>

#include <algorithm>

namespace {
// Every parsed entry names a registered option, so one of them is always found.
const UseOption& OptionOf(const UseParameter& entry) {
    return *std::ranges::find_if(kUseOptions,
                                 [&entry](const UseOption& option) { return entry.name == option.name; });
}

// Where the program's own path, the first word of the command line, ends: as Windows splits that word,
// a quoted path runs to its closing quote, any other to the first blank or tab.
size_t EndOfProgramPath(std::string_view commandLine) {
    if (commandLine.starts_with('"')) {
        const size_t closing = commandLine.find('"', 1);
        return closing == std::string_view::npos ? commandLine.size() : closing + 1;
    }
    return std::min(commandLine.find_first_of(" \t"), commandLine.size());
}
} // namespace

std::optional<std::string> UseArgumentText(const std::string& commandLine, bool keepCase) {
    // The program's own path names no option, whatever its file and folders are called.
    const size_t dash = commandLine.find('-', EndOfProgramPath(commandLine));
    if (dash == std::string::npos) return std::nullopt;
    const std::string_view arguments = std::string_view(commandLine).substr(dash);
    return UseTrimBlanks(keepCase ? std::string(arguments) : UseToLower(arguments));
}

int UseExitCodeOf(const UseCommandLineRun& run) {
    if (run.commandExitCode) return static_cast<int>(*run.commandExitCode);
    if (run.refused) return kUseExitFailed;
    if (run.notFound) return kUseExitNotFound;
    return kUseExitDone;
}

bool CUse_WorkApp::InitInstance() {
    Run();
    // Once for the whole run, however many file types its options and dialogs changed.
    UseNotifyShellOfAssociationChanges();
    return false;
}

void CUse_WorkApp::Run() {
    UseConnectStandardOutput();
    UseParameterParser parser;
    for (const UseOption& option : kUseOptions)
        parser.AddParameter(option.name, option.valueKind, kUseTypeString);

    // Read wide: "-exec" hands its command on with every character as typed, and no other value
    // takes a look-alike of a character its code page lacks (Unicode.h).
    const std::string commandLine = UseProcessCommandLine();
    const std::optional<std::string> arguments = UseArgumentText(commandLine);
    if (!arguments) {
        RunDialogMode();
        return;
    }
    try {
        parser.Parse(*arguments);
    } catch (const std::exception& error) {
        UsePrintLine(error.what());
        exitCode_ = kUseExitFailed;
        return;
    }

    UseCommandLineRun run;
    if (RunOptions(parser, *UseArgumentText(commandLine, true), run)) {
        // A run that only reads (a script's "-env" in a loop, say) keeps every window undisturbed.
        bool writes = false;
        for (int i = 0; i < parser.GetParameterCount(); ++i)
            writes = writes || OptionOf(parser.GetParameter(i)).writes;
        if (writes) UseBroadcastEnvChange();
        exitCode_ = UseExitCodeOf(run);
    } else {
        exitCode_ = kUseExitFailed;
    }
    // Where no one can see a dialog (a service, a start-up script), the exit code tells the script.
    if (run.openDialog && UseDesktopIsVisible()) RunDialogMode();
}

// A failure of the program's own (a store that cannot be loaded) is reported like a standard
// exception: its message on a line of its own, the remaining options and the broadcast skipped, so
// that a script sees exit code 1 rather than a half-done switch announced to every window.
bool CUse_WorkApp::RunOptions(const UseParameterParser& parser, const std::string& argumentsAsTyped,
                              UseCommandLineRun& run) {
    try {
        for (int i = 0; i < parser.GetParameterCount(); ++i) {
            const UseParameter entry = parser.GetParameter(i);
            // The parsed command is the end of the lower-cased argument text; the same end of the
            // text as typed is the command with its letter case.
            run.command = argumentsAsTyped.substr(argumentsAsTyped.size() -
                                                  std::min(argumentsAsTyped.size(), entry.command.size()));
            // The actions work in the ANSI code page, as the registry's and the file system's 8-bit
            // functions do; a character it lacks is "?", which names no release and no file.
            OptionOf(entry).action(UseAnsiFromUtf8(entry.value), run);
        }
        return true;
    } catch (const std::exception& error) {
        UsePrintLine(error.what());
    } catch (const UseException& error) {
        UsePrintLine(error.Message());
    }
    return false;
}

// The main dialog handles its own failures; one that still escapes it is shown rather than lost,
// since nobody reads standard output in dialog mode.
void CUse_WorkApp::RunDialogMode() {
    // Nothing is shown where no one could answer it: the run ends instead of waiting for ever.
    if (!UseDesktopIsVisible()) {
        UsePrintLine("The main dialog was not opened: no one can see this session's desktop.");
        exitCode_ = kUseExitFailed;
        return;
    }
    std::string failure;
    try {
        if (UseRunDialogMode()) return;
        failure = "The main dialog could not be opened.";
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (const UseException& error) {
        failure = error.Message();
    }
    UsePrintLine(failure);
    MessageBoxA(nullptr, failure.c_str(), "Morvane", MB_OK | MB_ICONEXCLAMATION); // when windows work at all
    exitCode_ = kUseExitFailed;
}
