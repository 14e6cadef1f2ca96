// The switch actions in process, for what a black-box run cannot arrange: a refused write, a scope
// that outlives a change of NVLROOT, an unreadable hand-configured store.
#include "app/Options.h"

#include "app/UseException.h"
#include "catalogue/ManualReleases.h"
#include "environment/Environment.h"
#include "environment/SwitchLogTesting.h"

#include "support/Sandbox.h"

namespace {
class CommandLineSwitchTest : public SandboxedTest {
protected:
    void SetUp() override {
        CreateEnvironmentKeys();
        UseRedirectSwitchLogForTests(temp_.Path() + "\\Log");
        SetString(true, kSystemEnvironmentKey, "NVLROOT", "C:\\Old");
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\bin", REG_EXPAND_SZ);
    }
    void TearDown() override { UseRedirectSwitchLogForTests(""); }

    static std::string SystemValue(const char* name) {
        return GetStored(true, kSystemEnvironmentKey, name).text;
    }
    static std::string RootRecord() { return GetStored(false, kFileAssociationsKey, "rootDirectory").text; }

    ScopedTempFolder temp_;
    std::string target_ = temp_.AddFolder("Target");
};

TEST_F(CommandLineSwitchTest, RefusedSystemWriteStillRecordsTheRoot) {
    DenyWrite(true, kSystemEnvironmentKey);
    UseCommandLineRun run;
    UseSwitchToPath(target_ + "\\", run);
    EXPECT_FALSE(run.openDialog || run.notFound || run.refused);
    EXPECT_EQ("C:\\Old", SystemValue("NVLROOT"));
    EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", SystemValue("PATH"));
    EXPECT_EQ(target_, RootRecord()); // without the backslash that the refused write still removed
}

TEST_F(CommandLineSwitchTest, ScopeIsChosenOnceForTheWholeRun) {
    SetString(false, kUserEnvironmentKey, "NVLROOT", "C:\\UserOld");
    UseCommandLineRun run;
    UseChooseEnvironmentScope(run);
    ASSERT_EQ(UseCommandLineRun::Scope::System, run.scope);
    // A registry script run in between removes the system root; the next switch keeps its scope.
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "NVLROOT");
    UseSwitchToPath(target_, run);
    EXPECT_EQ(target_, SystemValue("NVLROOT"));
    EXPECT_EQ("%NVLROOT%\\bin;C:\\Tools", SystemValue("PATH"));
    EXPECT_EQ("C:\\UserOld", GetStored(false, kUserEnvironmentKey, "NVLROOT").text);
}

TEST_F(CommandLineSwitchTest, ReleaseFoundOnlyAmongTheHandConfiguredOnes) {
    SetString(false, std::string(kManualConfigurationKey) + "\\Bench Build", "Location", "D:\\Bench\\Build");
    UseCommandLineRun run;
    UseSwitchToRelease("bench build", run);
    EXPECT_FALSE(run.openDialog || run.notFound);
    EXPECT_EQ("D:\\Bench\\Build", SystemValue("NVLROOT"));
    EXPECT_EQ("D:\\Bench\\Build", RootRecord());
}

TEST_F(CommandLineSwitchTest, UnreadableHandConfiguredStoreIsNotMistakenForAMissingRelease) {
    CreateKey(false, std::string(kManualConfigurationKey) + "\\Bench Build");
    DenyRead(false, kManualConfigurationKey);
    UseCommandLineRun run;
    EXPECT_THROW(UseSwitchToRelease("bench build", run), UseException);
    AllowAllAccess(false, kManualConfigurationKey);
    EXPECT_FALSE(run.openDialog || run.notFound);
    EXPECT_EQ("C:\\Old", SystemValue("NVLROOT"));
}
} // namespace
