#include "associations/AssociationText.h"

#include <gtest/gtest.h>

namespace {
TEST(AssociationTextTest, SplitsAssociationFileLines) {
    const struct {
        std::string line, result; // result empty: not an association
    } cases[] = {
        {"abc    \"c:\\apps\\viewer.exe\"  -r", "abc|c:\\apps\\viewer.exe|-r"},
        {"  abc\t\" c:\\x.exe \"\r", "abc|c:\\x.exe|"},
        {"abc \"c:\\x.exe\" -t \"%1\" -q \"x\"", "abc|c:\\x.exe|-t \"%1\" -q \"x\""},
        {"abc c:\\x.exe", ""},
        {"abc \"c:\\x.exe", ""},
        {"\"c:\\x.exe\" -r", ""},
        {"abc \"  \" -r", ""},
        {"abc 'c:\\x.exe' -r", ""},
        {"   # abc \"c:\\x.exe\"", ""},
        {" \t ", ""},
        {std::string("abc \"c:\\\0x.exe\"", 15), ""},
    };
    for (const auto& c : cases) {
        std::string extension, program, options;
        const bool valid = UseParseAssociationFileLine(c.line, extension, program, options);
        EXPECT_EQ(c.result, valid ? extension + "|" + program + "|" + options : "") << c.line;
    }
}

TEST(AssociationTextTest, SplitsShellCommandsAndKeepsOutputsOnFailure) {
    const struct {
        std::string command, result;
    } cases[] = {
        {"\"c:\\x.exe\"  -a -b", "c:\\x.exe|-a -b"},
        {"\"c:\\x.exe\" %1 -a", "c:\\x.exe|%1 -a"},
        {"c:\\x.exe %1", "kept|kept"},
        {"\"c:\\x.exe -a", "kept|kept"},
        {"\"  \" -a", "kept|kept"},
    };
    for (const auto& c : cases) {
        std::string program = "kept", options = "kept";
        EXPECT_EQ(c.result != "kept|kept", UseSplitShellCommand(c.command, program, options));
        EXPECT_EQ(c.result, program + "|" + options) << c.command;
    }
}

TEST(AssociationTextTest, BuildsCommandsLinesAndFilePaths) {
    EXPECT_EQ("\"c:\\v.exe\" \"%1\"", UseBuildAddCommand("c:\\v.exe", ""));
    EXPECT_EQ("\"c:\\v.exe\" -x \"%1\" -y", UseBuildAddCommand("c:\\v.exe", "-x \"%1\" -y"));
    EXPECT_EQ("\"c:\\v.exe\" \"%1\" ", UseBuildShellCommand("\"c:\\v.exe\"", ""));
    EXPECT_EQ("abc    \"c:\\v.exe\"  -r %1", UseAssociationLineOf("abc", "\"c:\\v.exe\" \"%1\" -r %1"));
    EXPECT_EQ("D:\\work\\assoc.txt", UseResolveAssociationFilePath("assoc.txt", "D:\\work"));
    EXPECT_EQ("C:\\data\\assoc.txt", UseResolveAssociationFilePath("C:/data/assoc.txt", "D:\\work"));
}
} // namespace
