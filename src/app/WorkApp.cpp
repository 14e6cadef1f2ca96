#include "app/WorkApp.h"

#include "app/ParameterParser.h"
#include "app/StandardOutput.h"
#include "associations/ShellClasses.h"
#include "environment/Environment.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/UseException.h"
#include "ui/DialogMode.h"

#include <windows.h>

namespace {
constexpr const char* kBaseName = "kelmora";
} // namespace

std::optional<std::string> UseArgumentText(const std::string& commandLine) {
    const std::string text = UseTrimBlanks(UseToLower(commandLine));
    const size_t base = text.find(kBaseName);
    if (base == std::string::npos) return std::nullopt;
    const size_t dash = text.find('-', base);
    if (dash == std::string::npos) return std::nullopt;
    return text.substr(dash);
}

int UseExitCodeOf(const UseCommandLineRun& run) {
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
        parser.AddParameter(option.name, true, kUseTypeString);

    const std::optional<std::string> arguments = UseArgumentText(GetCommandLineA());
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
    if (RunOptions(parser, run)) {
        UseBroadcastEnvChange();
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
bool CUse_WorkApp::RunOptions(const UseParameterParser& parser, UseCommandLineRun& run) {
    try {
        for (int i = 0; i < parser.GetParameterCount(); ++i) {
            const UseParameter entry = parser.GetParameter(i);
            for (const UseOption& option : kUseOptions)
                if (entry.name == option.name) option.action(entry.value, run);
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
