#include "associations/AssociationFiles.h"

#include "AssociationFixture.h"
#include "app/Options.h"
#include "app/UseException.h"
#include "associations/ToolPaths.h"
#include "support/Process.h"

namespace {
using AssociationFilesTest = AssociationTest;

constexpr const char* kDraft = "tools\\draft\\bin\\draftsch.exe";
const std::string kDraftLine = " \"%NVLROOT%\\tools\\draft\\bin\\draftsch.exe\"";

TEST_F(AssociationFilesTest, ImportMergesAndTheLastUsableLineWins) {
    const std::string root = MakeRelease("r", {kDraft, "tools\\bin\\netgen.exe"});
    SetSystemRoot(root);
    UseAssociationTable kept;
    ASSERT_TRUE(UseAddAssociation(kept, "nnt", "%NVLROOT%\\tools\\bin\\netgen.exe", "", false));
    const std::string file = folder_.AddFile(
        "assoc.txt", "# nym" + kDraftLine + "\n   \t\nnsd" + kDraftLine +
                         " -a\r\nnsd \"%NVLROOT%\\missing.exe\" -m\n" + "nsk" + kDraftLine + " -k\nnsk" +
                         kDraftLine + " -Z\nnsl '%NVLROOT%\\x.exe'\nnsj \"c:\\x.exe\n" + kDraftLine +
                         " nbm\nnck \"\" -r\nwvf \"%NVLROOT%\\missing.exe\"");
    UseImportAssociations(file, false);
    EXPECT_EQ(Quoted(root, kDraft) + " \"%1\" -a", CommandOf("nsd").text);
    EXPECT_EQ(Quoted(root, kDraft) + " \"%1\" -z", CommandOf("nsk").text);
    EXPECT_EQ(Quoted(root, "tools\\bin\\netgen.exe") + " \"%1\"", CommandOf("nnt").text);
    for (const std::string extension : {"nym", "nsl", "nsj", "nbm", "nck", "wvf", ""})
        EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\." + extension)) << extension;
}

TEST_F(AssociationFilesTest, ImportReadsBareNamesFromTheCurrentFolderAndTurnsSlashes) {
    SetSystemRoot(MakeRelease("r", {kDraft}));
    folder_.AddFile("here\\bare.txt", "nsd" + kDraftLine);
    const std::string slashed =
        UseReplaceAll(folder_.AddFile("there\\slashed.txt", "nsk" + kDraftLine), "\\", "/");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA((folder_.Path() + "\\here").c_str()));
    UseImportAssociations("bare.txt", false);
    UseImportAssociations(slashed, false);
    UseImportAssociations("absent.txt", false);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ("nsd_auto_file_mvxnrvl", ClassOf("nsd"));
    EXPECT_EQ("nsk_auto_file_mvxnrvl", ClassOf("nsk"));
}

TEST_F(AssociationFilesTest, ABinaryFileYieldsNoAssociation) {
    SetSystemRoot(MakeRelease("r", {kDraft}));
    std::string bytes("MZ\x90\0\x03\0\0\0\xff\xff\r\r\n", 13);
    bytes += std::string("nsd \"C:\\\0tools\\draftsch.exe\" -x\n", 32); // cut at the NUL, the path names C:\.
    for (int i = 0; i < 200000; ++i)
        bytes += i % 251 == '\n' ? '"' : static_cast<char>(i % 251); // one line
    const std::string file = folder_.AddFile("tool.exe", bytes + "\nnsk" + kDraftLine);
    UseLazyAssociationTable tables;
    UseImportAssociations(file, false, tables);
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\.nsd"));
    EXPECT_EQ("nsk_auto_file_mvxnrvl", ClassOf("nsk")); // the line after the long one still counts
    EXPECT_EQ(1u, tables.Get().commands.size());
}

TEST_F(AssociationFilesTest, CommandLineImportsRunInOrderAndPassLoadFailuresOn) {
    const std::string root = MakeRelease("r", {kDraft, "tools\\bin\\draftsch.exe"});
    SetSystemRoot(root);
    const std::string user = folder_.AddFile("a.txt", "nsd" + kDraftLine + " -u");
    const std::string machine = folder_.AddFile("b.txt", "nsd \"%NVLROOT%\\tools\\bin\\draftsch.exe\" -m");
    UseCommandLineRun run;
    UseImportUserAssociations(user, run);
    UseImportMachineAssociations(machine, run);
    EXPECT_FALSE(run.openDialog);
    EXPECT_EQ(Quoted(root, kDraft) + " \"%1\" -u", CommandOf("nsd").text);
    EXPECT_EQ(Quoted(root, "tools\\bin\\draftsch.exe") + " \"%1\" -m", CommandOf("nsd", true).text);
    EXPECT_EQ("\"%NVLROOT%\\tools\\bin\\draftsch.exe\" \"%1\" -m", UseAssociations().commands.at("nsd"));

    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Norvale");
    BlockStoreKey();
    UseLazyAssociationTable tables;
    EXPECT_THROW(UseImportAssociations(user, false, tables), UseException);
}

TEST(AssociationDefaultsTest, LooksForTheDefaultsFileInOrder) {
    using Paths = std::vector<std::string>;
    const std::string name = "\\MVXDefaultFileAssociations.txt";
    EXPECT_EQ((Paths{"S" + name, "P" + name, "R\\tools\\bin" + name}),
              UseDefaultsFileCandidates("S", "R", "P"));
    EXPECT_EQ((Paths{"R\\share\\local" + name, "P" + name, "R\\tools\\bin" + name}),
              UseDefaultsFileCandidates("", "R", "P"));
    EXPECT_EQ((Paths{"R\\share\\local" + name}), UseDefaultsFileCandidates("", "R", ""));
}

TEST_F(AssociationFilesTest, ASiteWithoutDefaultsFileSkipsTheShare) {
    const std::string root = MakeRelease("r", {kDraft, "tools\\bin\\netgen.exe"});
    SetSystemRoot(root);
    SetString(false, kUserEnvironmentKey, "NVL_SITE", folder_.AddFolder("site"));
    folder_.AddFile("r\\share\\local\\MVXDefaultFileAssociations.txt", "nsd" + kDraftLine);
    folder_.AddFile("program\\MVXDefaultFileAssociations.txt",
                    "nnt \"%NVLROOT%\\tools\\bin\\netgen.exe\" \"%1\"");
    UseLoadDefaultAssociations(false, folder_.Path() + "\\program");
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\.nsd"));
    EXPECT_EQ(Quoted(root, "tools\\bin\\netgen.exe") + " \"%1\" \"%1\"", CommandOf("nnt").text);
}

TEST_F(AssociationFilesTest, WithoutDefaultsFileEveryToolOfTheReleaseIsRegistered) {
    const std::string emptyFolder = folder_.AddFolder("program");
    UseLoadDefaultAssociations(false, emptyFolder);
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\.nsd")); // no root anywhere: nothing

    const std::string root = folder_.AddFolder("full");
    for (const UseToolGroup& group : UseToolGroups())
        folder_.AddFile("full" + group.candidates[0].substr(9));
    SetString(false, kUserEnvironmentKey, "NVLROOT", root);
    UseLoadDefaultAssociations(false, emptyFolder);
    const std::vector<std::string> extensions = {
        "nsd", "nsk", "nsl", "nsj", "nym", "nnt", "nbm", "nck", "wvf", "nlb", "nlx", "nlc", "nbd",
        "nbx", "nby", "nbz", "nrt", "sgn", "sgt", "sgm", "sgp", "sgw", "plt", "out", "nvw"};
    EXPECT_EQ(extensions, UseDefaultExtensions());
    for (const std::string& extension : extensions) {
        const std::string tool = UseToolGroupFor(extension)->candidates[0].substr(10);
        EXPECT_EQ(Quoted(root, tool) + " \"%1\" " + (extension == "out" ? "/dde" : ""),
                  CommandOf(extension).text);
        EXPECT_EQ(CommandOf(extension).text, ApplicationOf(extension).text) << extension;
    }
}

TEST_F(AssociationFilesTest, TheShippedDefaultsFilePrefersEachToolsOwnFolder) {
    const std::string root = MakeRelease("r", {"tools\\bin\\draftsch.exe", "tools\\board\\router.exe",
                                               "tools\\bin\\router.exe", "tools\\probe\\waveview.exe"});
    SetSystemRoot(root);
    ASSERT_TRUE(UseApplyAssociationFile(BuildFolder() + "\\MVXDefaultFileAssociations.txt", false));
    EXPECT_EQ(Quoted(root, "tools\\bin\\draftsch.exe") + " \"%1\" ", CommandOf("nsj").text);
    EXPECT_EQ(Quoted(root, "tools\\board\\router.exe") + " \"%1\" ", CommandOf("nrt").text);
    EXPECT_EQ(Quoted(root, "tools\\probe\\waveview.exe") + " \"%1\" /dde", CommandOf("out").text);
    EXPECT_FALSE(KeyExists(false, "SOFTWARE\\Classes\\.nym"));
    EXPECT_FALSE(UseApplyAssociationFile(folder_.Path() + "\\absent.txt", false));
}
} // namespace
