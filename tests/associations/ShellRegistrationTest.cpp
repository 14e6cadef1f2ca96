#include "associations/ShellRegistration.h"

#include "AssociationFixture.h"

namespace {
using ShellRegistrationTest = AssociationTest;

TEST_F(ShellRegistrationTest, ReapplyPointsEveryRecordAtTheNewRelease) {
    const std::string old =
        MakeRelease("Old", {"tools\\draft\\bin\\draftsch.exe", "tools\\wave\\bin\\scope.exe"});
    const std::string fresh =
        MakeRelease("New", {"tools\\bin\\draftsch.exe", "tools\\bin\\symview.exe",
                            "tools\\trace\\bin\\traceview.exe", "tools\\bin\\libman.exe"});
    SetSystemRoot(old);
    const std::string draft = "\"%NVLROOT%\\tools\\draft\\bin\\draftsch.exe\"";
    for (const char* extension : {"nsd", "NSK", "nym", "plt", "nlb", "abc"})
        CreateKey(false, kStoreKey + std::string("\\") + extension);
    UseApplyAssociation("nsd", draft, "-a -b", false);
    UseApplyAssociation("NSK", draft, "%1 -q", false);
    UseApplyAssociation("plt", draft, "-p", false);
    UseApplyAssociation("wvf", "\"%NVLROOT%\\tools\\wave\\bin\\scope.exe\"", "-w", false);
    UseApplyAssociation("abc", "\"c:\\apps\\viewer.exe\"", "", false);
    RegisterByHand(false, "nlb", "c:\\apps\\lib.exe %1"); // another program's command, without quotes
    const std::string oldScope = Quoted(old, "tools\\wave\\bin\\scope.exe") + " \"%1\" -w";
    ASSERT_EQ(oldScope, CommandOf("wvf").text);

    SetSystemRoot(fresh);
    ASSERT_TRUE(UseReapplyAssociations(false));
    const struct {
        const char* extension;
        std::string command;
    } expected[] = {
        {"nsd", Quoted(fresh, "tools\\bin\\draftsch.exe") + " \"%1\" -a -b"},
        {"NSK", Quoted(fresh, "tools\\bin\\draftsch.exe") + " \"%1\" %1 -q"},
        {"nym", Quoted(fresh, "tools\\bin\\symview.exe") + " \"%1\" "},
        {"plt", Quoted(fresh, "tools\\trace\\bin\\traceview.exe") + " \"%1\" -p"},
        {"nlb", Quoted(fresh, "tools\\bin\\libman.exe") + " \"%1\" "},
        {"wvf", oldScope},
        {"abc", "\"c:\\apps\\viewer.exe\" \"%1\" "},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.command, CommandOf(e.extension).text) << e.extension;
        EXPECT_EQ(REG_EXPAND_SZ, CommandOf(e.extension).type) << e.extension;
        EXPECT_EQ(std::string(e.extension) + "_auto_file_mvxnrvl", ClassOf(e.extension));
    }
    EXPECT_EQ(expected[0].command, ApplicationOf("nsd").text);
}

TEST_F(ShellRegistrationTest, ReapplyReadsTheGivenScopeAndRegistersForTheUser) {
    EXPECT_FALSE(UseReapplyAssociations(true));
    SetSystemRoot(MakeRelease("r", {"tools\\bin\\draftsch.exe"}));
    CreateKey(true, kStoreKey + std::string("\\nsd"));
    ASSERT_TRUE(UseReapplyAssociations(true));
    EXPECT_EQ("nsd_auto_file_mvxnrvl", ClassOf("nsd"));
    EXPECT_EQ("", ClassOf("nsd", true));
}
} // namespace
