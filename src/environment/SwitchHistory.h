#pragma once
// The program's own record of its last switches, for going back: each record holds the scope, the
// time, and NVLROOT and PATH of that environment exactly as stored before and after the switch (type
// and bytes, a missing value recorded as missing). Kept per user under
// HKEY_CURRENT_USER\SOFTWARE\Norvale\Morvane\History, one subkey per switch named by its number
// (0000000001 and up), each with the values "Scope" and "Time" and the subkeys "Before" and "After"
// holding "NVLROOT" and "PATH" as the environment held them.
#include "platform/Registry.h"

#include <optional>
#include <string>

inline constexpr const char* kSwitchHistoryKey = "SOFTWARE\\Norvale\\Morvane\\History";
// The records kept; the oldest goes when a switch would make more.
inline constexpr size_t kSwitchHistoryLength = 16;

// NVLROOT and PATH of one environment exactly as stored; nothing for a variable that is not set.
struct UseSwitchState {
    std::optional<UseRegKey::Value> root;
    std::optional<UseRegKey::Value> path;
    bool operator==(const UseSwitchState&) const = default;
};
UseSwitchState UseReadSwitchState(bool machineWide);

// The text of a stored string value as UTF-8; empty for a value that is missing or not a string.
std::string UseStoredText(const std::optional<UseRegKey::Value>& value);

struct UseSwitchRecord {
    std::string number; // the record's subkey
    bool machineWide = false;
    std::string time; // as the switch log writes it
    UseSwitchState before;
    UseSwitchState after;
};

// Records a switch in the scope that found it as before and left it as it is now; a switch that
// changed nothing is not recorded. A record that cannot be stored is not reported.
void UseRecordSwitch(bool machineWide, const UseSwitchState& before);
// The latest record; nothing when there is none or it cannot be read.
std::optional<UseSwitchRecord> UseLastSwitchRecord();
// Removes a record, so that the one before it becomes the latest.
void UseForgetSwitchRecord(const UseSwitchRecord& record);
