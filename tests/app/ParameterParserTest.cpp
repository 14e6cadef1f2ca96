#include "app/ParameterParser.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {
using Entries = std::vector<std::pair<std::string, std::string>>;

// Parses with the program's five options and one option of every other kind registered; gives the
// error's message (empty when none) and the entries in the table afterwards.
std::pair<std::string, Entries> Parse(const std::string& arguments) {
    UseParameterParser parser;
    for (const char* name : {"-reg", "-rel", "-fa", "-fas", "-path"})
        parser.AddParameter(name, true, kUseTypeString);
    parser.AddParameter("-num", true, kUseTypeInteger);
    parser.AddParameter("-bool", true, kUseTypeBoolean);
    parser.AddParameter("-flag", false, kUseTypeAny);
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

TEST(ParameterParserTest, ParsesByTheRules) {
    const std::string twice = "Parameters are used twice", unknown = "Unknown parameters are used",
                      expected = "Value was expected, but none was given",
                      wrongType = "Wrong parameter type is used";
    const struct Case {
        const char* arguments;
        std::string error;
        Entries entries; // also those stored before the error
    } cases[] = {
        {"", "", {}},
        {"   ", unknown, {}},
        {"-fasx -fax", "", {{"-fas", "x"}, {"-fa", "x"}}},
        {"  -REL   Mixed   -pathc:\\x ", "", {{"-rel", "Mixed"}, {"-path", "c:\\x"}}},
        {"-path \"c:\\my folder\" -rel\"a\"", "", {{"-path", "c:\\my folder"}, {"-rel", "a"}}},
        {"-rel \"mvx 16.6 -fa x", "", {{"-rel", "mvx 16.6 -fa x"}}},
        {"-fa x -rel \"\"", expected, {{"-fa", "x"}}},
        {"-rel", expected, {}},
        {"-rel a -REL b", twice, {{"-rel", "a"}}},
        {"-re x", unknown, {}},
        {"-rel a b", unknown, {{"-rel", "a"}}},
        {"-flag -flagx", unknown, {{"-flag", ""}}},
        {"-num 0 -bool YES", "", {{"-num", "0"}, {"-bool", "YES"}}},
        {"-num -5 -bool False", "", {{"-num", "-5"}, {"-bool", "False"}}},
        {"-num 5abc -bool 1", "", {{"-num", "5abc"}, {"-bool", "1"}}},
        {"-num \"5\" -bool 0", "", {{"-num", "5"}, {"-bool", "0"}}},
        {"-num 00", wrongType, {}},
        {"-num abc", wrongType, {}},
        {"-num 0x10", wrongType, {}},
        {"-num\"5\"", wrongType, {}}, // a glued value is tested with its quotes
        {"-bool y", wrongType, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::make_pair(c.error, c.entries), Parse(c.arguments)) << c.arguments;
}

TEST(ParameterParserTest, TablesNeverReachPastTheirEnd) {
    UseParameterParser parser;
    for (int i = 0; i < UseParameterParser::kCapacity; ++i)
        ASSERT_TRUE(parser.AddParameter("-o" + std::to_string(i), true, kUseTypeString));
    EXPECT_FALSE(parser.AddParameter("-extra", true, kUseTypeString));
    EXPECT_THROW(parser.Parse("-extra x"), UnknownParameterException);
    parser.Parse("-o255 last");
    EXPECT_EQ("last", parser.GetParameter(0).value);
    for (int index : {-1, 1}) {
        const UseParameter entry = parser.GetParameter(index);
        EXPECT_TRUE(entry.name.empty() && entry.value.empty() && entry.takesValue && entry.type == 0)
            << index;
    }
}
} // namespace
