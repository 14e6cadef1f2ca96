#include "support/PrefixState.h"

#include "platform/Registry.h"
#include "support/Sandbox.h"

namespace {
const char* const kTouchedVariables[] = {"NVLROOT", "PATH", "NVL_SITE", "NVL_LIC_FILE"};

const char* EnvironmentKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

// Removes the program's and the suite's keys and the shell registrations the program writes.
void RemoveSuiteKeys() {
    for (bool machineWide : {true, false}) {
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Norvale");
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Wow6432Node\\Norvale");
        const UseRegKey classes = UseRegOpenKey("SOFTWARE\\Classes", machineWide, KEY_ALL_ACCESS);
        std::vector<std::string> doomed;
        for (DWORD i = 0; const auto name = classes.SubKeyName(i, 256); ++i)
            if (name->ends_with("_auto_file_mvxnrvl"))
                doomed.insert(doomed.end(), {*name, "." + name->substr(0, name->size() - 18)});
        for (const std::string& key : doomed)
            RegDeleteTreeA(classes.Get(), key.c_str());
    }
}
} // namespace

ScopedPrefixRegistry::ScopedPrefixRegistry() {
    for (bool machineWide : {true, false})
        for (const char* name : kTouchedVariables)
            environment_.push_back(
                {machineWide, name,
                 UseRegOpenKey(EnvironmentKey(machineWide), machineWide, KEY_READ).QueryValue(name)});
    RemoveSuiteKeys();
}

ScopedPrefixRegistry::~ScopedPrefixRegistry() {
    for (const Saved& saved : environment_) {
        UseRegKey key;
        if (key.Create(UseRegRoot(saved.machineWide), EnvironmentKey(saved.machineWide), KEY_ALL_ACCESS) !=
            ERROR_SUCCESS)
            continue;
        if (saved.value)
            RegSetValueExA(key.Get(), saved.name.c_str(), 0, saved.value->type,
                           reinterpret_cast<const BYTE*>(saved.value->data.data()),
                           static_cast<DWORD>(saved.value->data.size()));
        else
            RegDeleteValueA(key.Get(), saved.name.c_str());
    }
    RemoveSuiteKeys();
}
