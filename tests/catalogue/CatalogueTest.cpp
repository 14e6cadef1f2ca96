// The releases the program offers: those its installers left traces of, and those added by hand.
#include "catalogue/Detection.h"
#include "catalogue/KnownReleases.h"
#include "catalogue/ManualReleases.h"
#include "platform/UseException.h"
#include "support/Sandbox.h"

namespace {
using Entries = std::map<std::string, std::string>;

class CatalogueTest : public SandboxedTest {
protected:
    static std::string Code(int n) { return "{INSTALLATION-" + std::to_string(n) + "}"; }
    static std::string U(std::string code, const char* root = kUninstallRoot) { return root + ("\\" + code); }
    // Registers a product the way its installer does: a display name in its uninstall key.
    static void Register(bool machine, std::string key) { SetString(machine, key, "DisplayName", "N"); }
    static Entries Detect() {
        UseReleaseSet set;
        UseDetectReleases(set);
        return set.Entries();
    }
    // One installation under a suite key: its product-code subkey and its registered uninstall key.
    static void Install(bool machine, std::string suite, std::string code, std::string root) {
        CreateKey(machine, "SOFTWARE\\Norvale\\Norvale " + suite + "\\" + code);
        Register(machine, U(code));
        SetString(machine, U(code), "InstallLocation", root);
    }
    // A release root as its installer leaves it: the marker file, and for a client the client-setup folder.
    std::string Root(const std::string& name, const std::string& clientSetup = "") const {
        roots_.AddFile(name + "\\compnts.dat");
        if (!clientSetup.empty()) roots_.AddFolder(name + "\\" + clientSetup);
        return roots_.AddFolder(name);
    }
    ScopedTempFolder roots_;
};

// Each row is detected from the traces its own parameters name, whatever the rows around it look for.
TEST_F(CatalogueTest, EveryKnownReleaseRowYieldsItsNameFromItsOwnTracesOnly) {
    const std::string root = Root("Root");
    ASSERT_EQ(49u, UseKnownReleases().size());
    for (const UseKnownRelease& row : UseKnownReleases()) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, nullptr); // the row before's traces
        std::string code = row.presenceCode, key = row.key, value = row.valueName;
        if (row.kind == UseDetectionKind::SuiteScan) {
            code = Code(1);
            CreateKey(true, row.key + "\\" + code);
            // QDR 15.0's installer alone keeps the root in its suite subkey.
            key = row.displayName == "QDR 15.0" ? row.key + "\\" + code : U(code);
        }
        if (row.kind == UseDetectionKind::ClientOrServer) value = "TargetDir";
        SetString(true, key, value, root + "\\\\");
        if (!code.empty()) {
            EXPECT_EQ(Entries{}, Detect()) << "row " << row.row << " found without its product";
            Register(true, U(code));
        }
        EXPECT_EQ((Entries{{row.displayName, root}}), Detect()) << "row " << row.row;
    }
}

TEST_F(CatalogueTest, ViewRulesClientsNumberingAndWhichRowWins) {
    SetString(false, U("{54AD70C1-3E61-45ED-A2FF-41993434F9DC}"), "InstallLocation", "C:\\Demo"); // machine
    SetString(false, U("{6D945749-6561-47A5-9F6A-1C650F07092E}"), "InstallLocation", "C:\\Lite"); // else user
    const std::string kalvo160Client = U("{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}");
    SetString(true, kalvo160Client, "InstallLocation", Root("K", "CLIENT_SETUP_16.0")); // a client: left out
    // Scans: numbered when the suite key holds several subkeys; the user view counts afresh and wins.
    const std::string first = Root("1"), second = Root("2"), user = Root("U"), unmarked = "C:\\Unmarked";
    Install(true, "MVX 16.6\\16.6", Code(1), first);
    Install(true, "MVX 16.6\\16.6", Code(2), second);
    Install(false, "MVX 16.6\\16.6", Code(1), unmarked);
    Install(false, "MVX 16.6\\16.6", Code(2), user);
    Install(false, "MVX 16.3\\16.3", Code(3), user); // scanned in the machine view only
    Install(true, "MVX 15.5\\15.5", "{9515f659-9957-4da9-bbd9-19e4ed59b3c8}", first); // its file server's key
    Install(true, "MVX 15.5\\15.5", Code(4), Root("C", "CLIENT_SETUP_15.5"));
    Install(true, "MVX 15.5\\15.5", Code(5), second);
    // MVX 16.5: row 45, later, replaces the scan's release until the file server is registered.
    Install(true, "MVX 16.5\\16.5", Code(6), first);
    Register(true, U("{5943C437-42C7-4637-A4C1-52348509CD93}"));
    SetString(true, U("{5943C437-42C7-4637-A4C1-52348509CD93}"), "InstallLocation", "C:\\MVX165");
    Entries expected = {{"Kalvo lite", "C:\\Lite"}, {"MVX 15.5_1", second}, {"MVX 16.5", "C:\\MVX165"}};
    expected.insert({{"MVX 16.6_1", user}, {"MVX 16.6_2", second}});
    EXPECT_EQ(expected, Detect());
    Register(false, U("{2A44F024-049A-4988-8CE7-178A25A773C1}"));
    expected["MVX 16.5"] = first;
    EXPECT_EQ(expected, Detect());
}

TEST_F(CatalogueTest, MVX17TakesTheFirstViewItsProductIsRegisteredInAndAClientsFileServer) {
    const std::string code = "{759632C4-140A-4E6D-BE47-0B8BF8596C98}", key = "SOFTWARE\\Norvale\\MVX 17.0";
    Register(true, U(code, kUninstallRoot32));
    SetString(true, U(code, kUninstallRoot32), "InstallLocation", "C:\\L");
    EXPECT_EQ((Entries{{"MVX 17.0", "C:\\L"}}), Detect());
    SetString(true, key, "ISCLIENTINSTALL", "true");
    SetString(true, key, "FileServer", "\\\\fs\\mvx\\");
    EXPECT_EQ((Entries{{"MVX 17.0", "\\\\fs\\mvx"}}), Detect());
    Register(false, U(code)); // the user view comes before the 32-bit one
    SetString(false, key, "TargetDir", "C:\\U");
    SetString(false, key, "FileServer", "F:\\S");
    EXPECT_EQ((Entries{{"MVX 17.0", "C:\\U"}}), Detect()); // not a client
    SetString(false, key, "ISCLIENTINSTALL", "TRUE");
    EXPECT_EQ((Entries{{"MVX 17.0", "F:\\S"}}), Detect());
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "FileServer");
    EXPECT_EQ(Entries{}, Detect()); // a client without its file server
}

// Creates the process-wide store last, so that it is the first use of it in the process (ctest runs each
// case in a process of its own): an unreadable user list fails the load, and the next use retries.
TEST_F(CatalogueTest, ManualListIsCopiedOnFirstStartAnswersForTheSetAndAnUnreadableLoadIsRetried) {
    SetString(true, kManualConfigurationKey + std::string("\\MVX Site"), "Location", "\\\\server\\mvx\\");
    UseManualReleaseStore store;
    EXPECT_EQ((Entries{{"MVX Site", "\\\\server\\mvx"}}), store.Releases().Entries());
    ASSERT_TRUE(store.Add("MVX Site", "C:\\New\\"));
    ASSERT_TRUE(store.Add("QDR Net", "D:\\QDR"));
    EXPECT_EQ((Entries{{"MVX Site", "C:\\New"}, {"QDR Net", "D:\\QDR"}}),
              UseManualReleaseStore().Releases().Entries());
    EXPECT_FALSE(store.Remove("mvx site")); // not in the set, yet the registry ignores case
    EXPECT_TRUE(store.Remove("QDR Net"));
    EXPECT_EQ((Entries{{"MVX Site", "C:\\New\\"}}), store.Releases().Entries());
    EXPECT_TRUE(UseManualReleaseStore().Releases().Empty());     // an emptied list is the user's own: no copy
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kManualConfigurationKey); // else the retry copies it
    SetString(false, kManualConfigurationKey + std::string("\\MVX Local"), "Location", "C:\\MVX");
    SetAccess(false, kManualConfigurationKey, kNoAccess);
    EXPECT_THROW(UseManualReleases(), UseException);
    SetAccess(false, kManualConfigurationKey, KEY_ALL_ACCESS); // the sandbox cannot remove the key without it
    EXPECT_EQ((Entries{{"MVX Local", "C:\\MVX"}}), UseManualReleases().Releases().Entries());
}
} // namespace
