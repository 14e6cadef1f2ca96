// The parser's rules on options of every value type; what the program's own options do is the
// end-to-end tests' to show.
#include "app/ParameterParser.h"

#include <gtest/gtest.h>

namespace {
using Entries = std::vector<std::pair<std::string, std::string>>;

// The error's message (empty when none) and the entries read, those before the error included.
std::pair<std::string, Entries> Parse(const std::string& arguments) {
    UseParameterParser parser;
    parser.AddParameter("-a", UseValueKind::Required, kUseTypeString);
    parser.AddParameter("-ab", UseValueKind::Required, kUseTypeAny);
    parser.AddParameter("-num", UseValueKind::Required, kUseTypeInteger);
    parser.AddParameter("-bool", UseValueKind::Required, kUseTypeBoolean);
    parser.AddParameter("-odd", UseValueKind::Required, 4);
    parser.AddParameter("-flag", UseValueKind::None, kUseTypeAny);
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
    const std::tuple<const char*, std::string, Entries> cases[] = {
        // clang-format off
        {"", "", {}},
        {"   ", unknown, {}},
        {"-abx -ax", "", {{"-ab", "x"}, {"-a", "x"}}},
        {"  -AB   Mixed   -flag ", "", {{"-ab", "Mixed"}, {"-flag", ""}}},
        {"-a \"c:\\my folder\" -ab\"b\"", "", {{"-a", "c:\\my folder"}, {"-ab", "b"}}},
        {"-a \"unclosed -ab x", "", {{"-a", "unclosed -ab x"}}},
        {"-ab x -a \"\"", expected, {{"-ab", "x"}}},
        {"-a x -A y", twice, {{"-a", "x"}}},
        {"-a x y", unknown, {{"-a", "x"}}},
        {"-flagx", unknown, {}},
        {"-num 0 -bool YES", "", {{"-num", "0"}, {"-bool", "YES"}}},
        {"-num -5 -bool False", "", {{"-num", "-5"}, {"-bool", "False"}}},
        {"-num 5abc -bool 1", "", {{"-num", "5abc"}, {"-bool", "1"}}},
        {"-num 00", wrongType, {}},
        {"-num\"5\"", wrongType, {}}, // a glued value is tested with its quotes
        {"-bool y", wrongType, {}},
        {"-odd x", wrongType, {}},
        // clang-format on
    };
    for (const auto& [arguments, error, entries] : cases)
        EXPECT_EQ(std::make_pair(error, entries), Parse(arguments)) << arguments;
}
} // namespace
