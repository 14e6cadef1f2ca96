// The releases the program offers: those its installers left traces of, and those added by hand.
#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "platform/Text.h"
#include "platform/UseException.h"
#include "support/Sandbox.h"

#include <fstream>
#include <sstream>

namespace {
using Entries = std::map<std::string, std::string>;
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

Entries Detect() {
    UseReleaseSet set;
    UseDetectReleases(set);
    return set.Entries();
}

// One line of tests/catalogue/known-releases.txt: row, name, kind, code, key, value, suffix, views,
// exception key.
struct KnownRow {
    std::string row, name, kind, code, key, value, suffix, views, exception;
};

std::vector<KnownRow> KnownRows() {
    std::vector<KnownRow> rows;
    std::ifstream in(KELMORA_TEST_DATA "/catalogue/known-releases.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(UseReplaceAll(line, " | ", "|"));
        KnownRow& row = rows.emplace_back();
        for (std::string* field : {&row.row, &row.name, &row.kind, &row.code, &row.key, &row.value,
                                   &row.suffix, &row.views, &row.exception})
            std::getline(fields, *field, '|');
    }
    return rows;
}

// An installation as the row's installer leaves it, in one view, under product code code (a scan's
// own code), with or without the code registered and the client-setup folder present.
void Plant(const KnownRow& row, bool machine, const std::string& code, const std::string& root,
           bool registered) {
    const std::string key = row.key.starts_with("U:") ? kUninstall + row.key.substr(2) : row.key;
    if (row.kind.starts_with("scan")) {
        CreateKey(machine, key + "\\" + code);
        SetString(machine, row.kind == "scan-own" ? key + "\\" + code : kUninstall + code, row.value,
                  root + "\\\\");
    } else {
        SetString(machine, key, row.value, root + "\\\\");
    }
    if (registered && code != "-") SetString(machine, kUninstall + code, "DisplayName", "Norvale");
}

// Each row yields its name and root from its own traces in each view it is read in, and nothing
// without its registered product, with its client-setup folder, or under its scan's exception key.
TEST(CatalogueTest, EveryKnownReleaseIsFoundByItsInstallersTracesOnly) {
    const ScopedTempFolder folder;
    const std::string root = folder.AddFolder("Root"), client = folder.AddFolder("Client");
    folder.AddFile("Root\\compnts.dat");
    folder.AddFile("Client\\compnts.dat");
    const std::vector<KnownRow> rows = KnownRows();
    ASSERT_EQ(49u, rows.size());
    for (const KnownRow& row : rows) {
        SCOPED_TRACE("row " + row.row + " " + row.name);
        const std::string code = row.kind.starts_with("scan") ? "{1NSTALLAT10N}" : row.code;
        if (row.suffix != "-") folder.AddFolder("Client" + row.suffix);
        for (bool machine : {true, false}) {
            const ScopedPrefixRegistry registry;
            Plant(row, machine, code, root, true);
            const Entries expected =
                machine || row.views == "machine+user" ? Entries{{row.name, root}} : Entries{};
            EXPECT_EQ(expected, Detect());
        }
        const auto nothingFrom = [&](const std::string& plantedCode, const std::string& plantedRoot,
                                     bool registered) {
            const ScopedPrefixRegistry registry;
            Plant(row, true, plantedCode, plantedRoot, registered);
            EXPECT_EQ(Entries{}, Detect()) << plantedCode << " " << plantedRoot << " " << registered;
        };
        if (code != "-") nothingFrom(code, root, false);
        if (row.suffix != "-") nothingFrom(code, client, true);
        if (row.exception != "-") nothingFrom(row.exception, root, true);
    }
}

// Several installations under one suite key are numbered, counting only those found, the user view
// afresh and over the machine's; a later row replaces an earlier one; 17.x finds its view and root.
TEST(CatalogueTest, NumberedInstallationsLaterRowsAndViews) {
    const ScopedPrefixRegistry registry;
    const ScopedTempFolder folder;
    const auto install = [&](bool machine, const std::string& suite, const std::string& code,
                             const char* name) {
        folder.AddFile(name + std::string("\\compnts.dat"));
        CreateKey(machine, "SOFTWARE\\Norvale\\Norvale " + suite + "\\" + code);
        SetString(machine, kUninstall + code, "DisplayName", "N");
        SetString(machine, kUninstall + code, "InstallLocation", folder.Path() + "\\" + name);
        return folder.Path() + "\\" + name;
    };
    const std::string first = install(true, "MVX 16.6\\16.6", "{A}", "1"),
                      second = install(true, "MVX 16.6\\16.6", "{B}", "2");
    install(false, "MVX 16.6\\16.6", "{A}", "Unmarked");
    DeleteFileA((folder.Path() + "\\Unmarked\\compnts.dat").c_str());
    const std::string user = install(false, "MVX 16.6\\16.6", "{B}", "U");
    // MVX 16.5: row 45 replaces the scan's release while its file server is not registered.
    install(true, "MVX 16.5\\16.5", "{C}", "1");
    const std::string mvx165 = install(true, "X", "{5943C437-42C7-4637-A4C1-52348509CD93}", "165");
    // Kalvo 16.0 both as a client and as a file server: the file server's row comes later.
    install(true, "X", "{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}", "K");
    SetString(true, kUninstall + "{56798B63-3018-43F1-AC33-E2316F7F3783}", "DisplayName", "N");
    SetString(true, "SOFTWARE\\Norvale\\Release Kalvo 16.0\\16.0.0", "fileServerNVLROOT", "\\\\fs\\kalvo");
    Entries expected = {
        {"MVX 16.6_1", user}, {"MVX 16.6_2", second}, {"MVX 16.5", mvx165}, {"Kalvo 16.0", "\\\\fs\\kalvo"}};
    EXPECT_EQ(expected, Detect());
    SetString(false, kUninstall + "{2A44F024-049A-4988-8CE7-178A25A773C1}", "DisplayName", "N");
    expected["MVX 16.5"] = first;
    EXPECT_EQ(expected, Detect());
    // 17.x: the machine's 32-bit view, then the user's view before it; a client's root is its file server.
    const std::string mvx17 = "{759632C4-140A-4E6D-BE47-0B8BF8596C98}", key = "SOFTWARE\\Norvale\\MVX 17.0";
    SetString(true, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + mvx17,
              "DisplayName", "N");
    SetString(true, key, "TargetDir", "C:\\T");
    EXPECT_EQ("C:\\T", Detect()["MVX 17.0"]);
    SetString(false, kUninstall + mvx17, "DisplayName", "N");
    SetString(false, key, "ISCLIENTINSTALL", "TRUE");
    SetString(false, key, "TargetDir", "C:\\U");
    SetString(false, key, "FileServer", "\\\\fs\\mvx\\");
    EXPECT_EQ("\\\\fs\\mvx", Detect()["MVX 17.0"]);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "FileServer");
    EXPECT_EQ(0u, Detect().count("MVX 17.0")); // a client without its file server
}

// Creates the process-wide store last, so that it is the first use of it in the process (ctest runs each
// case in a process of its own): an unreadable user list fails the load, and the next use retries.
TEST(CatalogueTest, ManualListIsCopiedOnFirstStartAnswersForTheSetAndAnUnreadableLoadIsRetried) {
    const ScopedPrefixRegistry registry;
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
    SetAccess(false, kManualConfigurationKey, KEY_ALL_ACCESS);
    EXPECT_EQ((Entries{{"MVX Local", "C:\\MVX"}}), UseManualReleases().Releases().Entries());
}
} // namespace
