// Every row of the known-release table, checked against registry traces written here independently
// of the table in the code: a wrong key, value name, product code or kind shows as a missing release.
#include "catalogue/Detection.h"
#include "catalogue/KnownReleases.h"

#include "support/Sandbox.h"

#include <regex>
#include <set>

namespace {
using Entries = std::map<std::string, std::string>;

struct RowTraces {
    int row;
    const char* name;
    const char* presenceCode; // nullptr: the row needs no registered product
    std::string key;          // the root's key (value rows), the suite key (scans), the release key (17.x)
    const char* value;
};

std::string U(const char* code) {
    return std::string(kUninstallRoot) + "\\" + code;
}
std::string Sub(const char* key, const char* code) {
    return std::string(key) + "\\" + code;
}
void Register(bool machineWide, const std::string& uninstallKey) {
    SetString(machineWide, uninstallKey, "DisplayName", "Norvale");
}
Entries Detect() {
    UseReleaseSet set;
    UseDetectReleases(set);
    return set.Entries();
}

const char* const kMvx155Suite = "SOFTWARE\\Norvale\\Norvale MVX 15.5\\15.5";
const char* const kMvx1551Suite = "SOFTWARE\\Norvale\\Norvale MVX 15.5.1\\15.51";
const char* const kMvx157Suite = "SOFTWARE\\Norvale\\Norvale MVX 15.7\\15.7";
const char* const kMvx160Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.0\\16.0";
const char* const kMvx1601Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.01\\16.01";
const char* const kMvx162Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.2\\16.2";
const char* const kMvx163Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.3\\16.3";
const char* const kMvx164Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.4\\16.4";
const char* const kMvx165Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.5\\16.5";
const char* const kMvx166Suite = "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6";

// clang-format off
const RowTraces kValueRows[] = {
    {1,  "Kalvo 10.0",              "{113DD516-7CC7-4A63-A0E4-C631B2E75A5F}", "SOFTWARE\\Norvale\\Release Kalvo 10.0\\10.0.0", "10_0_Targetdir"},
    {2,  "Kalvo 10.0",              "{8FD3C7FC-A654-4474-9DF7-616DFE0520A7}", "SOFTWARE\\Norvale\\Release Kalvo 10.0\\10.0.0", "fileServerNVLROOT"},
    {3,  "Kalvo 10.0i",             "{4C67D921-399B-421A-899C-20692B58E93A}", "SOFTWARE\\Norvale\\Pellatra\\10.0.0", "Kalvo_10.0i_ProgramDirectory"},
    {4,  "Kalvo 10.3",              "{3DFCA928-C472-4D1D-9D4D-F8680E688E3A}", "SOFTWARE\\Norvale\\Release Kalvo 10.3\\10.3.0", "10_3_Targetdir"},
    {5,  "Kalvo 10.3",              "{5E6991BF-A4B5-4A1F-91C0-1ABD61FEB0C1}", "SOFTWARE\\Norvale\\Release Kalvo 10.3\\10.3.0", "fileServerNVLROOT"},
    {6,  "Kalvo 10.3i",             "{00EBE1BE-9153-48F5-A2A3-7DDF94F11960}", "SOFTWARE\\Norvale\\Pellatra\\10.3.0", "Kalvo_10.3i_ProgramDirectory"},
    {7,  "Kalvo 10.5",              nullptr, U("{04792E6A-0E93-43F6-8A9B-E38D64743DDE}"), "InstallLocation"},
    {8,  "Kalvo 10.5",              "{BB3684BD-2030-4A50-B1B1-0DD893A73742}", "SOFTWARE\\Norvale\\Release Kalvo 10.5\\10.5.0", "fileServerNVLROOT"},
    {9,  "Kalvo 10.5i",             nullptr, U("{191C9AF1-A4DB-47D3-88FB-F814022FBFD6}"), "InstallLocation"},
    {10, "Kalvo 15.7",              nullptr, U("{8AAACEB0-4DB2-48AA-BD1C-2B1C0CFEBA88}"), "InstallLocation"},
    {11, "Kalvo 15.7",              "{239B4501-FE99-4028-B0AC-56FB5282437B}", "SOFTWARE\\Norvale\\Release Kalvo 15.7\\15.7.0", "fileServerNVLROOT"},
    {12, "Kalvo 15.7i",             nullptr, U("{A6C1C2C7-AC99-4244-87F3-F483A6F2CCFC}"), "InstallLocation"},
    {13, "Kalvo 16.0",              nullptr, U("{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}"), "InstallLocation"},
    {14, "Kalvo 16.0",              "{56798B63-3018-43F1-AC33-E2316F7F3783}", "SOFTWARE\\Norvale\\Release Kalvo 16.0\\16.0.0", "fileServerNVLROOT"},
    {15, "Kalvo 16.2",              nullptr, U("{F5022802-D810-4BD9-AAD2-B84BFF9D8C02}"), "InstallLocation"},
    {16, "Kalvo 16.2",              "{04120055-7C8F-47E2-81C4-678B428A27A0}", "SOFTWARE\\Norvale\\Release Kalvo 16.2\\16.2.0", "fileServerNVLROOT"},
    {17, "Kalvo 16.3 Demo",         nullptr, U("{54AD70C1-3E61-45ED-A2FF-41993434F9DC}"), "InstallLocation"},
    {18, "Kalvo 16.4 Demo",         nullptr, U("{7450BB7A-45A8-4D45-BE64-DAFAF21BE115}"), "InstallLocation"},
    {19, "Kalvo lite",              nullptr, U("{6D945749-6561-47A5-9F6A-1C650F07092E}"), "InstallLocation"},
    {20, "Kalvo 16.6 lite",         nullptr, U("{065DE16E-85A9-401C-AA09-9D7E703B8984}"), "InstallLocation"},
    {22, "QDR 15.0(File Server)",   nullptr, "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.0", "InstallDir"},
    {23, "QDR 15.1",                nullptr, U("{AE3D53CD-C193-4295-B6A8-5B532E051F59}"), "InstallLocation"},
    {24, "QDR 15.1(File Server)",   nullptr, "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.1", "InstallDir"},
    {25, "QDR 15.2",                nullptr, U("{A55964F6-294C-44F6-8124-9F071085A254}"), "InstallLocation"},
    {26, "QDR 15.2(File Server)",   nullptr, "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.2", "InstallDir"},
    {28, "MVX 15.5(File Server)",   "{9515F659-9957-4DA9-BBD9-19E4ED59B3C8}", Sub(kMvx155Suite, "{9515F659-9957-4DA9-BBD9-19E4ED59B3C8}"), "fileServerNVLROOT"},
    {30, "MVX 15.5.1(File Server)", "{9983A3BD-3DD4-476C-9BB3-B5D643ECD0EB}", Sub(kMvx1551Suite, "{9983A3BD-3DD4-476C-9BB3-B5D643ECD0EB}"), "fileServerNVLROOT"},
    {32, "MVX 15.7(File Server)",   "{DBDF3384-6B3C-4D3B-AB10-1276CA7B923D}", Sub(kMvx157Suite, "{DBDF3384-6B3C-4D3B-AB10-1276CA7B923D}"), "fileServerNVLROOT"},
    {34, "MVX 16.0(File Server)",   "{21680CD6-043D-4CE5-8A4F-E0F14566E48D}", Sub(kMvx160Suite, "{21680CD6-043D-4CE5-8A4F-E0F14566E48D}"), "fileServerNVLROOT"},
    {36, "MVX 16.01(File Server)",  "{E814AD21-807B-4EEC-AE25-1740F658EEF5}", Sub(kMvx1601Suite, "{E814AD21-807B-4EEC-AE25-1740F658EEF5}"), "fileServerNVLROOT"},
    {38, "MVX 16.2(File Server)",   "{760255B6-E69F-45DE-886B-AB1E6971164D}", Sub(kMvx162Suite, "{760255B6-E69F-45DE-886B-AB1E6971164D}"), "fileServerNVLROOT"},
    {40, "MVX 16.3(File Server)",   "{5F77C417-5914-4ABA-AE59-8A994CBCCB05}", Sub(kMvx163Suite, "{5F77C417-5914-4ABA-AE59-8A994CBCCB05}"), "FileServer"},
    {42, "MVX 16.4(File Server)",   "{3ACD0181-2D4C-4F9D-9060-AC4968813BDF}", Sub(kMvx164Suite, "{3ACD0181-2D4C-4F9D-9060-AC4968813BDF}"), "FileServer"},
    {44, "MVX 16.5(File Server)",   "{2A44F024-049A-4988-8CE7-178A25A773C1}", Sub(kMvx165Suite, "{2A44F024-049A-4988-8CE7-178A25A773C1}"), "FileServer"},
    {45, "MVX 16.5",                "{5943C437-42C7-4637-A4C1-52348509CD93}", U("{5943C437-42C7-4637-A4C1-52348509CD93}"), "InstallLocation"},
    {47, "MVX 16.6(File Server)",   "{EACA0481-BC59-477C-8FCE-19618236A7FF}", Sub(kMvx166Suite, "{EACA0481-BC59-477C-8FCE-19618236A7FF}"), "FileServer"},
};
// For scans, value is the value naming the root, read from the installation's uninstall key (from
// its suite subkey for QDR 15.0, row 21).
const RowTraces kSuiteScanRows[] = {
    {21, "QDR 15.0",   nullptr, "SOFTWARE\\Norvale\\Norvale QDR 15.0\\15.0", "15_0_Targetdir"},
    {27, "MVX 15.5",   nullptr, kMvx155Suite,  "InstallLocation"},
    {29, "MVX 15.5.1", nullptr, kMvx1551Suite, "InstallLocation"},
    {31, "MVX 15.7",   nullptr, kMvx157Suite,  "InstallLocation"},
    {33, "MVX 16.0",   nullptr, kMvx160Suite,  "InstallLocation"},
    {35, "MVX 16.01",  nullptr, kMvx1601Suite, "InstallLocation"},
    {37, "MVX 16.2",   nullptr, kMvx162Suite,  "InstallLocation"},
    {39, "MVX 16.3",   nullptr, kMvx163Suite,  "InstallLocation"},
    {41, "MVX 16.4",   nullptr, kMvx164Suite,  "InstallLocation"},
    {43, "MVX 16.5",   nullptr, kMvx165Suite,  "InstallLocation"},
    {46, "MVX 16.6",   nullptr, kMvx166Suite,  "InstallLocation"},
};
const RowTraces kClientOrServerRows[] = {
    {48, "MVX 17.0", "{759632C4-140A-4E6D-BE47-0B8BF8596C98}", "SOFTWARE\\Norvale\\MVX 17.0", "TargetDir"},
    {49, "MVX 17.2", "{24C49F1B-EEB8-467D-87FE-FE2DE76F23EB}", "SOFTWARE\\Norvale\\MVX 17.2", "TargetDir"},
};
// clang-format on

void PrintTo(const RowTraces& row, std::ostream* out) {
    *out << "row " << row.row << " (" << row.name << ")";
}

class KnownReleaseRow : public SandboxedTest, public ::testing::WithParamInterface<RowTraces> {};
std::string RowName(const ::testing::TestParamInfo<RowTraces>& info) {
    return "Row" + std::to_string(info.param.row);
}

using ValueRow = KnownReleaseRow;
TEST_P(ValueRow, NeedsItsProductAndReadsItsRootWithoutTrailingBackslashes) {
    const RowTraces& row = GetParam();
    SetString(true, row.key, row.value, "C:\\Suite\\Root\\\\");
    if (row.presenceCode) {
        EXPECT_EQ(Entries{}, Detect()) << "found without its product";
        Register(true, U(row.presenceCode));
    }
    EXPECT_EQ((Entries{{row.name, "C:\\Suite\\Root"}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, ValueRow, ::testing::ValuesIn(kValueRows), RowName);

using SuiteScanRow = KnownReleaseRow;
TEST_P(SuiteScanRow, FindsAnInstallationWithItsMarkerFile) {
    const RowTraces& row = GetParam();
    const char* const code = "{0C0C0C0C-1111-2222-3333-444455556666}";
    const ScopedTempFolder root;
    root.AddFile("compnts.dat");
    Register(true, U(code));
    const bool rootInSuiteKey = row.row == 21;
    SetString(true, rootInSuiteKey ? Sub(row.key.c_str(), code) : U(code), row.value, root.Path() + "\\");
    CreateKey(true, Sub(row.key.c_str(), code));
    EXPECT_EQ((Entries{{row.name, root.Path()}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, SuiteScanRow, ::testing::ValuesIn(kSuiteScanRows), RowName);

using ClientOrServerRow = KnownReleaseRow;
TEST_P(ClientOrServerRow, ReadsTheTargetFolderOfARegisteredProduct) {
    const RowTraces& row = GetParam();
    SetString(true, row.key, row.value, "D:\\MVX\\");
    EXPECT_EQ(Entries{}, Detect()) << "found without its product";
    Register(true, U(row.presenceCode));
    EXPECT_EQ((Entries{{row.name, "D:\\MVX"}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, ClientOrServerRow, ::testing::ValuesIn(kClientOrServerRows), RowName);

TEST(KnownReleaseTable, HoldsFortyNineRowsOverThirtySixProductCodesAndEveryRowIsCoveredAbove) {
    const auto& table = UseKnownReleases();
    ASSERT_EQ(49u, table.size());
    std::set<std::string> codes;
    const std::regex productCode("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    const auto collect = [&](const std::string& text) {
        for (std::sregex_iterator it(text.begin(), text.end(), productCode), end; it != end; ++it)
            codes.insert(it->str());
    };
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i) + 1, table[i].row);
        collect(table[i].presenceCode + table[i].key + table[i].exceptionKey);
    }
    EXPECT_EQ(36u, codes.size());

    std::map<int, std::pair<std::string, UseDetectionKind>> covered;
    for (const RowTraces& row : kValueRows)
        covered[row.row] = {row.name, UseDetectionKind::Value};
    for (const RowTraces& row : kSuiteScanRows)
        covered[row.row] = {row.name, UseDetectionKind::SuiteScan};
    for (const RowTraces& row : kClientOrServerRows)
        covered[row.row] = {row.name, UseDetectionKind::ClientOrServer};
    ASSERT_EQ(49u, covered.size());
    for (const UseKnownRelease& row : table)
        EXPECT_EQ(covered[row.row], std::make_pair(row.displayName, row.kind)) << "row " << row.row;
}
} // namespace
