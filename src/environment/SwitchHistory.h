#pragma once
// The program's own record of its last switches, for going back: each record holds the scope, the
// time, and NVLROOT and PATH of that environment exactly as stored before and after the switch (type
// and bytes, a missing value recorded as missing). A switch of the system environment is recorded where
// only administrators may write, HKEY_LOCAL_MACHINE\SOFTWARE\Norvale\Morvane\History, and one of the
// user environment under HKEY_CURRENT_USER at the same path: what the user's own programs may write
// never decides what an undo stores for the whole machine. One subkey per switch, named by its number
// (0000000001 and up), each with the values "Scope" ("System" or "User", as its place says) and "Time"
// and the subkeys "Before" and "After" holding "NVLROOT" and "PATH" as the environment held them.
#include "platform/Registry.h"

#include <optional>
#include <string>

inline constexpr const char* kSwitchHistoryKey = "SOFTWARE\\Norvale\\Morvane\\History";
// The records kept in each place; the oldest goes when a switch would make more.
inline constexpr size_t kSwitchHistoryLength = 16;

// NVLROOT and PATH of one environment exactly as stored; nothing for a variable that is not set.
struct UseSwitchState {
    std::optional<UseRegKey::Value> root;
    std::optional<UseRegKey::Value> path;
    bool operator==(const UseSwitchState&) const = default;
};
UseSwitchState UseReadSwitchState(bool machineWide);

// Whether an undo may store the value as an environment variable: not set, or a REG_SZ or
// REG_EXPAND_SZ of whole UTF-16 units ending in a zero, of at most 32,767 characters before it.
bool UseIsRestorableValue(const std::optional<UseRegKey::Value>& value);

struct UseSwitchRecord {
    std::string number; // the record's subkey
    bool machineWide = false;
    std::string time; // as the switch log writes it
    UseSwitchState before;
    UseSwitchState after;
};

// Records a switch in the scope that found it as before and left it as it is now; a switch that
// changed nothing is not recorded. A record that cannot be stored is not reported. Numbers follow the
// records the program wrote: a key that holds no record (planted, or cut short) takes none, and when
// the next number would pass 9999999999, the history starts again from 0000000001.
void UseRecordSwitch(bool machineWide, const UseSwitchState& before);
// The latest record of the scope's own history; nothing when there is none or it cannot be read.
std::optional<UseSwitchRecord> UseLastSwitchRecord(bool machineWide);
// Removes a record, so that the one before it becomes the latest.
void UseForgetSwitchRecord(const UseSwitchRecord& record);
