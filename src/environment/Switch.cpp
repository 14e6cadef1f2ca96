#include "environment/Switch.h"

#include "environment/Environment.h"
#include "environment/PathRewrite.h"
#include "environment/SwitchHistory.h"
#include "environment/SwitchLog.h"

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
    return UseChooseSwitchScope(UseEnvReadRoot(true), UseEnvReadRoot(false),
                                followPath ? UseEnvReadPath(true) : "",
                                followPath ? UseEnvReadPath(false) : "");
}

std::string UseSwitchRefusal(const std::string& name, const std::string& root, UseSwitchScope scope) {
    if (scope != UseSwitchScope::System || UseLookUpRelease(name, UseReleaseTrust::Machine).root == root)
        return "";
    return "The release \"" + name + "\" at " + root + " comes from your own settings, which any program " +
           "you run can change; a switch of the system environment takes a release only from what " +
           "administrators alone can write, so nothing was switched.";
}

UseSwitchOutcome UseSwitchRelease(const std::string& root, UseSwitchScope scope, bool recordRoot) {
    UseSwitchOutcome outcome{root};
    if (scope != UseSwitchScope::None) {
        const bool machineWide = scope == UseSwitchScope::System;
        const UseSwitchState before = UseReadSwitchState(machineWide);
        UsePathRewrite rewrite = UseRewritePath(machineWide);
        outcome.pathRefusal = std::move(rewrite.refusal);
        outcome.logRefusal = std::move(rewrite.logRefusal);
        // PATH lives in the same key, so NVLROOT's status answers for both.
        outcome.rootStatus = UseEnvWriteRoot(outcome.root, machineWide);
        UseRecordSwitch(machineWide, before);
    }
    if (recordRoot) outcome.recordRefused = !UseWriteRootDirectory(outcome.root);
    return outcome;
}

UseUndoOutcome UseUndoSwitch() {
    // The environment a switch would write now is the one to take back.
    const UseSwitchScope scope = UseCurrentSwitchScope(true);
    if (scope == UseSwitchScope::None) return {};
    const bool machineWide = scope == UseSwitchScope::System;
    const std::optional<UseSwitchRecord> last = UseLastSwitchRecord(machineWide);
    if (!last) return {UseUndoResult::NoHistory, machineWide};
    UseUndoOutcome outcome{UseUndoResult::ChangedSince, machineWide, last->time};
    if (!UseIsRestorableValue(last->before.root) || !UseIsRestorableValue(last->before.path)) {
        outcome.result = UseUndoResult::Unusable;
        return outcome;
    }
    const UseSwitchState now = UseReadSwitchState(machineWide);
    // Something else wrote after the switch: going back would throw its change away.
    if (now.path != last->after.path)
        outcome.changed = "PATH";
    else if (now.root != last->after.root)
        outcome.changed = "NVLROOT";
    if (*outcome.changed) return outcome;
    LONG status = ERROR_SUCCESS;
    if (now.path != last->before.path) {
        status = UseEnvWriteStored("PATH", last->before.path, machineWide);
        if (status == ERROR_SUCCESS)
            UseWriteSwitchLog(UseStoredUtf8Text(now.path), UseStoredUtf8Text(last->before.path), machineWide);
    }
    if (status == ERROR_SUCCESS && now.root != last->before.root)
        status = UseEnvWriteStored("NVLROOT", last->before.root, machineWide);
    outcome.result = status == ERROR_SUCCESS ? UseUndoResult::Undone : UseUndoResult::Refused;
    if (status == ERROR_SUCCESS) UseForgetSwitchRecord(*last);
    return outcome;
}
