#include "support/PrefixState.h"

#include "platform/Registry.h"
#include "support/Sandbox.h"

namespace {
const char* const kTouchedVariables[] = {"NVLROOT", "PATH", "NVL_SITE", "NVL_LIC_FILE"};

// Removes the program's and the suite's keys and the shell registrations the program writes.
void RemoveSuiteKeys() {
    for (bool machineWide : {true, false}) {
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Norvale");
        RegDeleteTreeA(UseRegRoot(machineWide), "SOFTWARE\\Wow6432Node\\Norvale");
        const UseRegKey classes = UseRegOpenKey("SOFTWARE\\Classes", machineWide, KEY_ALL_ACCESS);
        std::vector<std::string> doomed;
        for (const std::string& name : classes.SubKeyNames().value_or(std::vector<std::string>()))
            if (name.ends_with("_auto_file_mvxnrvl"))
                doomed.insert(doomed.end(), {name, "." + name.substr(0, name.size() - 18)});
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
    for (const auto& [machineWide, name, value] : environment_)
        if (value)
            RegSetKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name, value->type,
                            value->data.data(), static_cast<DWORD>(value->data.size()));
        else
            RegDeleteKeyValueA(UseRegRoot(machineWide), EnvironmentKey(machineWide), name);
    RemoveSuiteKeys();
}
