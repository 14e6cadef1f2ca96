#pragma once
// The application: one object per process, whose start-up routine does all the work.
#include "app/Options.h"

#include <optional>
#include <string>

class UseParameterParser;

// Exit codes, for scripts.
enum UseExitCode : int {
    kUseExitDone = 0,     // every option did its work (or the dialog ran)
    kUseExitFailed = 1,   // the command line could not be parsed, a value was refused, or a run failed
    kUseExitNotFound = 2, // a release or a "-path" folder was not found
    // "-exec" ends with the exit code of its command
};

class CUse_WorkApp {
public:
    // Reads the process command line and either acts on its options (command-line mode) or runs the
    // main dialog (dialog mode). Returns false in every case: no message loop follows, the process
    // ends when this returns.
    bool InitInstance();

    int ExitCode() const { return exitCode_; }

private:
    // Command-line mode, dialog mode, or the first and then the second.
    void Run();
    // Runs every parsed option's action in command-line order; false when a failure ended the run
    // before the last one.
    // argumentsAsTyped: the argument text in the letter case it was typed in.
    bool RunOptions(const UseParameterParser& parser, const std::string& argumentsAsTyped,
                    UseCommandLineRun& run);
    void RunDialogMode();

    int exitCode_ = kUseExitDone;
};

// The options part of a command line (UTF-8): lower-cased and trimmed of blanks, from the first "-"
// after the program's own path to the end. Nothing when there is no such "-" (dialog mode). With
// keepCase, the same part in the letter case it was typed in: letter case is folded byte by byte, so
// each character stands where it stands in the lower-cased text.
std::optional<std::string> UseArgumentText(const std::string& commandLine, bool keepCase = false);

// The exit code of a command-line run whose options were all acted on: the exit code of the command
// that "-exec" ran, else a refusal outweighs a release or folder not found.
int UseExitCodeOf(const UseCommandLineRun& run);
