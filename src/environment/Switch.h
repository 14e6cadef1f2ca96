#pragma once
// A release switch from start to end: which environment it writes, PATH and NVLROOT there with their
// broadcasts and the log record, the record kept for undoing it, and the root recorded for the file
// associations. The main dialog and the command line both switch, and undo a switch, through here.
#include "catalogue/Detection.h"

#include <windows.h>

#include <string>

// Where a switch writes NVLROOT and rewrites PATH.
enum class UseSwitchScope { System, User, None };

// The system environment when NVLROOT is set there, else the user environment when it is set there,
// else the environment whose PATH mentions "%NVLROOT%" (letter case as written; the user's first),
// else none.
UseSwitchScope UseChooseSwitchScope(const std::string& systemRoot, const std::string& userRoot,
                                    const std::string& systemPath, const std::string& userPath);

// The scope as the registry has it now. A script's switch follows NVLROOT alone; the main dialog
// also follows a PATH that names "%NVLROOT%" (followPath).
UseSwitchScope UseCurrentSwitchScope(bool followPath);

// Empty when a switch of scope may make root active as the release named, else the line that says why
// not: a switch of the system environment takes a release only as what administrators alone can write
// names it (UseReleaseTrust::Machine), never from the user's own traces or hand-configured list, which
// any program the user runs can write. Throws UseException as UseLookUpRelease does.
std::string UseSwitchRefusal(const std::string& name, const std::string& root, UseSwitchScope scope);

struct UseSwitchOutcome {
    std::string root;                // as switched to: trailing backslashes go with the NVLROOT write
    LONG rootStatus = ERROR_SUCCESS; // the NVLROOT write: 0, or the registry's refusal
    bool recordRefused = false;      // "rootDirectory" could not be stored
    // Lines for the user: why PATH was left as it was (another program kept writing it), and why the
    // switch log was not written (what stands at its place is not the log itself).
    std::string pathRefusal = {};
    std::string logRefusal = {};
};

// Switches to root in scope: PATH regrouped (and logged when it changed), then NVLROOT stored, each
// write followed by its broadcast, and the switch added to the history (environment/SwitchHistory.h);
// nothing is written to an environment when the scope is None. With recordRoot, the root is then
// stored as the user's "rootDirectory", whatever the scope and the writes gave.
UseSwitchOutcome UseSwitchRelease(const std::string& root, UseSwitchScope scope, bool recordRoot);

enum class UseUndoResult { Undone, NoHistory, ChangedSince, Refused, Unusable };
struct UseUndoOutcome {
    UseUndoResult result = UseUndoResult::NoHistory;
    bool machineWide = false; // the scope of the switch
    std::string time = {};    // when the switch was made
    const char* changed = ""; // ChangedSince: the variable changed after the switch
};
// Undoes the latest switch of the environment that a switch would write now (UseCurrentSwitchScope,
// PATH followed too), taken from that environment's own history: puts PATH (logged as a switch logs
// it) and then NVLROOT back exactly as they were before it, each write followed by its broadcast, and
// drops its record, so that the next undo goes one switch further back. Writes nothing when there is no
// history, when PATH or NVLROOT no longer holds what that switch left (ChangedSince), or when the
// record holds a value no environment variable may take (Unusable: another type, no terminating zero,
// more than 32,767 characters); Refused when the environment could not be written (the record stays).
UseUndoOutcome UseUndoSwitch();
