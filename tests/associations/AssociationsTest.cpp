#include "AssociationFixture.h"
#include "associations/AssociationFiles.h"
#include "associations/ShellClasses.h"
#include "associations/ShellRegistration.h"
#include "associations/ToolPaths.h"
#include "platform/UseException.h"

#include <filesystem>
#include <tuple>

namespace {
using AssociationsTest = AssociationTest;

// The commands are those an add writes: quoted program, quoted placeholder, blanks, resolved and in
// lower case. That "Application" keeps %NVLROOT% is pinned by the end-to-end import.
TEST_F(AssociationsTest, ImportAddsEveryUsableLineThenLoadAndDeleteFollowTheRecord) {
    const std::string root = MakeRelease("Suite 17.2", {"tools\\Draft.exe", "tools\\netgen.exe"});
    SetSystemRoot(root);
    const std::string draft = " \"%NVLROOT%\\tools\\Draft.exe\"", program = Quoted(root, "tools\\draft.exe");
    std::string junk(200000, '"'); // one long line of every byte but a line end
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = i % 251 == '\n' ? '"' : static_cast<char>(i % 251);
    // Each line of a binary file, the extension it names and the command that extension ends with.
    const std::tuple<std::string, const char*, std::string> lines[] = {
        // A NUL would cut the program to C:\, which exists.
        {std::string("wvf \"C:\\\0x.exe\"", 15), "wvf", ""},
        {junk, "", ""},
        {"nck" + draft, "nck", program + " \"%1\""},
        {"# nym" + draft, "nym", program + " \"%1\""},
        {"nsd" + draft + " -a\r", "nsd", program + " \"%1\" -a"},
        {"nsd \"%NVLROOT%\\tools\\missing.exe\"", "nsd", program + " \"%1\" -a"},
        {"nsk" + draft + " -k", "nsk", program + " -x \"%1\" -y"},
        {"  nsk\t\" %NVLROOT%\\tools\\Draft.exe \" -x \"%1\" -Y", "nsk", program + " -x \"%1\" -y"},
        {"nym" + draft, "nym", program + " \"%1\""},
        {draft + " -r", "", ""},
        {"nsl '%NVLROOT%\\tools\\Draft.exe'", "nsl", ""},
        {"nsj %NVLROOT%\\tools\\Draft.exe", "nsj", ""},
        {"nbm \"%NVLROOT%\\tools\\Draft.exe", "nbm", ""},
    };
    std::string text;
    for (const auto& [line, extension, command] : lines)
        text += line + "\n";
    folder_.AddFile("here\\assoc.txt", text);
    BlockStoreKey();
    UseLazyAssociationTable tables;
    // A bare file name is read from the current folder; the table's first load fails and ends the import.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path() + "\\here");
    EXPECT_THROW(UseImportAssociations("assoc.txt", false, tables), UseException);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane"));
    EXPECT_TRUE(tables.Get().commands.empty() &&
                UseRegKeyExists(kStoreKey, false)); // the retry creates the key
    ASSERT_TRUE(UseAddAssociation(tables.Get(), "nnt", "%NVLROOT%\\tools\\netgen.exe", "", false));
    UseImportAssociations("assoc.txt", false, tables);
    std::filesystem::current_path(previous);
    for (const auto& [line, extension, command] : lines)
        EXPECT_EQ(command, CommandOf(extension).text) << line.substr(0, 50);
    EXPECT_EQ(5u, tables.Get().commands.size());        // nnt kept, with nck, nsd, nsk and nym
    CreateKey(false, kStoreKey + std::string("\\nlb")); // recorded, not registered: a load leaves it out
    UseAssociationTable loaded, none;
    EXPECT_TRUE(UseLoadAssociations(loaded, false));
    EXPECT_EQ(5u, loaded.commands.size());

    // A delete outside the table still removes every key, and says so.
    EXPECT_FALSE(UseDeleteAssociation(none, "nsd", false));
    EXPECT_FALSE(UseRegKeyExists(kStoreKey + std::string("\\nsd"), false) ||
                 UseRegKeyExists("SOFTWARE\\Classes\\.nsd", false) ||
                 UseRegKeyExists("SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl", false));
}

// The records come from the program folder's defaults file: a site that is set owns the defaults, so
// without its own file the share is skipped.
TEST_F(AssociationsTest, ASwitchPointsEveryRecordAtTheNewReleaseForTheUser) {
    const std::string scope = "tools\\wave\\bin\\scope.exe", old = MakeRelease("Old", {scope.c_str()});
    const auto next = MakeRelease(
        "New", {"tools\\bin\\draftsch.exe", "tools\\trace\\bin\\traceview.exe", "tools\\bin\\waveview.exe"});
    const std::string tool = " \"%NVLROOT%\\" + scope + "\" ";
    SetSystemRoot(old);
    SetString(false, kUserEnvironmentKey, "NVL_SITE", folder_.AddFolder("site"));
    folder_.AddFile("Old\\share\\local\\MVXDefaultFileAssociations.txt", "nsd" + tool);
    folder_.AddFile("MVXDefaultFileAssociations.txt",
                    "NSK" + tool + "%1 -q\nplt" + tool + "-p\nwvf" + tool + "-w\nabc" + tool);
    UseLoadDefaultAssociations(false, folder_.Path());

    SetSystemRoot(next);
    UseNotifyShellOfAssociationChanges();
    const BroadcastListener listener;
    ASSERT_TRUE(UseReapplyAssociations(false));
    // However many registrations changed, the shell hears of them once.
    EXPECT_TRUE(UseNotifyShellOfAssociationChanges());
    EXPECT_FALSE(UseNotifyShellOfAssociationChanges());
    const std::pair<const char*, std::string> expected[] = {
        {"NSK", Quoted(next, "tools\\bin\\draftsch.exe") + " \"%1\" %1 -q"}, // the tools' shared folder,
        {"plt", Quoted(next, "tools\\trace\\bin\\traceview.exe") + " \"%1\" -p"},
        {"wvf", Quoted(old, scope) + " \"%1\" -w"},
        {"abc", Quoted(old, scope) + " \"%1\" "}};
    for (const auto& [extension, command] : expected)
        EXPECT_EQ(command, CommandOf(extension).text) << extension;
    EXPECT_EQ("NSK_auto_file_mvxnrvl", GetStored(false, "SOFTWARE\\Classes\\.NSK", "").text);
    Sleep(50); // the notice reaches the listener's window through its message queue
    EXPECT_EQ(1, listener.ShellNotices());
    // Where no defaults file is found, each tool of the release registers its types, "out" with "/dde".
    UseBuildToolAssociations(false);
    EXPECT_EQ(Quoted(next, "tools\\bin\\waveview.exe") + " \"%1\" /dde", CommandOf("out").text);
}
} // namespace
