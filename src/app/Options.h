#pragma once
// The five command-line options and the action behind each. Every option takes a string value;
// start-up registers them in this order and runs the action of each parsed entry in command-line
// order.
#include "environment/Switch.h"

#include <optional>
#include <string>

// What the actions of one command-line run share.
struct UseCommandLineRun {
    bool openDialog = false; // an action did not find what it was given: the main dialog opens
    bool notFound = false;   // a "-rel" release or a "-path" folder was not found (exit code 2)
    bool refused = false;    // an action refused its value (exit code 1)
    // The environment scope, chosen once by the first switch or registry-script action.
    std::optional<UseSwitchScope> scope;
};

using UseOptionAction = void (*)(const std::string& value, UseCommandLineRun& run);

struct UseOption {
    const char* name;
    UseOptionAction action;
};

inline constexpr int kUseOptionCount = 5;
extern const UseOption kUseOptions[kUseOptionCount];

// Chooses run.scope from NVLROOT (system environment, else user, else none) unless a previous action
// already chose it. Every switch and registry-script action calls it first, so that a script that
// changes NVLROOT does not move a later switch to another scope. (app/CommandLineSwitch.cpp)
void UseChooseEnvironmentScope(UseCommandLineRun& run);

// The actions, each in the file named.
void UseRunRegistryScript(const std::string& file, UseCommandLineRun& run);      // app/RegistryScript.cpp
void UseSwitchToRelease(const std::string& name, UseCommandLineRun& run);        // app/CommandLineSwitch.cpp
void UseSwitchToPath(const std::string& folder, UseCommandLineRun& run);         // app/CommandLineSwitch.cpp
void UseImportUserAssociations(const std::string& file, UseCommandLineRun& run); // app/ImportActions.cpp
void UseImportMachineAssociations(const std::string& file, UseCommandLineRun& run); // app/ImportActions.cpp
