#include "environment/SwitchHistory.h"

#include "environment/Environment.h"
#include "environment/SwitchLog.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr size_t kNumberDigits = 10;

// The records' numbers, oldest first.
std::vector<std::string> RecordNumbers(const UseRegKey& history) {
    std::vector<std::string> numbers;
    for (const std::string& name : history.SubKeyNames().value_or(std::vector<std::string>()))
        if (name.size() == kNumberDigits &&
            std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; }))
            numbers.push_back(name);
    std::ranges::sort(numbers);
    return numbers;
}

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

std::string UseStoredText(const std::optional<UseRegKey::Value>& value) {
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    std::u16string units(value->data.size() / sizeof(char16_t), u'\0');
    std::memcpy(units.data(), value->data.data(), units.size() * sizeof(char16_t));
    return UseUtf8FromUtf16(units.c_str());
}

void UseRecordSwitch(bool machineWide, const UseSwitchState& before) {
    const UseSwitchState after = UseReadSwitchState(machineWide);
    if (after == before) return;
    UseRegKey history;
    if (history.Create(HKEY_CURRENT_USER, kSwitchHistoryKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return;
    std::vector<std::string> numbers = RecordNumbers(history);
    numbers.push_back(NextNumber(numbers));
    UseRegKey record;
    if (record.Create(history.Get(), numbers.back(), KEY_WRITE) != ERROR_SUCCESS) return;
    // "Scope" last: a record cut short by a refused write has none and is passed over.
    if (!WriteState(record, "Before", before) || !WriteState(record, "After", after) ||
        record.SetString("Time", UseFormatNow(), REG_SZ) != ERROR_SUCCESS ||
        record.SetString("Scope", machineWide ? "System" : "User", REG_SZ) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i + kSwitchHistoryLength < numbers.size(); ++i)
        UseRegDeleteKeyTree(kSwitchHistoryKey, numbers[i], false);
}

std::optional<UseSwitchRecord> UseLastSwitchRecord() {
    const UseRegKey history = UseRegOpenKey(kSwitchHistoryKey, false, KEY_READ);
    if (!history) return std::nullopt;
    const std::vector<std::string> numbers = RecordNumbers(history);
    for (auto number = numbers.rbegin(); number != numbers.rend(); ++number) {
        UseRegKey record;
        if (record.Open(history.Get(), *number, KEY_READ) != ERROR_SUCCESS) continue;
        const std::string scope = record.QueryString("Scope", UseStringRule::Terminated).value_or("");
        if (scope != "System" && scope != "User") continue;
        return UseSwitchRecord{*number, scope == "System",
                               record.QueryString("Time", UseStringRule::Terminated).value_or(""),
                               ReadState(record, "Before"), ReadState(record, "After")};
    }
    return std::nullopt;
}

void UseForgetSwitchRecord(const UseSwitchRecord& record) {
    UseRegDeleteKeyTree(kSwitchHistoryKey, record.number, false);
}
