#include "InstallerTraces.h"

#include <optional>
#include <vector>

namespace {
using Entries = DetectedEntries;

constexpr const char* kFirst = "{AAAAAAAA-0000-0000-0000-000000000001}";
constexpr const char* kSecond = "{BBBBBBBB-0000-0000-0000-000000000002}";
constexpr const char* kMvx155Suite = "SOFTWARE\\Norvale\\Norvale MVX 15.5\\15.5";
constexpr const char* kMvx155Server = "{9515F659-9957-4DA9-BBD9-19E4ED59B3C8}";
constexpr const char* kMvx163Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.3\\16.3";
constexpr const char* kMvx165Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.5\\16.5";
constexpr const char* kMvx165Server = "{2A44F024-049A-4988-8CE7-178A25A773C1}";
constexpr const char* kMvx165 = "{5943C437-42C7-4637-A4C1-52348509CD93}";
constexpr const char* kMvx166Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6";
constexpr const char* kMvx166Server = "{EACA0481-BC59-477C-8FCE-19618236A7FF}";
constexpr const char* kMvx164Server = "{3ACD0181-2D4C-4F9D-9060-AC4968813BDF}";
constexpr const char* kMvx170 = "{759632C4-140A-4E6D-BE47-0B8BF8596C98}";
constexpr const char* kMvx170Key = "SOFTWARE\\Norvale\\MVX 17.0";

// A release root as its installer leaves it: the marker file, and for a client the client-setup folder.
struct Root {
    explicit Root(bool marker = true, const char* clientSetup = nullptr) {
        if (marker) folder.AddFile("compnts.dat");
        if (clientSetup) folder.AddFolder(clientSetup);
    }
    const std::string& Path() const { return folder.Path(); }
    ScopedTempFolder folder;
};

// One installation under a suite key: its product-code subkey and its registered uninstall key.
void AddInstallation(bool machineWide, const std::string& suiteKey, const std::string& code,
                     const Root& root) {
    CreateKey(machineWide, suiteKey + "\\" + code);
    Register(machineWide, U(code));
    SetString(machineWide, U(code), "InstallLocation", root.Path());
}

class DetectionTest : public SandboxedTest {};

TEST_F(DetectionTest, ValueRowsFollowTheirViewRulesAndClientSetupFolders) {
    SetString(false, U("{54AD70C1-3E61-45ED-A2FF-41993434F9DC}"), "InstallLocation",
              "C:\\Demo"); // machine only
    SetString(false, U("{6D945749-6561-47A5-9F6A-1C650F07092E}"), "InstallLocation", "C:\\Lite"); // else user
    // Registered in the machine view without its value: the user view is not consulted.
    Register(true, U(kMvx166Server));
    Register(false, U(kMvx166Server));
    SetString(false, std::string(kMvx166Suite) + "\\" + kMvx166Server, "FileServer", "F:\\FS166");
    Register(false, U(kMvx164Server));
    SetString(false, std::string("SOFTWARE\\Norvale\\Norvale MVX 16.4\\16.4\\") + kMvx164Server, "FileServer",
              "F:\\FS164");
    // A Kalvo 16.0 client of a file server.
    const Root client(false, "CLIENT_SETUP_16.0");
    SetString(true, U("{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}"), "InstallLocation", client.Path());

    EXPECT_EQ((Entries{{"Kalvo lite", "C:\\Lite"}, {"MVX 16.4(File Server)", "F:\\FS164"}}), Detect());
}

TEST_F(DetectionTest, ScanNumbersInstallationsOnlyWhenTheSuiteKeyHoldsSeveral) {
    const Root first, second, unmarked(false);
    struct Case {
        const char* label;
        std::vector<std::pair<const char*, const Root*>> installations; // in enumeration order
        Entries expected;
    } cases[] = {
        {"one", {{kFirst, &first}}, {{"MVX 16.6", first.Path()}}},
        {"two, one passing", {{kFirst, &unmarked}, {kSecond, &second}}, {{"MVX 16.6_1", second.Path()}}},
        {"two passing",
         {{kFirst, &first}, {kSecond, &second}},
         {{"MVX 16.6_1", first.Path()}, {"MVX 16.6_2", second.Path()}}},
    };
    for (const Case& c : cases) {
        const std::string suiteKey = std::string("SOFTWARE\\Suite\\") + c.label;
        for (const auto& [code, root] : c.installations)
            AddInstallation(true, suiteKey, code, *root);
        UseReleaseSet set;
        UseScanSuiteKey(set, true, suiteKey, kUninstallRoot, "InstallLocation", "\\CLIENT_SETUP_16.6", "",
                        "MVX 16.6");
        EXPECT_EQ(c.expected, set.Entries()) << c.label;
    }
}

TEST_F(DetectionTest, UserScanCountsAfreshAndWinsForTheSameName) {
    const Root machineFirst, machineSecond, userSecond, unmarked(false);
    AddInstallation(true, kMvx166Suite, kFirst, machineFirst);
    AddInstallation(true, kMvx166Suite, kSecond, machineSecond);
    AddInstallation(false, kMvx166Suite, kFirst, unmarked);
    AddInstallation(false, kMvx166Suite, kSecond, userSecond);
    AddInstallation(false, kMvx163Suite, "{CCCCCCCC-0000-0000-0000-000000000003}",
                    userSecond); // MVX 16.3 is scanned in the machine view only
    EXPECT_EQ((Entries{{"MVX 16.6_1", userSecond.Path()}, {"MVX 16.6_2", machineSecond.Path()}}), Detect());
}

TEST_F(DetectionTest, ScanLeavesOutTheExceptionKeyClientsAndRootsWithoutMarker) {
    const Root fileServer, client(true, "CLIENT_SETUP_15.5"), unmarked(false), installed;
    // Registry names ignore case, and so does the comparison with the exception key.
    std::string otherCase = kMvx155Server;
    for (char& c : otherCase)
        c = static_cast<char>(tolower(c));
    AddInstallation(true, kMvx155Suite, otherCase, fileServer);
    AddInstallation(true, kMvx155Suite, kFirst, client);
    AddInstallation(true, kMvx155Suite, kSecond, unmarked);
    AddInstallation(true, kMvx155Suite, "{CCCCCCCC-0000-0000-0000-000000000003}", installed);
    EXPECT_EQ((Entries{{"MVX 15.5_1", installed.Path()}}), Detect());
}

TEST(ClientOrServerDetection, FindsItsProductInEveryUninstallView) {
    struct Trace {
        bool machineWide;
        std::string key;
        const char* value;
        const char* data;
    };
    struct Case {
        const char* label;
        std::vector<std::pair<bool, std::string>> registrations;
        std::vector<Trace> traces;
        std::optional<std::string> expected;
    } cases[] = {
        // clang-format off
        {"machine", {{true, U(kMvx170)}}, {{true, kMvx170Key, "TargetDir", "C:\\M"}}, "C:\\M"},
        {"user", {{false, U(kMvx170)}}, {{true, kMvx170Key, "TargetDir", "C:\\M"}, {false, kMvx170Key, "TargetDir", "C:\\U"}}, "C:\\U"},
        {"32-bit", {{true, U32(kMvx170)}}, {{true, kMvx170Key, "TargetDir", "C:\\W"}}, "C:\\W"},
        {"32-bit install location", {{true, U32(kMvx170)}}, {{true, U32(kMvx170), "InstallLocation", "C:\\L"}}, "C:\\L"},
        {"32-bit registration in the user view", {{false, U32(kMvx170)}}, {{false, kMvx170Key, "TargetDir", "C:\\U"}}, std::nullopt},
        {"client", {{true, U(kMvx170)}}, {{true, kMvx170Key, "ISCLIENTINSTALL", "true"}, {true, kMvx170Key, "FileServer", "\\\\fs\\mvx\\"}, {true, kMvx170Key, "TargetDir", "C:\\M"}}, "\\\\fs\\mvx"},
        {"client without file server", {{true, U(kMvx170)}}, {{true, kMvx170Key, "ISCLIENTINSTALL", "TRUE"}, {true, kMvx170Key, "TargetDir", "C:\\M"}}, std::nullopt},
        {"no client", {{true, U(kMvx170)}}, {{true, kMvx170Key, "ISCLIENTINSTALL", "FALSE"}, {true, kMvx170Key, "FileServer", "F:\\S"}, {true, kMvx170Key, "TargetDir", "C:\\M"}}, "C:\\M"},
        // clang-format on
    };
    for (const Case& c : cases) {
        const ScopedRegistrySandbox registry;
        for (const auto& [machineWide, key] : c.registrations)
            Register(machineWide, key);
        for (const Trace& t : c.traces)
            SetString(t.machineWide, t.key, t.value, t.data);
        const Entries expected = c.expected ? Entries{{"MVX 17.0", *c.expected}} : Entries{};
        EXPECT_EQ(expected, Detect()) << c.label;
    }
}

TEST_F(DetectionTest, FileServerRowsWinOverClientRowsAndRow45OverTheScan) {
    SetString(true, U("{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}"), "InstallLocation", "C:\\Kalvo16Client");
    Register(true, U("{56798B63-3018-43F1-AC33-E2316F7F3783}"));
    SetString(true, "SOFTWARE\\Norvale\\Release Kalvo 16.0\\16.0.0", "fileServerNVLROOT", "F:\\Kalvo16");
    const Root scanned;
    AddInstallation(true, kMvx165Suite, kFirst, scanned);
    Register(true, U(kMvx165));
    SetString(true, U(kMvx165), "InstallLocation", "C:\\MVX165");
    EXPECT_EQ((Entries{{"Kalvo 16.0", "F:\\Kalvo16"}, {"MVX 16.5", "C:\\MVX165"}}), Detect());
}

TEST_F(DetectionTest, Row45WaitsUntilTheFileServerIsRegisteredInNeitherView) {
    Register(true, U(kMvx165));
    SetString(true, U(kMvx165), "InstallLocation", "C:\\MVX165");
    Register(false, U(kMvx165Server)); // the file server, registered for this user only
    EXPECT_EQ(Entries{}, Detect());
}

TEST_F(DetectionTest, DetectedReleasesAreBuiltOncePerProcess) {
    UseReleaseSet& first = UseDetectedReleases();
    const Entries before = first.Entries();
    SetString(true, U("{6D945749-6561-47A5-9F6A-1C650F07092E}"), "InstallLocation", "C:\\Lite");
    EXPECT_EQ(&first, &UseDetectedReleases());
    EXPECT_EQ(before, UseDetectedReleases().Entries());
}

TEST(ReleaseSet, NamesAreExactForChangesAndCaseBlindForLookups) {
    UseReleaseSet set;
    set.Set("MVX 16.6", "C:\\Old");
    set.Set("MVX 16.6", "C:\\Suite\\16.6");
    set.Set("MVX 16.6(File Server)", "\\\\fs(1)\\mvx");
    EXPECT_EQ("C:\\Suite\\16.6", set.FindRoot("mvx 16.6"));
    EXPECT_TRUE(set.Contains("MVX 16.6(FILE SERVER)"));
    EXPECT_EQ("", set.FindRoot("MVX 16"));
    EXPECT_FALSE(set.Contains("MVX 16"));
    EXPECT_EQ(
        (std::vector<std::string>{"MVX 16.6(C:\\Suite\\16.6)", "MVX 16.6(File Server)(\\\\fs(1)\\mvx)"}),
        set.DisplayList());
    EXPECT_FALSE(set.Remove("mvx 16.6"));
    EXPECT_TRUE(set.Remove("MVX 16.6"));
    EXPECT_EQ(std::vector<std::string>{"MVX 16.6(File Server)(\\\\fs(1)\\mvx)"}, set.DisplayList());
}
} // namespace
