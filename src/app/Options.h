#pragma once
// The command-line options and the action behind each. Start-up registers them in this order and runs
// the action of each parsed entry in command-line order.
#include "app/ParameterParser.h"
#include "environment/Switch.h"

#include <optional>
#include <string>

// What the actions of one command-line run share.
struct UseCommandLineRun {
    bool openDialog = false; // an action did not find what it was given: the main dialog opens
    bool notFound = false;   // a release or a "-path" folder was not found (exit code 2)
    bool refused = false;    // an action refused its value or found a problem (exit code 1)
    // The environment scope, chosen once by the first switch or registry-script action.
    std::optional<UseSwitchScope> scope;
    // The command of "-exec" with its letter case as typed, and its exit code once it has run.
    std::string command;
    std::optional<unsigned long> commandExitCode;
};

using UseOptionAction = void (*)(const std::string& value, UseCommandLineRun& run);

struct UseOption {
    const char* name;
    UseValueKind valueKind;
    UseOptionAction action;
    // The option writes to the registry: a run that holds one ends with the environment broadcast.
    bool writes;
};

inline constexpr int kUseOptionCount = 13;
extern const UseOption kUseOptions[kUseOptionCount];

// Chooses run.scope from NVLROOT (system environment, else user, else none) unless a previous action
// already chose it. Every switch and registry-script action calls it first, so that a script that
// changes NVLROOT does not move a later switch to another scope. (app/CommandLineSwitch.cpp)
void UseChooseEnvironmentScope(UseCommandLineRun& run);
// The root of the release named, as UseLookUpRelease finds it with the user's trust; empty, after
// printing the line that says so and marking the run, when there is none. (app/CommandLineSwitch.cpp)
std::string UseFindReleaseRoot(const std::string& name, UseCommandLineRun& run);
// The release pinned for a folder (UTF-8, catalogue/ReleasePin.h); empty, after printing the line that
// says why and marking the run, when there is no pin, it cannot be read, or it names no installed
// release (a release not found). (app/PinAction.cpp)
UseRelease UseFindPinnedRelease(const std::string& folder, UseCommandLineRun& run);

// The actions, each in the file named.
void UseRunRegistryScript(const std::string& file, UseCommandLineRun& run);      // app/RegistryScript.cpp
void UseSwitchToRelease(const std::string& name, UseCommandLineRun& run);        // app/CommandLineSwitch.cpp
void UseSwitchToPath(const std::string& folder, UseCommandLineRun& run);         // app/CommandLineSwitch.cpp
void UseDeployRelease(const std::string& name, UseCommandLineRun& run);          // app/CommandLineSwitch.cpp
void UseImportUserAssociations(const std::string& file, UseCommandLineRun& run); // app/ImportActions.cpp
void UseImportMachineAssociations(const std::string& file, UseCommandLineRun& run); // app/ImportActions.cpp
void UseListReleases(const std::string& form, UseCommandLineRun& run);              // app/ListAction.cpp
void UseUndoLastSwitch(const std::string& none, UseCommandLineRun& run);            // app/UndoAction.cpp
void UsePrintReleaseEnvironment(const std::string& name, UseCommandLineRun& run);   // app/ReleaseConsole.cpp
void UseRunWithRelease(const std::string& name, UseCommandLineRun& run);            // app/ReleaseConsole.cpp
void UseCheckEnvironment(const std::string& none, UseCommandLineRun& run);          // app/CheckAction.cpp
void UsePrintHelp(const std::string& none, UseCommandLineRun& run);                 // app/HelpAction.cpp
void UsePinRelease(const std::string& name, UseCommandLineRun& run);                // app/PinAction.cpp
