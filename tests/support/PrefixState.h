#pragma once
// For black-box cases that run kelmora.exe against the test prefix's own registry: each case starts
// without the suite's and the program's keys and leaves the environment as it found it.
#include "platform/Registry.h"

#include <optional>
#include <string>
#include <vector>

class ScopedPrefixRegistry {
public:
    ScopedPrefixRegistry();
    ~ScopedPrefixRegistry();
    ScopedPrefixRegistry(const ScopedPrefixRegistry&) = delete;
    ScopedPrefixRegistry& operator=(const ScopedPrefixRegistry&) = delete;

private:
    struct Saved {
        bool machineWide;
        const char* name;
        std::optional<UseRegKey::Value> value; // nothing when the variable was not set
    };
    std::vector<Saved> environment_;
};
