// The switch actions in process, for what a black-box run cannot arrange: an unreadable hand-configured
// store, a scope that outlives a change of NVLROOT, a refused write.
#include "app/Options.h"

#include "catalogue/ManualReleases.h"
#include "environment/Environment.h"
#include "environment/SwitchLogTesting.h"
#include "platform/UseException.h"

#include "support/Sandbox.h"

namespace {
class CommandLineSwitchTest : public SandboxedTest {};

TEST_F(CommandLineSwitchTest, HandConfiguredReleasesScopeChosenOnceAndRefusedWrites) {
    const ScopedTempFolder temp;
    UseRedirectSwitchLogForTests(temp.Path() + "\\Log");
    CreateEnvironmentKeys();
    SetString(true, kSystemEnvironmentKey, "NVLROOT", "C:\\Old");
    SetString(false, kUserEnvironmentKey, "NVLROOT", "C:\\UserOld");
    const auto system = [] { return GetStored(true, kSystemEnvironmentKey, "NVLROOT").text; };
    const auto record = [] { return GetStored(false, kFileAssociationsKey, "rootDirectory").text; };
    SetString(false, std::string(kManualConfigurationKey) + "\\Bench Build", "Location", "D:\\Bench\\Build");
    UseCommandLineRun run;

    SetAccess(false, kManualConfigurationKey, kNoAccess); // not to be mistaken for a release that is missing
    EXPECT_THROW(UseSwitchToRelease("bench build", run), UseException);
    SetAccess(false, kManualConfigurationKey, KEY_ALL_ACCESS);
    EXPECT_FALSE(run.openDialog || run.notFound);
    EXPECT_EQ("C:\\Old", system());
    UseSwitchToRelease("bench build", run); // found only among the hand-configured releases
    EXPECT_EQ("D:\\Bench\\Build", system());
    EXPECT_EQ("D:\\Bench\\Build", record());

    // A registry script run in between removes the system root; the next switch keeps its scope.
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "NVLROOT");
    UseSwitchToPath(temp.Path(), run);
    EXPECT_EQ(temp.Path(), system());
    EXPECT_EQ("C:\\UserOld", GetStored(false, kUserEnvironmentKey, "NVLROOT").text);

    SetAccess(true, kSystemEnvironmentKey, kReadOnly);
    UseSwitchToPath(temp.AddFolder("Target") + "\\", run);
    EXPECT_FALSE(run.openDialog || run.notFound);
    EXPECT_TRUE(run.refused); // unreported, but a script sees exit code 1
    EXPECT_EQ(temp.Path(), system());
    EXPECT_EQ(temp.Path() + "\\Target", record()); // without the backslash that the refused write removed
    UseRedirectSwitchLogForTests("");
}
} // namespace
