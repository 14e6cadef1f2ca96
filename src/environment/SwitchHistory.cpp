#include "environment/SwitchHistory.h"

#include "environment/Environment.h"
#include "environment/SwitchLog.h"

#include <algorithm>
#include <vector>

namespace {
constexpr size_t kNumberDigits = 10;
constexpr size_t kLongestValue = 32767; // characters, the terminating zero not counted

const char* ScopeName(bool machineWide) {
    return machineWide ? "System" : "User";
}

// Whether the key is a record of this scope's history: the program writes "Scope" last.
bool IsRecord(const UseRegKey& history, const std::string& name, bool machineWide) {
    UseRegKey record;
    return record.Open(history.Get(), name, KEY_READ) == ERROR_SUCCESS &&
           record.QueryString("Scope", UseStringRule::Terminated) == ScopeName(machineWide);
}

// The numbers of the history's records, oldest first.
std::vector<std::string> RecordNumbers(const UseRegKey& history, bool machineWide) {
    std::vector<std::string> numbers;
    for (const std::string& name : history.SubKeyNames().value_or(std::vector<std::string>()))
        if (name.size() == kNumberDigits &&
            std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; }) &&
            IsRecord(history, name, machineWide))
            numbers.push_back(name);
    std::ranges::sort(numbers);
    return numbers;
}

// One more than the latest number, as many digits as it takes.
std::string NextNumber(const std::vector<std::string>& numbers) {
    std::string number = std::to_string(numbers.empty() ? 1 : std::stoull(numbers.back()) + 1);
    return number.insert(0, kNumberDigits - std::min(kNumberDigits, number.size()), '0');
}

bool WriteState(const UseRegKey& record, const char* name, const UseSwitchState& state) {
    UseRegKey key;
    if (key.Create(record.Get(), name, KEY_WRITE) != ERROR_SUCCESS) return false;
    return (!state.root || key.SetStoredValue("NVLROOT", *state.root) == ERROR_SUCCESS) &&
           (!state.path || key.SetStoredValue("PATH", *state.path) == ERROR_SUCCESS);
}

UseSwitchState ReadState(const UseRegKey& record, const char* name) {
    UseRegKey key;
    key.Open(record.Get(), name, KEY_READ);
    return {key.QueryStoredValue("NVLROOT"), key.QueryStoredValue("PATH")};
}
} // namespace

UseSwitchState UseReadSwitchState(bool machineWide) {
    return {UseEnvReadStored("NVLROOT", machineWide), UseEnvReadStored("PATH", machineWide)};
}

bool UseIsRestorableValue(const std::optional<UseRegKey::Value>& value) {
    if (!value) return true;
    const std::string& data = value->data;
    return (value->type == REG_SZ || value->type == REG_EXPAND_SZ) && data.size() % 2 == 0 &&
           data.size() >= 2 && data.ends_with(std::string(2, '\0')) && data.size() / 2 - 1 <= kLongestValue;
}

void UseRecordSwitch(bool machineWide, const UseSwitchState& before) {
    const UseSwitchState after = UseReadSwitchState(machineWide);
    if (after == before) return;
    UseRegKey history;
    if (history.Create(UseRegRoot(machineWide), kSwitchHistoryKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return;
    std::vector<std::string> numbers = RecordNumbers(history, machineWide);
    std::string next = NextNumber(numbers);
    if (next.size() > kNumberDigits) {
        for (const std::string& number : numbers)
            UseRegDeleteKeyTree(kSwitchHistoryKey, number, machineWide);
        numbers.clear();
        next = NextNumber(numbers);
    }
    numbers.push_back(next);
    UseRegKey record;
    if (record.Create(history.Get(), next, KEY_WRITE) != ERROR_SUCCESS) return;
    // "Scope" last: a record cut short by a refused write has none and is passed over.
    if (!WriteState(record, "Before", before) || !WriteState(record, "After", after) ||
        record.SetString("Time", UseFormatNow(), REG_SZ) != ERROR_SUCCESS ||
        record.SetString("Scope", ScopeName(machineWide), REG_SZ) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i + kSwitchHistoryLength < numbers.size(); ++i)
        UseRegDeleteKeyTree(kSwitchHistoryKey, numbers[i], machineWide);
}

std::optional<UseSwitchRecord> UseLastSwitchRecord(bool machineWide) {
    const UseRegKey history = UseRegOpenKey(kSwitchHistoryKey, machineWide, KEY_READ);
    if (!history) return std::nullopt;
    const std::vector<std::string> numbers = RecordNumbers(history, machineWide);
    if (numbers.empty()) return std::nullopt;
    UseRegKey record;
    if (record.Open(history.Get(), numbers.back(), KEY_READ) != ERROR_SUCCESS) return std::nullopt;
    return UseSwitchRecord{numbers.back(), machineWide,
                           record.QueryString("Time", UseStringRule::Terminated).value_or(""),
                           ReadState(record, "Before"), ReadState(record, "After")};
}

void UseForgetSwitchRecord(const UseSwitchRecord& record) {
    UseRegDeleteKeyTree(kSwitchHistoryKey, record.number, record.machineWide);
}
