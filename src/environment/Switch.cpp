#include "environment/Switch.h"

#include "environment/Environment.h"
#include "environment/PathRewrite.h"

UseSwitchScope UseChooseSwitchScope(const std::string& systemRoot, const std::string& userRoot,
                                    const std::string& systemPath, const std::string& userPath) {
    constexpr const char* kReference = "%NVLROOT%";
    if (!systemRoot.empty()) return UseSwitchScope::System;
    if (!userRoot.empty()) return UseSwitchScope::User;
    if (userPath.find(kReference) != std::string::npos) return UseSwitchScope::User;
    if (systemPath.find(kReference) != std::string::npos) return UseSwitchScope::System;
    return UseSwitchScope::None;
}

UseSwitchScope UseCurrentSwitchScope(bool followPath) {
    const std::string systemRoot = UseEnvReadRoot(true);
    if (!systemRoot.empty()) return UseSwitchScope::System;
    const std::string userRoot = UseEnvReadRoot(false);
    if (!userRoot.empty() || !followPath) return UseChooseSwitchScope(systemRoot, userRoot, "", "");
    return UseChooseSwitchScope(systemRoot, userRoot, UseEnvReadPath(true), UseEnvReadPath(false));
}

UseSwitchOutcome UseSwitchRelease(const std::string& root, UseSwitchScope scope, bool recordRoot) {
    UseSwitchOutcome outcome{root};
    if (scope != UseSwitchScope::None) {
        const bool machineWide = scope == UseSwitchScope::System;
        UsePathRewrite rewrite = UseRewritePath(machineWide);
        outcome.pathRefusal = std::move(rewrite.refusal);
        outcome.logRefusal = std::move(rewrite.logRefusal);
        // PATH lives in the same key, so NVLROOT's status answers for both.
        outcome.rootStatus = UseEnvWriteRoot(outcome.root, machineWide);
    }
    if (recordRoot) outcome.recordRefused = !UseWriteRootDirectory(outcome.root);
    return outcome;
}
