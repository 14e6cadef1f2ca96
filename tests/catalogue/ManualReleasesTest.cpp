#include "catalogue/ManualReleases.h"

#include "app/UseException.h"
#include "support/Sandbox.h"

namespace {
using Entries = std::map<std::string, std::string>;

std::string ReleaseKey(const std::string& name) {
    return std::string(kManualConfigurationKey) + "\\" + name;
}
std::string Location(bool machineWide, const std::string& name) {
    return GetStored(machineWide, ReleaseKey(name), "Location").text;
}

// Gives a key's access back when the case ends, however it ends, so the sandbox can remove it.
struct ScopedReadDenied {
    explicit ScopedReadDenied(const std::string& path) : path_(path) { DenyRead(false, path_); }
    ~ScopedReadDenied() { AllowAllAccess(false, path_); }
    std::string path_;
};

class ManualReleasesTest : public SandboxedTest {};

TEST_F(ManualReleasesTest, FirstStartCopiesTheMachineListToTheUser) {
    SetString(true, ReleaseKey("MVX Site"), "Location", "\\\\server\\mvx\\");
    SetString(true, ReleaseKey("Kalvo Test"), "Location", "%TOOLS%\\kalvo", REG_EXPAND_SZ);
    CreateKey(true, ReleaseKey("No Location"));
    UseManualReleaseStore store;
    EXPECT_EQ((Entries{{"Kalvo Test", "%TOOLS%\\kalvo"}, {"MVX Site", "\\\\server\\mvx"}}),
              store.Releases().Entries());
    EXPECT_EQ("\\\\server\\mvx", Location(false, "MVX Site"));
    EXPECT_EQ(REG_EXPAND_SZ, GetStored(false, ReleaseKey("Kalvo Test"), "Location").type);
    EXPECT_FALSE(KeyExists(false, ReleaseKey("No Location")));
    EXPECT_EQ("\\\\server\\mvx\\", Location(true, "MVX Site")); // the machine list stays as it was
}

TEST_F(ManualReleasesTest, UserWithAListOfTheirOwnOrAnEmptyMachineListGetsNothingCopied) {
    CreateKey(true, kManualConfigurationKey);
    EXPECT_TRUE(UseManualReleaseStore().Releases().Empty());
    EXPECT_FALSE(KeyExists(false, kManualConfigurationKey)); // so the next start tries again

    SetString(true, ReleaseKey("MVX Site"), "Location", "\\\\server\\mvx");
    CreateKey(false, kManualConfigurationKey);
    EXPECT_TRUE(UseManualReleaseStore().Releases().Empty());
}

TEST_F(ManualReleasesTest, AddStoresTheLocationAndReplacesAnExistingRoot) {
    SetString(false, ReleaseKey("MVX Local"), "Location", "C:\\Old");
    UseManualReleaseStore store;
    ASSERT_TRUE(store.Add("MVX Local", "C:\\New\\"));
    ASSERT_TRUE(store.Add("Kalvo Net", "%NET%\\kalvo"));
    EXPECT_EQ((Entries{{"Kalvo Net", "%NET%\\kalvo"}, {"MVX Local", "C:\\New\\"}}),
              store.Releases().Entries());
    EXPECT_EQ("C:\\New\\", Location(false, "MVX Local"));
    EXPECT_EQ(REG_SZ, GetStored(false, ReleaseKey("MVX Local"), "Location").type);
    EXPECT_EQ(REG_EXPAND_SZ, GetStored(false, ReleaseKey("Kalvo Net"), "Location").type);
    // Trailing backslashes go only when the list is next loaded.
    EXPECT_EQ((Entries{{"Kalvo Net", "%NET%\\kalvo"}, {"MVX Local", "C:\\New"}}),
              UseManualReleaseStore().Releases().Entries());
}

TEST_F(ManualReleasesTest, RemoveAnswersForTheSetWhateverTheRegistryDid) {
    SetString(false, ReleaseKey("MVX Local"), "Location", "C:\\MVX");
    SetString(false, ReleaseKey("Kalvo Branch"), "Location", "C:\\Kalvo");
    CreateKey(false, ReleaseKey("Kalvo Branch") + "\\Child");
    SetString(false, ReleaseKey("QDR"), "Location", "C:\\QDR");
    UseManualReleaseStore store;

    EXPECT_FALSE(store.Remove("mvx local")); // not in the set, yet the registry ignores case
    EXPECT_FALSE(KeyExists(false, ReleaseKey("MVX Local")));
    EXPECT_TRUE(store.Releases().Contains("MVX Local"));

    EXPECT_TRUE(store.Remove("Kalvo Branch")); // a subkey with subkeys survives in the registry
    EXPECT_TRUE(KeyExists(false, ReleaseKey("Kalvo Branch")));

    EXPECT_TRUE(store.Remove("QDR"));
    EXPECT_FALSE(KeyExists(false, ReleaseKey("QDR")));
    EXPECT_EQ((Entries{{"MVX Local", "C:\\MVX"}}), store.Releases().Entries());
    EXPECT_EQ((Entries{{"Kalvo Branch", "C:\\Kalvo"}}), UseManualReleaseStore().Releases().Entries());
}

TEST_F(ManualReleasesTest, AnUnreadableUserListFailsTheLoad) {
    SetString(false, ReleaseKey("MVX Local"), "Location", "C:\\MVX");
    const ScopedReadDenied denied(kManualConfigurationKey);
    try {
        UseManualReleaseStore store;
        FAIL() << "loaded an unreadable list";
    } catch (const UseException& e) {
        EXPECT_EQ("Unable to retrieve registry entry for manual configuration", e.Message());
    }
}

// Creates the process-wide store, so it must be the first use of it in the process (ctest runs each
// case in a process of its own).
TEST_F(ManualReleasesTest, AFailedCreationIsRetriedAtTheNextUse) {
    SetString(false, ReleaseKey("MVX Local"), "Location", "C:\\MVX");
    {
        const ScopedReadDenied denied(kManualConfigurationKey);
        EXPECT_THROW(UseManualReleases(), UseException);
    }
    UseManualReleaseStore& store = UseManualReleases();
    EXPECT_EQ((Entries{{"MVX Local", "C:\\MVX"}}), store.Releases().Entries());
    EXPECT_EQ(&store, &UseManualReleases());
}
} // namespace
