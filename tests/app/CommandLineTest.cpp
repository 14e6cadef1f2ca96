// The command line up to the actions: where the options start, how they are parsed, what "-reg" refuses.
#include "app/ParameterParser.h"
#include "app/RegistryScript.h"
#include "app/WorkApp.h"

#include <gtest/gtest.h>

namespace {
using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(CommandLineTest, OptionsStartAtTheFirstDashAfterTheBaseName) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"\"C:\\Program Files\\Kelmora.exe\" -REL \"MVX 16.6\"  ", "-rel \"mvx 16.6\""},
        {"C:\\my-tools\\kelmora.exe -pathC:\\X", "-pathc:\\x"},
        {"C:\\Tools\\morvane.exe -rel a", std::nullopt},
    };
    for (const auto& [commandLine, arguments] : cases)
        EXPECT_EQ(arguments, UseArgumentText(commandLine)) << commandLine;
}

// Parses with the program's five options and one of each checked type: the error's message (empty when
// none) and the entries read.
std::pair<std::string, Entries> Parse(const std::string& arguments) {
    UseParameterParser parser;
    for (const char* name : {"-reg", "-rel", "-fa", "-fas", "-path"})
        parser.AddParameter(name, UseValueKind::Required, kUseTypeString);
    parser.AddParameter("-num", UseValueKind::Required, kUseTypeInteger);
    parser.AddParameter("-bool", UseValueKind::Required, kUseTypeBoolean);
    std::string error;
    try {
        parser.Parse(arguments);
    } catch (const std::exception& raised) {
        error = raised.what();
    }
    Entries entries;
    for (int i = 0; i < parser.GetParameterCount(); ++i)
        entries.emplace_back(parser.GetParameter(i).name, parser.GetParameter(i).value);
    return {error, entries};
}

TEST(CommandLineTest, ParsesByTheRules) {
    const std::string twice = "Parameters are used twice", unknown = "Unknown parameters are used",
                      expected = "Value was expected, but none was given",
                      wrongType = "Wrong parameter type is used";
    // The arguments, the error, and the entries read, those before the error included.
    const std::tuple<const char*, std::string, Entries> cases[] = {
        // clang-format off
        {"", "", {}},
        {"   ", unknown, {}},
        {"-fasx -fax", "", {{"-fas", "x"}, {"-fa", "x"}}},
        {"  -REL   Mixed   -pathc:\\x ", "", {{"-rel", "Mixed"}, {"-path", "c:\\x"}}},
        {"-path \"c:\\my folder\" -rel\"a\"", "", {{"-path", "c:\\my folder"}, {"-rel", "a"}}},
        {"-rel \"mvx 16.6 -fa x", "", {{"-rel", "mvx 16.6 -fa x"}}},
        {"-fa x -rel \"\"", expected, {{"-fa", "x"}}},
        {"-rel a -REL b", twice, {{"-rel", "a"}}},
        {"-rel a b", unknown, {{"-rel", "a"}}},
        {"-num 0 -bool YES", "", {{"-num", "0"}, {"-bool", "YES"}}},
        {"-num -5 -bool False", "", {{"-num", "-5"}, {"-bool", "False"}}},
        {"-num 5abc -bool 1", "", {{"-num", "5abc"}, {"-bool", "1"}}},
        {"-num \"5\" -bool 0", "", {{"-num", "5"}, {"-bool", "0"}}},
        {"-num 00", wrongType, {}},
        {"-num\"5\"", wrongType, {}}, // a glued value is tested with its quotes
        {"-bool y", wrongType, {}},
        // clang-format on
    };
    for (const auto& [arguments, error, entries] : cases)
        EXPECT_EQ(std::make_pair(error, entries), Parse(arguments)) << arguments;
}

TEST(CommandLineTest, RegistryScriptPathFillsTheCommandToItsLimit) {
    const std::string longest(kUseRegistryScriptPathLimit, 'x');
    EXPECT_EQ("regedit /s \"" + longest + "\"", UseComposeRegistryScriptCommand(longest).command);
    EXPECT_EQ("", UseComposeRegistryScriptCommand(longest + "x").command);
}
} // namespace
