// Every row of the known-release table, detected from the traces its own parameters name: each row must
// be reachable and yield its display name, whatever the rows around it look for.
#include "InstallerTraces.h"

#include <regex>
#include <set>

namespace {
using Entries = DetectedEntries;

std::vector<UseKnownRelease> RowsOfKind(UseDetectionKind kind) {
    std::vector<UseKnownRelease> rows;
    for (const UseKnownRelease& row : UseKnownReleases())
        if (row.kind == kind) rows.push_back(row);
    return rows;
}
std::string RowName(const ::testing::TestParamInfo<UseKnownRelease>& info) {
    return "Row" + std::to_string(info.param.row);
}

class KnownReleaseRow : public SandboxedTest, public ::testing::WithParamInterface<UseKnownRelease> {};

using ValueRow = KnownReleaseRow;
TEST_P(ValueRow, NeedsItsProductAndReadsItsRootWithoutTrailingBackslashes) {
    const UseKnownRelease& row = GetParam();
    SetString(true, row.key, row.valueName, "C:\\Suite\\Root\\\\");
    if (!row.presenceCode.empty()) {
        EXPECT_EQ(Entries{}, Detect()) << "found without its product";
        Register(true, U(row.presenceCode));
    }
    EXPECT_EQ((Entries{{row.displayName, "C:\\Suite\\Root"}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, ValueRow, ::testing::ValuesIn(RowsOfKind(UseDetectionKind::Value)), RowName);

using SuiteScanRow = KnownReleaseRow;
TEST_P(SuiteScanRow, FindsAnInstallationWithItsMarkerFile) {
    const UseKnownRelease& row = GetParam();
    const std::string code = "{0C0C0C0C-1111-2222-3333-444455556666}", suitePath = row.key + "\\" + code;
    const ScopedTempFolder root;
    root.AddFile("compnts.dat");
    Register(true, U(code));
    CreateKey(true, suitePath);
    // QDR 15.0's installer alone keeps the root in its suite subkey.
    SetString(true, row.row == 21 ? suitePath : U(code), row.valueName, root.Path() + "\\");
    EXPECT_EQ((Entries{{row.displayName, root.Path()}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, SuiteScanRow, ::testing::ValuesIn(RowsOfKind(UseDetectionKind::SuiteScan)),
                         RowName);

using ClientOrServerRow = KnownReleaseRow;
TEST_P(ClientOrServerRow, ReadsTheTargetFolderOfARegisteredProduct) {
    const UseKnownRelease& row = GetParam();
    SetString(true, row.key, "TargetDir", "D:\\MVX\\");
    EXPECT_EQ(Entries{}, Detect()) << "found without its product";
    Register(true, U(row.presenceCode));
    EXPECT_EQ((Entries{{row.displayName, "D:\\MVX"}}), Detect());
}
INSTANTIATE_TEST_SUITE_P(Table, ClientOrServerRow,
                         ::testing::ValuesIn(RowsOfKind(UseDetectionKind::ClientOrServer)), RowName);

TEST(KnownReleaseTable, HoldsFortyNineNumberedRowsOverThirtySixProductCodes) {
    const auto& table = UseKnownReleases();
    ASSERT_EQ(49u, table.size());
    std::set<std::string> codes;
    const std::regex productCode("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i) + 1, table[i].row);
        const std::string text = table[i].presenceCode + table[i].key + table[i].exceptionKey;
        for (std::sregex_iterator it(text.begin(), text.end(), productCode), end; it != end; ++it)
            codes.insert(it->str());
    }
    EXPECT_EQ(36u, codes.size());
}
} // namespace
